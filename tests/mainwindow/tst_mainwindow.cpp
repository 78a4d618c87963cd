#include "app/publisher.h"
#include "mainwindow/mainwindow.h"
#include "support/datatable.h"
#include "support/messagerecorder.h"
#include "support/modal.h"
#include "support/tempenvironment.h"
#include "support/testhttpserver.h"
#include "support/watchdog.h"

#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QLCDNumber>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolBar>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void formDoesWhatASearchNeeds();
    void placementSurvivesRestart();
    void onlyAUsablePlacementIsRestored_data();
    void onlyAUsablePlacementIsRestored();
    void settingsFileThatIsNoFileIsLeftAlone_data();
    void settingsFileThatIsNoFileIsLeftAlone();
    void editActionsFollowTheFocus_data();
    void editActionsFollowTheFocus();
    void aboutShowsTheProgram();
    void unusableServiceAddressIsRefused_data();
    void unusableServiceAddressIsRefused();
    void settingsFileBecomingAPipeIsLeftAlone();

private:
    void openWindow();
    template <typename T = QWidget> T *child(const char *name)
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }
    Qt::ToolBarArea toolBarArea() { return m_window->toolBarArea(child<QToolBar>("toolBar")); }

    std::unique_ptr<TestSupport::TempEnvironment> m_env;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::init()
{
    m_env = std::make_unique<TestSupport::TempEnvironment>();
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    m_env.reset();
}

void TestMainWindow::openWindow()
{
    m_window = std::make_unique<MainWindow>();
    m_window->show();
}

void TestMainWindow::formDoesWhatASearchNeeds()
{
    openWindow();
    // The form's own links: the slider sets the quantity, Clear empties the results, and Return
    // in the keyword field searches (an empty keyword is refused with a message).
    child<QSlider>("horizontalSliderQuantity")->setValue(37);
    QCOMPARE(child<QSpinBox>("spinBoxQuantity")->value(), 37);
    child<QTextEdit>("textEditResults")->setPlainText(u"Dach"_s);
    child<QPushButton>("buttonClear")->click();
    QVERIFY(child<QTextEdit>("textEditResults")->toPlainText().isEmpty());
    TestSupport::MessageRecorder messages;
    QTest::keyClick(child("lineEditSearchTerm"), Qt::Key_Return);
    QTRY_COMPARE(messages.count(), 1);

    // The counter follows every change of the result box, the user's own typing included.
    QTest::keyClicks(child("textEditResults"), u"Dach"_s);
    QTest::keyClick(child("textEditResults"), Qt::Key_Return);
    QCOMPARE(child<QLCDNumber>("lcdNumber")->intValue(), 2);
    child<QTextEdit>("textEditBlacklist")->setPlainText(u"gratis"_s);
    child<QLineEdit>("lineEditSearchTerm")->setText(u"Haus"_s);

    // New empties the results and the keyword, nothing else.
    child<QAction>("actionNew")->trigger();

    QVERIFY(child<QTextEdit>("textEditResults")->toPlainText().isEmpty());
    QVERIFY(child<QLineEdit>("lineEditSearchTerm")->text().isEmpty());
    QCOMPARE(child<QLCDNumber>("lcdNumber")->intValue(), 0);
    QCOMPARE(child<QTextEdit>("textEditBlacklist")->toPlainText(), u"gratis"_s);
}

// The window is pulled onto the screen once, when it first comes up; where the user puts it
// later is the user's choice, and the next start puts it there again.
void TestMainWindow::placementSurvivesRestart()
{
    openWindow();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    const QPoint nearCorner =
        QGuiApplication::primaryScreen()->availableGeometry().bottomRight() - QPoint(100, 100);
    m_window->move(nearCorner);
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(m_window->pos(), nearCorner);

    m_window->move(260, 150);
    m_window->resize(520, 470);
    m_window->addToolBar(Qt::LeftToolBarArea, child<QToolBar>("toolBar"));
    child<QAction>("actionQuit")->trigger(); // the close control ends in the same handler
    QVERIFY(!m_window->isVisible());

    openWindow();
    QCOMPARE(m_window->pos(), QPoint(260, 150));
    QCOMPARE(m_window->size(), QSize(520, 470));
    QCOMPARE(toolBarArea(), Qt::LeftToolBarArea);
}

