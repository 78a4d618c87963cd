#include "app/publisher.h"
#include "mainwindow/mainwindow.h"
#include "support/messagerecorder.h"
#include "support/tempenvironment.h"
#include "support/watchdog.h"

#include <QApplication>
#include <QScreen>
#include <QSettings>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

// Where the window goes, and what it does with its settings file, beyond a plain restart.
class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<TestSupport::TempEnvironment>(); }
    void cleanup()
    {
        m_window.reset();
        m_env.reset();
    }
    void smallStoredSizeNearTheCornerFits();
    void settingsFileBecomingAPipeIsLeftAlone();
    void laterActivationLeavesTheUsersPlace();

private:
    void openWindow()
    {
        m_window = std::make_unique<MainWindow>();
        m_window->show();
    }
    static QString settingsFile()
    {
        return QSettings(QString::fromLatin1(PublisherAddress), u"lexigrove"_s).fileName();
    }
    static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    std::unique_ptr<TestSupport::TempEnvironment> m_env;
    std::unique_ptr<MainWindow> m_window;
};

// The form grows to its minimum; that grown window, not the stored size, must fit the screen.
void TestWindowPlacement::smallStoredSizeNearTheCornerFits()
{
    {
        QSettings stored(QString::fromLatin1(PublisherAddress), u"lexigrove"_s);
        stored.setValue(u"pos"_s, available().bottomRight() - QPoint(60, 40));
        stored.setValue(u"size"_s, QSize(50, 30));
    }
    openWindow();
    const QRect placed(m_window->pos(), m_window->size());
    QVERIFY2(available().contains(placed), qPrintable(u"%1,%2 %3x%4"_s.arg(placed.x())
                                                          .arg(placed.y())
                                                          .arg(placed.width())
                                                          .arg(placed.height())));
}

void TestWindowPlacement::settingsFileBecomingAPipeIsLeftAlone()
{
    openWindow();
    const QString file = settingsFile();
    QDir().mkpath(QFileInfo(file).path());
    QFile::remove(file);
    QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    const TestSupport::Watchdog watchdog("closing the window with a settings file that is a pipe");
    TestSupport::MessageRecorder messages;
    QVERIFY(m_window->close());
    m_window.reset();
    const QFileInfo after(file);
    QVERIFY(after.exists() && !after.isFile());
}

// The window is pulled onto the screen once, when it first comes up; where the user puts it
// later is the user's choice.
void TestWindowPlacement::laterActivationLeavesTheUsersPlace()
{
    openWindow();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    const QPoint offScreen = available().bottomRight() - QPoint(100, 100);
    m_window->move(offScreen);
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(m_window->pos(), offScreen);
}

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
