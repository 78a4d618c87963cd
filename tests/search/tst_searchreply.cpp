#include "mainwindow/mainwindow.h"
#include "support/messagerecorder.h"
#include "support/tempenvironment.h"
#include "support/testhttpserver.h"
#include "support/watchdog.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;
using TestSupport::TestHttpServer;

namespace {
QByteArray page(const QString &word)
{
    return "<center>Assoziation ueber <a href=\"/w\">" + word.toUtf8() + "</a></center>\n";
}
} // namespace

// What a search leaves behind, in the reply file and the result box, when its reply is odd.
class TestSearchReply : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::TempEnvironment> env;
    std::unique_ptr<TestSupport::MessageRecorder> messages;
    std::unique_ptr<TestHttpServer> server;
    std::unique_ptr<MainWindow> window;
    QTextEdit *results = nullptr;

    void search(const QString &keyword)
    {
        window->findChild<QLineEdit *>(u"lineEditSearchTerm"_s)->setText(keyword);
        QTest::mouseClick(window->findChild<QPushButton *>(u"buttonSearch"_s), Qt::LeftButton);
    }
    QString replyPath() const { return env->dataDir() + u"/tmp.txt"_s; }

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
        results = window->findChild<QTextEdit *>(u"textEditResults"_s);
        TestSupport::writeBytes(env->dataDir() + u"/default_blacklist.txt"_s, QByteArray());
    }
    void cleanup()
    {
        window.reset();
        qunsetenv("LEXIGROVE_SERVICE_URL");
        server.reset();
        messages.reset();
        env.reset();
    }

    // The reply file is the latest reply or nothing: an older one is not left to pass for it.
    void failedSearchRemovesTheEarlierReply()
    {
        const TestSupport::Watchdog watchdog("two searches, the second failing");
        server->setResponse(TestHttpServer::response(200, page(u"Dach"_s)));
        search(u"Haus"_s);
        QCOMPARE(TestSupport::readBytes(replyPath()), page(u"Dach"_s));
        server->setResponse(TestHttpServer::response(500, page(u"Keller"_s)));
        search(u"Haus"_s);
        QCOMPARE(messages->count(), 1);
        QVERIFY(!QFileInfo::exists(replyPath()));
    }

    // Something took the reply file's name while the reply came: one warning, and the box
    // keeps what it had.
    void replyThatCannotBePutInPlace()
    {
        const TestSupport::Watchdog watchdog("a search whose reply file became a folder");
        results->setPlainText(u"alt"_s);
        server->setResponse(
            QList<TestHttpServer::Step>{{TestHttpServer::response(200, page(u"Dach"_s)), 200}});
        connect(
            server.get(), &TestHttpServer::requestReceived, this,
            [this] { TestSupport::writeBytes(replyPath() + u"/inside.txt"_s, "kept"); },
            Qt::SingleShotConnection);
        search(u"Haus"_s);
        QCOMPARE(messages->count(), 1);
        QCOMPARE(messages->last().kind, MessageBox::Warning);
        QVERIFY2(messages->last().text.contains(replyPath()), qPrintable(messages->last().text));
        QCOMPARE(results->toPlainText(), u"alt"_s);
        QCOMPARE(TestSupport::readBytes(replyPath() + u"/inside.txt"_s), QByteArray("kept"));
    }

    // An empty page said to be empty is a page without words; an empty chunked one is taken
    // for a broken reply.
    void emptyReply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("fails");
        QTest::newRow("length 0") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n")
                                  << false;
        QTest::newRow("chunked")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n") << true;
    }
    void emptyReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, fails);
        const TestSupport::Watchdog watchdog("a search with an empty reply");
        results->setPlainText(u"alt"_s);
        server->setResponse(reply);
        search(u"Haus"_s);
        QCOMPARE(messages->count(), 1);
        QCOMPARE(messages->last().kind, fails ? MessageBox::Critical : MessageBox::Information);
        QCOMPARE(messages->last().text.startsWith(u"No Keywords found..."_s), !fails);
        QCOMPARE(results->toPlainText(), u"alt"_s);
    }
};

QTEST_MAIN(TestSearchReply)
#include "tst_searchreply.moc"