void TestMainWindow::onlyAUsablePlacementIsRestored_data()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::addColumn<QVariant>("pos");
    QTest::addColumn<QVariant>("size");
    QTest::addColumn<QRect>("expected");
    const QPoint start(200, 200);
    QTest::newRow("first run") << QVariant() << QVariant() << QRect(start, QSize(400, 400));
    QTest::newRow("damaged") << QVariant(u"somewhere"_s) << QVariant(QSize(-5, 0))
                             << QRect(start, QSize(400, 400));
    QTest::newRow("on no screen") << QVariant(QPoint(-30000, -30000)) << QVariant(QSize(450, 430))
                                  << QRect(start, QSize(450, 430));
    // The whole window goes onto the screen: its size as far as the screen takes it, moved in
    // where it would reach past an edge.
    QTest::newRow("larger than the screen")
        << QVariant(start) << QVariant(screen.size() * 3) << screen;
    const QPoint nearCorner = screen.bottomRight() - QPoint(100, 50);
    QTest::newRow("from a larger screen")
        << QVariant(nearCorner) << QVariant(QSize(450, 430))
        << QRect(screen.bottomRight() - QPoint(449, 429), QSize(450, 430));
    // The form grows to its minimum: that grown window, not the stored size, must fit.
    QTest::newRow("small, near the corner")
        << QVariant(screen.bottomRight() - QPoint(60, 40)) << QVariant(QSize(50, 30)) << QRect();
}

void TestMainWindow::onlyAUsablePlacementIsRestored()
{
    QFETCH(QVariant, pos);
    QFETCH(QVariant, size);
    QFETCH(QRect, expected);
    if (pos.isValid()) {
        QSettings stored(QString::fromLatin1(PublisherAddress), u"lexigrove"_s);
        stored.setValue(u"pos"_s, pos);
        stored.setValue(u"size"_s, size);
        stored.setValue(u"state"_s, QByteArray("not a window state"));
    }
    openWindow();
    const QRect placed(m_window->pos(), m_window->size());
    if (expected.isNull())
        QVERIFY2(QGuiApplication::primaryScreen()->availableGeometry().contains(placed),
                 qPrintable(QDebug::toString(placed)));
    else
        QCOMPARE(placed, expected);
    QCOMPARE(toolBarArea(), Qt::TopToolBarArea);
}

// A settings file that is a pipe would block the start for good, a huge one fill the memory:
// the window starts in its default place, says which file it left alone and why, and does not
// write over it when it closes.
void TestMainWindow::settingsFileThatIsNoFileIsLeftAlone_data()
{
    TestSupport::addRows(u"mainwindow/oddsettings.tsv"_s, {"kind", "why"});
}

void TestMainWindow::settingsFileThatIsNoFileIsLeftAlone()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    QString file = QSettings(QString::fromLatin1(PublisherAddress), u"lexigrove"_s).fileName();
    if (kind == QLatin1String("org"))
        file = QFileInfo(file).dir().absoluteFilePath(
            u"../%1.conf"_s.arg(QString::fromLatin1(PublisherAddress)));
    else if (kind == QLatin1String("lock"))
        file += u".lock"_s;
    file = QDir::cleanPath(file);
    QDir().mkpath(QFileInfo(file).path());
    const QByteArray huge = "[General]\nsize=@Size(500 400)\n" + QByteArray(2 << 20, '#');
    if (kind == QLatin1String("huge"))
        TestSupport::writeBytes(file, huge);
    else
        QVERIFY(TestSupport::makeNonFile(
            file,
            kind == QLatin1String("org") || kind == QLatin1String("lock") ? u"fifo"_s : kind));

    const TestSupport::Watchdog watchdog("a start with an odd settings file");
    TestSupport::MessageRecorder messages;
    openWindow();
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.last().text.contains(file) && messages.last().text.contains(why),
             qPrintable(messages.last().text));
    QCOMPARE(QRect(m_window->pos(), m_window->size()), QRect(200, 200, 400, 400));
    m_window->close();
    m_window.reset();
    const QFileInfo after(file);
    if (kind == QLatin1String("huge"))
        QCOMPARE(TestSupport::readBytes(file), huge);
    else if (kind == QLatin1String("folder"))
        QVERIFY(after.isDir());
    else if (kind == QLatin1String("zero"))
        QCOMPARE(after.symLinkTarget(), u"/dev/zero"_s);
    else
        QVERIFY(!after.isFile() && after.exists());
}

