#include "mainwindow/mainwindow.h"
#include "servicefixture.h"
#include "support/messagerecorder.h"
#include "support/tempenvironment.h"

#include <QCheckBox>
#include <QFile>
#include <QLCDNumber>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>

#include <memory>

class TestIntegration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void searchShowsTheServicesWords();
    void latin1KeywordWithBlank();
    void unknownKeywordFindsNothing();

private:
    QStringList searchFor(const QString &keyword);

    QProcess m_service;
    std::unique_ptr<TestSupport::TempEnvironment> m_env;
    std::unique_ptr<TestSupport::MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
};

void TestIntegration::initTestCase()
{
    m_service.setProgram(QStringLiteral(LEXIGROVE_ASSOCD));
    m_service.setArguments({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                            QStringLiteral("--thesaurus"), ServiceFixture::thesaurusPath(),
                            QStringLiteral("--wordlist"), ServiceFixture::wordListPath()});
    m_service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_service.start();
    QVERIFY(m_service.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_service.canReadLine(), 10000);
    const QString line = QString::fromUtf8(m_service.readLine()).trimmed();
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("listening on (http://127\\.0\\.0\\.1:\\d+)$"))
            .match(line);
    QVERIFY2(match.hasMatch(), qPrintable(line));
    qputenv("LEXIGROVE_SERVICE_URL",
            (match.captured(1) + QStringLiteral("/cgi-bin/meta/meta.ger1-asso")).toUtf8());
}

void TestIntegration::cleanupTestCase()
{
    qunsetenv("LEXIGROVE_SERVICE_URL");
    m_service.terminate();
    m_service.waitForFinished();
}

void TestIntegration::init()
{
    m_env = std::make_unique<TestSupport::TempEnvironment>();
    TestSupport::writeBytes(m_env->dataDir() + QStringLiteral("/default_blacklist.txt"), {});
    m_messages = std::make_unique<TestSupport::MessageRecorder>();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
}

void TestIntegration::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_env.reset();
}

QStringList TestIntegration::searchFor(const QString &keyword)
{
    m_window->findChild<QLineEdit *>(QStringLiteral("lineEditSearchTerm"))->setText(keyword);
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("buttonSearch")),
                      Qt::LeftButton);
    const QString text =
        m_window->findChild<QTextEdit *>(QStringLiteral("textEditResults"))->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TestIntegration::searchShowsTheServicesWords()
{
    m_window->findChild<QCheckBox *>(QStringLiteral("checkBoxFilterSearchTerm"))->setChecked(false);
    QCOMPARE(searchFor(QStringLiteral("Baum")), ServiceFixture::answer(QStringLiteral("Baum")));
    QCOMPARE(m_window->findChild<QLCDNumber *>(QStringLiteral("lcdNumber"))->intValue(),
             int(ServiceFixture::answer(QStringLiteral("Baum")).size()));
    QCOMPARE(m_messages->count(), 0);
}

void TestIntegration::latin1KeywordWithBlank()
{
    // Sent as Latin-1 with a "+" for the blank; the service must read it back whole.
    QCOMPARE(searchFor(QString::fromUtf8("grüne Lunge")),
             (QStringList{QStringLiteral("Stadtpark"), QStringLiteral("Parkanlage")}));
}

void TestIntegration::unknownKeywordFindsNothing()
{
    QVERIFY(searchFor(QStringLiteral("Xylophonkonzert")).isEmpty());
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, QStringLiteral("No Keywords found..."));
}

QTEST_MAIN(TestIntegration)
#include "tst_integration.moc"
