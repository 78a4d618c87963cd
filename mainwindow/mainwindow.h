#pragma once

#include "ui_mainwindow.h"

#include <QMainWindow>

#include <memory>

class IOFunc;
class QCloseEvent;
class QFile;
class WaitWindow;

// The program's only top-level window, and the owner of everything a search needs.
class MainWindow : public QMainWindow, private Ui::MainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void closeEvent(QCloseEvent *e) override;

private slots:
    void exit();
    void paste();
    void copy();
    void cut();
    void actNew();
    void about();
    void textChanged();
    bool buttonEdit();

private:
    void readSettings();
    void writeSettings();
    // The widget the edit actions work on: the result box or the keyword field, never the
    // blacklist box.
    enum class EditTarget
    {
        None,
        Results,
        Keyword
    };
    EditTarget editTarget() const;

    bool progressHalted = false;
    QFile *replyFile = nullptr;
    int requestId = 0;
    WaitWindow *waitWindow = nullptr;
    std::unique_ptr<IOFunc> ioFunc;
    QString blacklistPath;
    QString appDir;
};