void TestMainWindow::editActionsFollowTheFocus_data()
{
    TestSupport::addRows(u"mainwindow/focus.tsv"_s, {"focused"});
}

void TestMainWindow::editActionsFollowTheFocus()
{
    QFETCH(QString, focused);
    const bool onResults = focused == QLatin1String("textEditResults");
    const bool onKeyword = focused == QLatin1String("lineEditSearchTerm");
    openWindow();
    QGuiApplication::clipboard()->setText(u"clipboard"_s);
    child<QTextEdit>("textEditResults")->setPlainText(u"Dach"_s);
    child<QLineEdit>("lineEditSearchTerm")->setText(u"Haus"_s);
    child<QTextEdit>("textEditBlacklist")->setPlainText(u"gratis"_s);
    QWidget *widget = child(qPrintable(focused));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    widget->setFocus();
    QTRY_VERIFY(widget->hasFocus());
    if (widget->metaObject()->indexOfSlot("selectAll()") >= 0)
        QMetaObject::invokeMethod(widget, "selectAll");

    // Copy, then Cut and Paste twice: only the results and the keyword field take part.
    child<QAction>("actionCopy")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), onResults   ? "Dach"
                                                   : onKeyword ? "Haus"
                                                               : "clipboard");
    for (const char *action : {"actionCut", "actionPaste", "actionPaste"})
        child<QAction>(action)->trigger();
    QCOMPARE(child<QTextEdit>("textEditResults")->toPlainText(), onResults ? "DachDach" : "Dach");
    QCOMPARE(child<QLineEdit>("lineEditSearchTerm")->text(), onKeyword ? "HausHaus" : "Haus");
    QCOMPARE(child<QTextEdit>("textEditBlacklist")->toPlainText(), u"gratis"_s);
    QCOMPARE(child<QSpinBox>("spinBoxQuantity")->value(), 200);
}

void TestMainWindow::aboutShowsTheProgram()
{
    openWindow();
    QString text;
    TestSupport::whenModalOpens([&](QWidget *modal) {
        QCOMPARE(modal->parentWidget(), m_window.get());
        text = modal->findChild<QTextBrowser *>()->toPlainText();
        modal->findChild<QPushButton *>(u"okButton"_s)->click();
    });
    child<QAction>("actionAbout")->trigger();
    QVERIFY(TestSupport::modalSeen());
    QVERIFY(text.startsWith(u"Lexigrove"_s));
    QVERIFY(text.contains(QString::fromLatin1(PublisherAddress)));
}

void TestMainWindow::unusableServiceAddressIsRefused_data()
{
    TestSupport::addRows(u"mainwindow/badaddresses.tsv"_s, {"address"});
}

void TestMainWindow::unusableServiceAddressIsRefused()
{
    QFETCH(QString, address);
    TestSupport::TestHttpServer server;
    QVERIFY(server.listen());
    server.setResponse(TestSupport::TestHttpServer::response(200, "<html></html>"));
    address = address.arg(server.port());
    qputenv("LEXIGROVE_SERVICE_URL", address.toUtf8());
    openWindow();
    TestSupport::MessageRecorder messages;
    child<QLineEdit>("lineEditSearchTerm")->setText(u"Haus"_s);
    child<QPushButton>("buttonSearch")->click();
    qunsetenv("LEXIGROVE_SERVICE_URL");
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().kind, MessageBox::Critical);
    QVERIFY2(messages.last().text.contains(address), qPrintable(messages.last().text));
    QCOMPARE(server.requestCount(), 0);
}

void TestMainWindow::settingsFileBecomingAPipeIsLeftAlone()
{
    openWindow();
    const QString file =
        QSettings(QString::fromLatin1(PublisherAddress), u"lexigrove"_s).fileName();
    QDir().mkpath(QFileInfo(file).path());
    QFile::remove(file);
    QVERIFY(TestSupport::makeNonFile(file, u"fifo"_s));
    const TestSupport::Watchdog watchdog("closing the window with a settings file that is a pipe");
    TestSupport::MessageRecorder messages;
    QVERIFY(m_window->close());
    m_window.reset();
    const QFileInfo after(file);
    QVERIFY(after.exists() && !after.isFile());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
