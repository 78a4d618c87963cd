#pragma once

#include "ui_waitwindow.h"

#include <QDialog>

// Stands in front of the main window while a search runs. The search fills and closes it;
// it keeps whatever it was last given between searches.
class WaitWindow : public QDialog
{
    Q_OBJECT

public:
    explicit WaitWindow(QWidget *parent = nullptr);

    Ui_WaitWindow ui;
};
