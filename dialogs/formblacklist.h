#pragma once

#include "ui_formblacklist.h"

#include <QDialog>

// The editor of the common blacklist file. The caller fills and reads its text box.
class FormBlacklist : public QDialog
{
    Q_OBJECT

public:
    explicit FormBlacklist(QWidget *parent = nullptr);

    Ui_FormBlacklist ui;
};
