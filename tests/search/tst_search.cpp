#include "dialogs/waitwindow.h"
#include "mainwindow/mainwindow.h"
#include "search/httpclient.h"
#include "search/searchrequest.h"
#include "search/wordpipeline.h"
#include "support/datatable.h"
#include "support/messagerecorder.h"
#include "support/tempenvironment.h"
#include "support/testhttpserver.h"
#include "support/watchdog.h"

#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using TestSupport::readBytes;
using TestSupport::TestHttpServer;
using TestSupport::writeBytes;

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
            for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System))
                if (QFileInfo(fds.filePath(fd)).symLinkTarget() == u"/dev/zero"_s)
                    qFatal("The result box opened /dev/zero");
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    QByteArray m_fifo;
    std::atomic<bool> m_stop{false};
    bool m_fifoOpened = false;
    std::thread m_thread;
};
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
        window = std::make_unique<MainWindow>();
        window->show();
        results = child<QTextEdit>("textEditResults");
        lcd = child<QLCDNumber>("lcdNumber");
        wait = window->findChild<WaitWindow *>();
        // An empty common list, so that only the tests that want its warnings see them.
        writeBytes(blacklistPath(), QByteArray());
    }
    void cleanup()
    {
        window.reset();
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
        QTest::ignoreMessage(QtDebugMsg, "couldnt create file");
        search(u"Haus"_s);
        expectMessage(MessageBox::Warning, u"Warning"_s,
                      u"Cannot open file %1 for writing: it is a folder"_s.arg(replyPath()));
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
        // An IPv6 address goes in brackets, its port after them.
        QCOMPARE(SearchRequest::header(QUrl(u"http://[::1]:8080/x"_s)).value(u"Host"_s),
                 u"[::1]:8080"_s);
        QCOMPARE(SearchRequest::header(QUrl(u"http://[::1]/x"_s)).value(u"Host"_s), u"[::1]"_s);
    }

    void requestAndWords_data()
    {
        TestSupport::addRows(u"search/requests.tsv"_s, {"keyword", "body:bytes"});
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
        QCOMPARE(readBytes(replyPath()), reply);
    }

    // The switches, the lists and the quantity, each read from its own widget.
    void switchesShapeTheWords_data()
    {
        TestSupport::addRows(u"search/switches.tsv"_s, {"on", "words:list"});
    }
    void switchesShapeTheWords()
    {
        QFETCH(QString, on);
        QFETCH(QStringList, words);
        writeBytes(blacklistPath(), "xyz");
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

    // A failed search shows no words and leaves no reply file: not one of its own, and not the
    // earlier search's either, which is not to pass for the latest reply.
    void statusOtherThan200Fails_data()
    {
        TestSupport::addRows(u"search/statuses.tsv"_s, {"status:int"});
    }
    void statusOtherThan200Fails()
    {
        QFETCH(int, status);
        server->setResponse(ok(page({u"Dach"_s})));
        search(u"Haus"_s);
        QCOMPARE(readBytes(replyPath()), page({u"Dach"_s}));
        results->setPlainText(u"alt"_s);
        server->setResponse(TestHttpServer::response(status, page({u"Keller"_s}),
                                                     "Location: http://127.0.0.1:1/elsewhere\r\n"));
        QTest::ignoreMessage(QtDebugMsg, qPrintable(u"Server Response:%1"_s.arg(status)));
        search(u"Haus"_s);
        expectError();
        QCOMPARE(results->toPlainText(), u"alt"_s);
        QCOMPARE(server->requestCount(), 2);
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
        QCOMPARE(readBytes(replyPath()), page({u"Neu"_s}));
        // Nothing of the earlier transfer's half-written reply is left behind.
        QCOMPARE(QDir(env->dataDir()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{u"default_blacklist.txt"_s, u"tmp.txt"_s}));
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

    // A reply word is text: markup, entities and invisible characters are not taken for what
    // they would do, and what the box shows is what is copied.
    void wordsAreShownAsText()
    {
        const QStringList sent{u"<b>fett</b>"_s,
                               u"<a href=file:///etc/passwd>Link"_s,
                               u"&amp;"_s,
                               u"Haus\u202Eesuah"_s,
                               u"\uFEFFDa\u200Bch"_s,
                               u"Zeilen\numbruch\u2028hier"_s};
        const QStringList expected{u"<b>fett</b>"_s, u"<a href=file:///etc/passwd>Link"_s,
                                   u"&amp;"_s,       u"Hausesuah"_s,
                                   u"Dach"_s,        u"Zeilen umbruch hier"_s};
        server->setResponse(ok(page(sent)));
        search(u"Wort"_s);
        QCOMPARE(shown(), expected);
        QCOMPARE(lcd->intValue(), 6);
        QCOMPARE(results->document()->blockCount(), 6);
        results->selectAll();
        results->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), expected.join(u'\n'));
    }

    // A word of a megabyte is cut to a line's length, shown, and the window still answers.
    void longWordIsShownAndTheWindowAnswers()
    {
        const TestSupport::Watchdog watchdog("a search with a word of 1 MB");
        server->setResponse(ok(page({QString(1000000, u'x'), u"Dach"_s})));
        search(u"Haus"_s);
        QCOMPARE(shown(), (QStringList{QString(WordPipeline::MaxWordLength, u'x'), u"Dach"_s}));
        window->grab();
        QTest::keyClicks(child<QLineEdit>("lineEditSearchTerm"), u"Garten"_s);
        QCOMPARE(child<QLineEdit>("lineEditSearchTerm")->text(), u"HausGarten"_s);
    }

    // A common list that is missing, or a pipe, a device or a folder, is refused, with a warning
    // that names it, once per pass; the search goes on without it. The editor refuses what is
    // no file too.
    void commonListThatIsNoFile_data()
    {
        TestSupport::addRows(u"search/nofile.tsv"_s, {"kind", "why"});
    }
    void commonListThatIsNoFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, why);
        const TestSupport::Watchdog watchdog("a search with a common list that is no file");
        QFile::remove(blacklistPath());
        QVERIFY(kind == u"missing"_s || TestSupport::makeNonFile(blacklistPath(), kind));
        server->setResponse(ok(page({u"Dach"_s})));
        search(u"Haus"_s);
        QCOMPARE(shown(), QStringList{u"Dach"_s});
        QCOMPARE(messages->count(), 2);
        for (const auto &message : messages->messages())
            QVERIFY2(message.text.startsWith(
                         u"Cannot open file %1 for reading: "_s.arg(blacklistPath())) &&
                         message.text.contains(why),
                     qPrintable(message.text));
        messages->clear();
        if (kind == u"missing"_s)
            return; // the editor then opens empty, as its own tests show
        QTest::mouseClick(child<QPushButton>("buttonEdit2"), Qt::LeftButton);
        QCOMPARE(messages->count(), 1);
        QVERIFY2(messages->last().text.contains(why), qPrintable(messages->last().text));
    }

    // Whatever stands in the reply file's place is replaced by the reply, never written
    // through; a failed search leaves a file the link leads to as it was.
    void replyFileInPlaceOfSomethingElse_data()
    {
        TestSupport::addRows(u"search/replyfile.tsv"_s, {"kind", "status:int"});
    }
    void replyFileInPlaceOfSomethingElse()
    {
        QFETCH(QString, kind);
        QFETCH(int, status);
        const TestSupport::Watchdog watchdog("a search with an odd reply file");
        const QString mine = env->filePath(u"mine.txt"_s);
        writeBytes(mine, "my own text");
        if (kind == u"link"_s)
            QVERIFY(QFile::link(mine, replyPath()));
        else
            QVERIFY(TestSupport::makeNonFile(replyPath(), kind));
        const QByteArray body = page({u"Dach"_s});
        server->setResponse(TestHttpServer::response(status, body));
        search(u"Haus"_s);
        QCOMPARE(readBytes(mine), QByteArray("my own text"));
        if (status == 200) {
            QCOMPARE(shown(), QStringList{u"Dach"_s});
            QVERIFY(QFileInfo(replyPath()).isFile() && !QFileInfo(replyPath()).isSymLink());
            QCOMPARE(readBytes(replyPath()), body);
            QCOMPARE(messages->count(), 0);
        } else {
            QCOMPARE(messages->count(), 1);
            QVERIFY(QFileInfo(replyPath()).isSymLink() || QFileInfo(replyPath()).exists());
        }
        QCOMPARE(QDir(env->dataDir()).entryList({u"tmp.txt.*"_s}, QDir::AllEntries), QStringList());
    }

    // A chunk size that is no number the client can hold, or an empty chunked page, fails the
    // transfer; an empty page said to be empty, or one without words, is a page without words.
    void oddReply_data()
    {
        TestSupport::addRows(u"search/oddreplies.tsv"_s, {"reply:bytes", "fails:bool"});
    }
    void oddReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, fails);
        const TestSupport::Watchdog watchdog("a search with an odd reply");
        results->setPlainText(u"alt"_s);
        server->setResponse(reply);
        search(u"Haus"_s);
        if (fails)
            expectError();
        else
            expectMessage(MessageBox::Information, u"Information"_s, u"No Keywords found..."_s);
        if (!fails) // the page is kept as it came
            QCOMPARE(readBytes(replyPath()), reply.mid(reply.indexOf("\r\n\r\n") + 4));
        QCOMPARE(results->toPlainText(), u"alt"_s);
    }

    // Something took the reply file's name while the reply came: one warning, and the box
    // keeps what it had.
    void replyThatCannotBePutInPlace()
    {
        const TestSupport::Watchdog watchdog("a search whose reply file became a folder");
        results->setPlainText(u"alt"_s);
        server->setResponse(QList<TestHttpServer::Step>{{ok(page({u"Dach"_s})), 200}});
        connect(
            server.get(), &TestHttpServer::requestReceived, this,
            [this] { writeBytes(replyPath() + u"/inside.txt"_s, "kept"); },
            Qt::SingleShotConnection);
        search(u"Haus"_s);
        QCOMPARE(messages->count(), 1);
        QCOMPARE(messages->last().kind, MessageBox::Warning);
        QVERIFY2(messages->last().text.contains(replyPath()), qPrintable(messages->last().text));
        QCOMPARE(results->toPlainText(), u"alt"_s);
        QCOMPARE(readBytes(replyPath() + u"/inside.txt"_s), QByteArray("kept"));
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
        // The server closed the connection after the good reply: said so, as an error.
        QTest::ignoreMessage(QtDebugMsg, "Some Error in State:");
        QTest::ignoreMessage(QtDebugMsg, "Unknown error");
        search(u"Garten"_s);
        QCOMPARE(shown(), (QStringList{"Beet", "Dach", "Keller"}));
        // Without a length the bar gets maximum 0: a busy bar.
        QCOMPARE(wait->ui.progressBar->maximum(), 0);
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
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
