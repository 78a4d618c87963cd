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

using namespace Qt::StringLiterals;

class TestIntegration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void searchShowsTheServicesWords();

private:
    QStringList searchFor(const QString &keyword);

    QProcess m_service;
    TestSupport::TempEnvironment m_env;
    std::unique_ptr<TestSupport::MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
};

void TestIntegration::initTestCase()
{
    m_service.setProgram(QStringLiteral(LEXIGROVE_ASSOCD));
    m_service.setArguments({u"--listen"_s, u"127.0.0.1:0"_s, u"--thesaurus"_s,
                            ServiceFixture::thesaurusPath(), u"--wordlist"_s,
                            ServiceFixture::wordListPath()});
    m_service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_service.start();
    QVERIFY(m_service.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_service.canReadLine(), 10000);
    const QString line = QString::fromUtf8(m_service.readLine()).trimmed();
    const QRegularExpressionMatch match =
        QRegularExpression(u"listening on (http://127\\.0\\.0\\.1:\\d+)$"_s).match(line);
    QVERIFY2(match.hasMatch(), qPrintable(line));
    qputenv("LEXIGROVE_SERVICE_URL",
            (match.captured(1) + u"/cgi-bin/meta/meta.ger1-asso"_s).toUtf8());
    TestSupport::writeBytes(m_env.dataDir() + u"/default_blacklist.txt"_s, {});
    m_messages = std::make_unique<TestSupport::MessageRecorder>();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
}

void TestIntegration::cleanupTestCase()
{
    m_window.reset();
    m_messages.reset();
    qunsetenv("LEXIGROVE_SERVICE_URL");
    m_service.terminate();
    m_service.waitForFinished();
}

QStringList TestIntegration::searchFor(const QString &keyword)
{
    m_window->findChild<QLineEdit *>(u"lineEditSearchTerm"_s)->setText(keyword);
    QTest::mouseClick(m_window->findChild<QPushButton *>(u"buttonSearch"_s), Qt::LeftButton);
    const QString text = m_window->findChild<QTextEdit *>(u"textEditResults"_s)->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

// The service's words as they are, a Latin-1 keyword with a blank (sent with a "+" for the
// blank, which the service must read back whole), and a keyword the service does not know.
void TestIntegration::searchShowsTheServicesWords()
{
    m_window->findChild<QCheckBox *>(u"checkBoxFilterSearchTerm"_s)->setChecked(false);
    QCOMPARE(searchFor(u"Baum"_s), ServiceFixture::answer(u"Baum"_s));
    QCOMPARE(m_window->findChild<QLCDNumber *>(u"lcdNumber"_s)->intValue(),
             int(ServiceFixture::answer(u"Baum"_s).size()));
    QCOMPARE(m_messages->count(), 0);
    m_window->findChild<QTextEdit *>(u"textEditResults"_s)->clear();
    QCOMPARE(searchFor(QString::fromUtf8("grüne Lunge")),
             (QStringList{u"Stadtpark"_s, u"Parkanlage"_s}));
    m_window->findChild<QTextEdit *>(u"textEditResults"_s)->clear();
    QVERIFY(searchFor(u"Xylophonkonzert"_s).isEmpty());
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, u"No Keywords found..."_s);
}

QTEST_MAIN(TestIntegration)
#include "tst_integration.moc"
