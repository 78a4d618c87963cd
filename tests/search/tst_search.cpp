#include "dialogs/waitwindow.h"
#include "mainwindow/mainwindow.h"
#include "search/httpclient.h"
#include "search/searchrequest.h"
#include "support/messagerecorder.h"
#include "support/tempenvironment.h"
#include "support/testhttpserver.h"

#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using TestSupport::TestHttpServer;

namespace {
// A page as the association service writes it, one block per word.
QByteArray page(const QStringList &words)
{
    QByteArray out = "<html><head><meta charset=\"utf-8\"></head><body>\n";
    for (const QString &word : words)
        out += "<center>Assoziation ueber <a href=\"/w\">" + word.toUtf8() + "</a></center>\n";
    return out + "</body></html>\n";
}

QByteArray ok(const QByteArray &body)
{
    return TestHttpServer::response(200, body);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Watches from a thread of its own whether this process opens /dev/zero or the FIFO: a faulty
// build then stops at once, or its reader meets a writer that closes, instead of filling the
// memory or blocking for good.
class OpenWatch
{
public:
    explicit OpenWatch(const QByteArray &fifo) : m_fifo(fifo), m_thread([this] { run(); }) {}
    bool stop() // whether the FIFO was opened
    {
        m_stop = true;
        m_thread.join();
        return m_fifoOpened;
    }

private:
    void run()
    {
        const QDir fds(u"/proc/self/fd"_s);
        while (!m_stop) {
            if (const int writer = ::open(m_fifo.constData(), O_WRONLY | O_NONBLOCK); writer >= 0) {
                m_fifoOpened = true;
                ::close(writer);
            }
            for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System)) {
                if (QFileInfo(fds.filePath(fd)).symLinkTarget() == u"/dev/zero"_s)
                    qFatal("The result box opened /dev/zero");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    QByteArray m_fifo;
    std::atomic<bool> m_stop{false};
    bool m_fifoOpened = false;
    std::thread m_thread;
};

QStringList debugLines;
QtMessageHandler previousHandler = nullptr;
void collectDebug(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtDebugMsg)
        debugLines.append(text);
    else
        previousHandler(type, context, text);
}
} // namespace

// The search through the main window, against a local server that plays the service.
class TestSearch : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::TempEnvironment> env;
    std::unique_ptr<TestSupport::MessageRecorder> messages;
    std::unique_ptr<TestHttpServer> server;
    std::unique_ptr<MainWindow> window;
    QTextEdit *results = nullptr;
    QLCDNumber *lcd = nullptr;
    WaitWindow *wait = nullptr;

