#pragma once

#include "mainwindow/mainwindow.h"
#include "support/messagerecorder.h"
#include "support/tempenvironment.h"
#include "support/testhttpserver.h"

#include <QByteArray>
#include <QStringList>

#include <memory>

class QCheckBox;
class QLCDNumber;
class QLineEdit;
class QSpinBox;
class QTextEdit;
class HttpClient;
class WaitWindow;

// A main window in temporary surroundings whose searches go to a local scripted server.
class SearchFixture
{
public:
    SearchFixture();
    ~SearchFixture();

    // A page as the association service writes it, one block per word.
    static QByteArray page(const QStringList &words);

    // Types the keyword and clicks Start Search; returns when the search slot has returned.
    void search(const QString &keyword);

    QString replyFilePath() const;
    QString blacklistPath() const;
    void writeFile(const QString &path, const QByteArray &bytes);
    QStringList shownLines() const;
    QStringList debugLines() const { return m_debug; }

    TestSupport::TempEnvironment env;
    TestSupport::MessageRecorder messages;
    TestSupport::TestHttpServer server;
    std::unique_ptr<MainWindow> window;

    QTextEdit *results = nullptr;
    QTextEdit *blacklist = nullptr;
    QLineEdit *keyword = nullptr;
    QLCDNumber *lcd = nullptr;
    QSpinBox *quantity = nullptr;
    HttpClient *http = nullptr;
    WaitWindow *waitWindow = nullptr;

private:
    static void collectDebug(QtMsgType type, const QMessageLogContext &context,
                             const QString &text);
    static SearchFixture *s_current;
    QStringList m_debug;
    QtMessageHandler m_previousHandler = nullptr;
};
