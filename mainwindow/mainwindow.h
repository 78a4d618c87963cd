#pragma once

#include "ui_mainwindow.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class HttpClient;
class HttpResponseHeader;
class IOFunc;
class QCloseEvent;
class ReplacementFile;
class WaitWindow;

// The program's only top-level window, and the owner of everything a search needs.
class MainWindow : public QMainWindow, private Ui::MainWindow
{
    Q_OBJECT

public:
    // After Cancel a reply may still arrive and be shown, but not past this many bytes.
    static constexpr int LateReplyLimit = 1024 * 1024;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void closeEvent(QCloseEvent *e) override;
    bool event(QEvent *e) override;

private slots:
    void exit();
    void paste();
    void copy();
    void cut();
    void search();
    void actNew();
    void about();
    void textChanged();
    void httpRequestFinished(int finishedId, bool err);
    void readResponseHeader(const HttpResponseHeader &responseHeader);
    void updateDataReadProgress(int bytesRead, int totalBytes);
    void requestStarted(int id);
    void requestFinished(int id, bool err);
    void done(bool err);
    bool buttonEdit();

private:
    void readSettings();
    void writeSettings();
    void placeWindow(const QVariant &pos, const QVariant &size);
    void keepFrameOnScreen();
    // The edit actions work on the result box or the keyword field, whichever has the focus,
    // and never on the blacklist box.
    void applyEdit(const std::function<void(QTextEdit *)> &onResults,
                   const std::function<void(QLineEdit *)> &onKeyword);
    // Search helpers.
    void endEarlierTransfer();
    // Puts the reply in its place, or drops it and the last one; false when it was not kept.
    bool closeReplyFile(bool removeFromDisk);
    void showWords(const QStringList &words);
    QString replyFilePath() const;

    HttpClient *http = nullptr;
    bool progressHalted = false;
    ReplacementFile *replyFile = nullptr;
    int requestId = 0;
    WaitWindow *waitWindow = nullptr;
    std::unique_ptr<IOFunc> ioFunc;
    QString blacklistPath;
    QString appDir;
    // False when the settings file was refused at the start: it is then never written.
    bool settingsUsable = true;
    bool frameChecked = false;
};