    template <typename T> T *child(const char *name)
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    // Types the keyword and clicks Start Search; returns when the search slot has returned.
    void search(const QString &keyword)
    {
        child<QLineEdit>("lineEditSearchTerm")->setText(keyword);
        QTest::mouseClick(child<QPushButton>("buttonSearch"), Qt::LeftButton);
    }
    QStringList shown() const
    {
        const QString text = results->toPlainText();
        return text.isEmpty() ? QStringList() : text.split(u'\n');
    }
    void serveEndlessReply()
    {
        server->setResponse({{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", 0}}, false);
        server->setEndless("ea60\r\n" + QByteArray(60000, 'x') + "\r\n");
    }
    QString replyPath() const { return env->dataDir() + u"/tmp.txt"_s; }
    QString blacklistPath() const { return env->dataDir() + u"/default_blacklist.txt"_s; }
    void expectMessage(MessageBox::Kind kind, const QString &title, const QString &text)
    {
        QCOMPARE(messages->count(), 1);
        QCOMPARE(messages->last().kind, kind);
        QCOMPARE(messages->last().title, title);
        QVERIFY2(messages->last().text.startsWith(text), qPrintable(messages->last().text));
    }
    void expectError()
    {
        expectMessage(
            MessageBox::Critical, u"Error"_s,
            u"An error occured..\nPlease check your internet connection and try again..."_s);
        QVERIFY(!QFile::exists(replyPath()));
        QVERIFY(!wait->isVisible());
    }

private slots:
    void init()
    {
        env = std::make_unique<TestSupport::TempEnvironment>();
        messages = std::make_unique<TestSupport::MessageRecorder>();
        server = std::make_unique<TestHttpServer>();
        QVERIFY(server->listen());
        qputenv("LEXIGROVE_SERVICE_URL", server->url().toString().toUtf8());
        debugLines.clear();
        previousHandler = qInstallMessageHandler(collectDebug);
        window = std::make_unique<MainWindow>();
        window->show();
        results = child<QTextEdit>("textEditResults");
        lcd = child<QLCDNumber>("lcdNumber");
        wait = window->findChild<WaitWindow *>();
        // An empty common list, so that only the tests that want its warnings see them.
        writeFile(blacklistPath(), QByteArray());
    }
    void cleanup()
    {
        window.reset();
        qInstallMessageHandler(previousHandler);
        qunsetenv("LEXIGROVE_SERVICE_URL");
        server.reset();
        messages.reset();
        env.reset();
    }

    // Nothing is sent without a keyword, or without a reply file to write.
    void refusedBeforeSending()
    {
        search(QString());
        expectMessage(MessageBox::Information, u"Information"_s,
                      u"Please enter a keyword first..."_s);
        messages->clear();
        QVERIFY(QDir().mkpath(replyPath()));
        search(u"Haus"_s);
        QVERIFY(debugLines.contains(u"couldnt create file"_s));
        expectMessage(MessageBox::Warning, u"Warning"_s,
                      u"Cannot open file "_s + replyPath() + u" for writing: "_s);
        QCOMPARE(server->requestCount(), 0);
    }

    void serviceAddress()
    {
        qunsetenv("LEXIGROVE_SERVICE_URL");
        QCOMPARE(SearchRequest::serviceUrl().toString(),
                 u"http://127.0.0.1:27431/cgi-bin/meta/meta.ger1-asso"_s);
        qputenv("LEXIGROVE_SERVICE_URL", "http://assoc.test/cgi/x?lang=de");
        const HttpRequestHeader header = SearchRequest::header(SearchRequest::serviceUrl());
        QCOMPARE(header.path(), u"/cgi/x?lang=de"_s);
        QCOMPARE(header.value(u"Referer"_s), u"/cgi/x?lang=de"_s);
        // On port 80 the host goes alone.
        QCOMPARE(header.value(u"Host"_s), u"assoc.test"_s);
    }

    void requestAndWords_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("plain") << u"Haus"_s << QByteArray("eingabe=Haus&anzahl=200");
        QTest::newRow("one blank") << u" "_s << QByteArray("eingabe=+&anzahl=200");
        QTest::newRow("field separators")
            << u"a&b=c%d+e"_s << QByteArray("eingabe=a%26b%3Dc%25d%2Be&anzahl=200");
        QTest::newRow("umlauts as Latin-1")
            << u"Bäume größer"_s << QByteArray("eingabe=B%E4ume+gr%F6%DFer&anzahl=200");
        QTest::newRow("outside Latin-1") << u"Дом"_s << QByteArray("eingabe=%3F%3F%3F&anzahl=200");
    }
    void requestAndWords()
    {
        QFETCH(QString, keyword);
        QFETCH(QByteArray, body);
        const QByteArray reply = page({u"Dach"_s, u"Gärten"_s, u"Dach"_s});
        server->setResponse(ok(reply));
        search(keyword);

        QCOMPARE(server->requestCount(), 1);
        const QList<QByteArray> lines = server->lastRequestHead().split('\n');
        QCOMPARE(lines.mid(0, 6),
                 (QList<QByteArray>{"POST /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r",
                                    "Host: 127.0.0.1:" + QByteArray::number(server->port()) + "\r",
                                    "Keep-Alive: 300\r", "Connection-Type: keep-alive\r",
                                    "Referer: /cgi-bin/meta/meta.ger1-asso\r",
                                    "Content-type: text/html\r"}));
        QVERIFY(lines.contains("Content-Length: " + QByteArray::number(body.size()) + "\r"));
        QVERIFY(lines.contains("Accept-Encoding: identity\r"));
        QCOMPARE(server->lastRequestHead().count("Host:"), 1);
        QCOMPARE(server->lastRequestBody(), body);
        QCOMPARE(wait->ui.labelKeyword->text(), keyword);

        QCOMPARE(shown(), (QStringList{u"Dach"_s, u"Gärten"_s}));
        QCOMPARE(lcd->intValue(), 2);
        QCOMPARE(messages->count(), 0);
        QCOMPARE(bytesOf(replyPath()), reply);
    }

    // The switches, the lists and the quantity, each read from its own widget.
    void switchesShapeTheWords_data()
    {
        QTest::addColumn<QString>("on");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("all on") << u"tdc"_s << QStringList{u"Villa"_s, u"boot"_s, u"Garten"_s};
        QTest::newRow("search term off")
            << u"dc"_s << QStringList{u"Villa"_s, u"Hausboot"_s, u"Garten"_s};
        QTest::newRow("doubles off") << u"tc"_s << QStringList{u"Villa"_s, u"Villa"_s, u"boot"_s};
        QTest::newRow("common list off")
            << u"td"_s << QStringList{u"Villa"_s, u"boot"_s, u"Gartenxyz"_s};
        QTest::newRow("user list") << u"tdcu"_s << QStringList{u"V"_s, u"boot"_s, u"Garten"_s};
    }
    void switchesShapeTheWords()
    {
        QFETCH(QString, on);
        QFETCH(QStringList, words);
        writeFile(blacklistPath(), "xyz");
        child<QCheckBox>("checkBoxFilterSearchTerm")->setChecked(on.contains(u't'));
        child<QCheckBox>("checkBoxFilterDouble")->setChecked(on.contains(u'd'));
        child<QCheckBox>("checkBoxBlacklist")->setChecked(on.contains(u'c'));
        child<QTextEdit>("textEditBlacklist")
            ->setPlainText(on.contains(u'u') ? u"illa"_s : QString());
        child<QSpinBox>("spinBoxQuantity")->setValue(3);
        server->setResponse(ok(page({u"Villa"_s, u"Villa"_s, u"Hausboot"_s, u"Gartenxyz"_s})));
        search(u"Haus"_s);
        QCOMPARE(shown(), words);
    }

    void statusOtherThan200Fails_data()
    {
        QTest::addColumn<int>("status");
        for (const int status : {404, 302, 500, 204})
            QTest::newRow(qPrintable(QString::number(status))) << status;
    }
    void statusOtherThan200Fails()
    {
        QFETCH(int, status);
        results->setPlainText(u"alt"_s);
        server->setResponse(TestHttpServer::response(status, page({u"Dach"_s}),
                                                     "Location: http://127.0.0.1:1/elsewhere\r\n"));
        search(u"Haus"_s);
        expectError();
        QVERIFY(debugLines.contains(u"Server Response:%1"_s.arg(status)));
        QCOMPARE(results->toPlainText(), u"alt"_s);
        QCOMPARE(server->requestCount(), 1);
    }

    void endlessReplyFailsAtTheCap()
    {
        serveEndlessReply();
        int read = 0;
        int largestPiece = 0;
        connect(window->findChild<HttpClient *>(), &HttpClient::dataReadProgress, this,
                [&](int done) {
                    largestPiece = qMax(largestPiece, done - read);
                    read = done;
                });
        QTimer::singleShot(60000, wait, &QDialog::reject); // so that a missing cap fails, not hangs
        search(u"Haus"_s);
        expectError();
        QVERIFY2(read <= HttpClient::MaximumBodySize, qPrintable(QString::number(read)));
        // The reply is taken in bounded pieces, however fast it comes.
        QVERIFY2(largestPiece <= 2 * HttpClient::ReadBufferSize,
                 qPrintable(QString::number(largestPiece)));
    }

    // After Cancel a page still arrives and is shown, with no further progress on the hidden
    // wait window; a new search ends the earlier transfer quietly and keeps only its own reply.
    void cancelLeavesAPageToArrive()
    {
        server->setResponse(QList<TestHttpServer::Step>{{ok(page({u"Spät"_s})), 300}});
        connect(server.get(), &TestHttpServer::requestReceived, wait->ui.cancelButton,
                &QPushButton::click, Qt::SingleShotConnection);
        search(u"Haus"_s);
        QVERIFY(shown().isEmpty());
        const int progress = wait->ui.progressBar->value();
        QTRY_COMPARE(shown(), QStringList{u"Spät"_s});
        QCOMPARE(wait->ui.progressBar->value(), progress);
        QCOMPARE(messages->count(), 0);

        server->setResponse(QList<TestHttpServer::Step>{{ok(page({u"Alt"_s, u"Uralt"_s})), 400}});
        connect(server.get(), &TestHttpServer::requestReceived, wait->ui.cancelButton,
                &QPushButton::click, Qt::SingleShotConnection);
        search(u"Haus"_s);
        server->setResponse(ok(page({u"Neu"_s})));
        search(u"Garten"_s);
        QTest::qWait(600); // past the moment the earlier reply would have come
        QCOMPARE(shown(), (QStringList{u"Neu"_s, u"Spät"_s}));
        QCOMPARE(bytesOf(replyPath()), page({u"Neu"_s}));
        QCOMPARE(messages->count(), 0);
    }

    // A reply that goes on after Cancel is ended quietly once it outgrows a page.
    void cancelEndsAnOversizedTransfer()
    {
        serveEndlessReply();
        connect(window->findChild<HttpClient *>(), &HttpClient::dataReadProgress,
                wait->ui.cancelButton, &QPushButton::click, Qt::SingleShotConnection);
        search(u"Haus"_s);
        QTRY_COMPARE(server->openConnectionCount(), 0);
        QVERIFY(!QFile::exists(replyPath()));
        QCOMPARE(messages->count(), 0);
    }

    void wordsNameNoFiles()
    {
        const QByteArray fifo = QFile::encodeName(env->filePath(u"fifo"_s));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        OpenWatch watch(fifo);
        server->setResponse(ok(page(
            {u"<img src=\"/dev/zero\">"_s, u"<img src=\"%1\">"_s.arg(QString::fromLocal8Bit(fifo)),
             u"<link rel=\"stylesheet\" href=\"%1\">"_s.arg(QString::fromLocal8Bit(fifo)),
             u"<style>@import url(%1);</style>"_s.arg(QString::fromLocal8Bit(fifo)), u"Dach"_s})));
        search(u"Haus"_s);
        QVERIFY(!watch.stop());
        QCOMPARE(results->document()->blockCount(), 5);
    }

    void pageWithoutMatches()
    {
        results->setPlainText(u"alt"_s);
        server->setResponse(ok("<center>nichts</center>"));
        search(u"Haus"_s);
        expectMessage(MessageBox::Information, u"Information"_s, u"No Keywords found..."_s);
        QCOMPARE(shown(), QStringList{u"alt"_s});
        QCOMPARE(bytesOf(replyPath()), "<center>nichts</center>");
    }

    void searchesAccumulate()
    {
        const QByteArray first = page({"Dach", "Keller"});
        server->setResponse(ok(first), false);
        search(u"Haus"_s);
        QCOMPARE(wait->ui.progressBar->maximum(), int(first.size()));
        QCOMPARE(wait->ui.progressBar->value(), int(first.size()));
        server->setResponse("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" +
                            page({"Beet", "Dach"}));
        search(u"Garten"_s);
        QCOMPARE(shown(), (QStringList{"Beet", "Dach", "Keller"}));
        // Without a length the bar gets maximum 0: a busy bar.
        QCOMPARE(wait->ui.progressBar->maximum(), 0);
        // The server closed the connection after the good reply: said so, as an error.
        const qsizetype at = debugLines.indexOf(u"Some Error in State:"_s);
        QVERIFY2(at >= 0, qPrintable(debugLines.join(u'|')));
        QCOMPARE(debugLines.value(at + 1), u"Unknown error"_s);
    }

    void replyFileThatFillsTheDisk()
    {
        server->setResponse(ok(page(QStringList(150, u"Dachziegel"_s)))); // some 9 KB
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit tight = saved;
        tight.rlim_cur = 4096;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
        search(u"Haus"_s);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        expectError();
        QVERIFY(shown().isEmpty());
    }

    void commonListWarnsOncePerPass()
    {
        QFile::remove(blacklistPath());
        server->setResponse(ok(page({"Dach"})));
        search(u"Haus"_s);
        QCOMPARE(messages->count(), 2);
        QVERIFY(messages->at(0).text.contains(u" for reading: "_s));
        QCOMPARE(shown(), QStringList{u"Dach"_s});
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
