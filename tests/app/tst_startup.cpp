#include "app/startup.h"
#include "support/tempenvironment.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void translationFileName();
    void loadsLanguageFileFromWorkingDirectory_data();
    void loadsLanguageFileFromWorkingDirectory();
    void loadsNothingElsewhere();
    void closingTheWindowEndsWithZero();

private:
    QString m_oldCwd;
};

void TestStartup::init()
{
    m_oldCwd = QDir::currentPath();
}

void TestStartup::cleanup()
{
    QDir::setCurrent(m_oldCwd);
}

void TestStartup::translationFileName()
{
    QCOMPARE(Startup::translationFileName(QStringLiteral("de_DE")),
             QStringLiteral("trans/src_de_DE"));
}

void TestStartup::loadsLanguageFileFromWorkingDirectory_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("found");
    QTest::newRow("Germany") << "de_DE" << true;
    QTest::newRow("Austria") << "de_AT" << true;
    QTest::newRow("Switzerland") << "de_CH" << true;
    QTest::newRow("France") << "fr_FR" << false;
}

void TestStartup::loadsLanguageFileFromWorkingDirectory()
{
    QFETCH(QString, locale);
    QFETCH(bool, found);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("trans")));
    QVERIFY(
        QFile::copy(QStringLiteral(FIXTURE_QM), dir.filePath(QStringLiteral("trans/src_de.qm"))));
    QVERIFY(QDir::setCurrent(dir.path()));

    QTranslator translator;
    QCOMPARE(Startup::loadTranslation(translator, locale), found);
    if (found) {
        QVERIFY(translator.filePath().endsWith(QStringLiteral("trans/src_de.qm")));
        QCOMPARE(translator.translate("Fixture", "Hello"), QStringLiteral("Hallo"));
    }
}

void TestStartup::loadsNothingElsewhere()
{
    QTemporaryDir withTranslation;
    QVERIFY(QDir(withTranslation.path()).mkpath(QStringLiteral("sub/trans")));
    QVERIFY(QFile::copy(QStringLiteral(FIXTURE_QM),
                        withTranslation.filePath(QStringLiteral("sub/trans/src_de.qm"))));
    // The parent of a folder that holds trans/ is not searched.
    QVERIFY(QDir::setCurrent(withTranslation.path()));
    QTranslator translator;
    QVERIFY(!Startup::loadTranslation(translator, QStringLiteral("de_DE")));
    QVERIFY(translator.isEmpty());
}

void TestStartup::closingTheWindowEndsWithZero()
{
    TestSupport::TempEnvironment env;
    QTemporaryDir empty;
    QVERIFY(QDir::setCurrent(empty.path()));
    bool sawWindow = false;
    QTimer::singleShot(0, this, [&sawWindow] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<QMainWindow *>(widget); window && window->isVisible()) {
                sawWindow = true;
                window->close();
            }
        }
    });
    QCOMPARE(Startup::run(), 0);
    QVERIFY(sawWindow);
    // The window is gone once the loop has ended.
    for (QWidget *widget : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<QMainWindow *>(widget));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
