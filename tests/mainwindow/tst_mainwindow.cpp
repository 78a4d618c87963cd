#include "app/publisher.h"
#include "mainwindow/mainwindow.h"
#include "support/messagerecorder.h"
#include "support/modal.h"
#include "support/tempenvironment.h"
#include "support/testhttpserver.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
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

#include <memory>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstRunShowsWhatASearchNeeds();
    void placementSurvivesRestart_data();
    void placementSurvivesRestart();
    void unusablePlacementIsNotRestored_data();
    void unusablePlacementIsNotRestored();
    void counterFollowsTyping();
    void newClearsResultsAndKeywordOnly();
    void editActionsWorkOnResultsAndKeyword();
    void editActionsIgnoreOtherWidgets_data();
    void editActionsIgnoreOtherWidgets();
    void aboutShowsTheProgram();
    void unusableServiceAddressIsRefused_data();
    void unusableServiceAddressIsRefused();

private:
    std::unique_ptr<MainWindow> makeWindow();
    template <typename T> T *child(MainWindow *window, const char *name)
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    void focus(MainWindow *window, QWidget *widget);

    std::unique_ptr<TestSupport::TempEnvironment> m_env;
};

void TestMainWindow::init()
{
    m_env = std::make_unique<TestSupport::TempEnvironment>();
    QGuiApplication::clipboard()->setText(QStringLiteral("clipboard"));
}

void TestMainWindow::cleanup()
{
    m_env.reset();
}

std::unique_ptr<MainWindow> TestMainWindow::makeWindow()
{
    auto window = std::make_unique<MainWindow>();
    window->show();
    return window;
}

void TestMainWindow::focus(MainWindow *window, QWidget *widget)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    widget->setFocus();
    QTRY_VERIFY(widget->hasFocus());
}

void TestMainWindow::firstRunShowsWhatASearchNeeds()
{
    auto window = makeWindow();
    QCOMPARE(window->pos(), QPoint(200, 200));
    QCOMPARE(window->size(), QSize(400, 400));
    QCOMPARE(window->toolBarArea(child<QToolBar>(window.get(), "toolBar")), Qt::TopToolBarArea);
    for (const char *name : {"lineEditSearchTerm", "buttonSearch", "textEditResults",
                             "textEditBlacklist", "checkBoxBlacklist", "checkBoxFilterSearchTerm",
                             "checkBoxFilterDouble", "spinBoxQuantity", "lcdNumber", "buttonEdit2"})
        QVERIFY2(window->findChild<QWidget *>(QString::fromLatin1(name)), name);

    // The form's own links: the slider sets the quantity, Clear empties the results, and Return
    // in the keyword field searches (an empty keyword is refused with a message).
    auto *spin = child<QSpinBox>(window.get(), "spinBoxQuantity");
    child<QSlider>(window.get(), "horizontalSliderQuantity")->setValue(37);
    QCOMPARE(spin->value(), 37);
    child<QTextEdit>(window.get(), "textEditResults")->setPlainText(QStringLiteral("Dach"));
    child<QPushButton>(window.get(), "buttonClear")->click();
    QVERIFY(child<QTextEdit>(window.get(), "textEditResults")->toPlainText().isEmpty());
    TestSupport::MessageRecorder messages;
    QTest::keyClick(child<QLineEdit>(window.get(), "lineEditSearchTerm"), Qt::Key_Return);
    QTRY_COMPARE(messages.count(), 1);
}

void TestMainWindow::placementSurvivesRestart_data()
{
    QTest::addColumn<bool>("byQuit");
    QTest::newRow("Quit") << true;
    QTest::newRow("close control") << false;
}

void TestMainWindow::placementSurvivesRestart()
{
    QFETCH(bool, byQuit);
    {
        auto window = makeWindow();
        window->move(260, 150);
        window->resize(520, 470);
        window->addToolBar(Qt::LeftToolBarArea, child<QToolBar>(window.get(), "toolBar"));
        if (byQuit)
            child<QAction>(window.get(), "actionQuit")->trigger();
        else
            window->close();
        QVERIFY(!window->isVisible());
    }
    auto again = makeWindow();
    QCOMPARE(again->pos(), QPoint(260, 150));
    QCOMPARE(again->size(), QSize(520, 470));
    QCOMPARE(again->toolBarArea(child<QToolBar>(again.get(), "toolBar")), Qt::LeftToolBarArea);
}

void TestMainWindow::unusablePlacementIsNotRestored_data()
{
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    QTest::addColumn<QVariant>("pos");
    QTest::addColumn<QVariant>("size");
    QTest::addColumn<QSize>("expectedSize");
    QTest::newRow("damaged") << QVariant(QStringLiteral("somewhere")) << QVariant(QSize(-5, 0))
                             << QSize(400, 400);
    QTest::newRow("on no screen") << QVariant(QPoint(-30000, -30000)) << QVariant(QSize(450, 430))
                                  << QSize(450, 430);
    QTest::newRow("larger than the screen")
        << QVariant(QPoint(200, 200)) << QVariant(screen * 3) << screen;
}

void TestMainWindow::unusablePlacementIsNotRestored()
{
    QFETCH(QVariant, pos);
    QFETCH(QVariant, size);
    QFETCH(QSize, expectedSize);
    {
        QSettings stored(QString::fromLatin1(PublisherAddress), QStringLiteral("lexigrove"));
        stored.setValue(QStringLiteral("pos"), pos);
        stored.setValue(QStringLiteral("size"), size);
        stored.setValue(QStringLiteral("state"), QByteArray("not a window state"));
    }
    auto window = makeWindow();
    QCOMPARE(window->pos(), QPoint(200, 200));
    QCOMPARE(window->size(), expectedSize);
    QCOMPARE(window->toolBarArea(child<QToolBar>(window.get(), "toolBar")), Qt::TopToolBarArea);
}

void TestMainWindow::counterFollowsTyping()
{
    auto window = makeWindow();
    auto *results = child<QTextEdit>(window.get(), "textEditResults");
    auto *lcd = child<QLCDNumber>(window.get(), "lcdNumber");
    focus(window.get(), results);
    QTest::keyClicks(results, QStringLiteral("Dach"));
    QCOMPARE(lcd->intValue(), 1);
    QTest::keyClick(results, Qt::Key_Return);
    QCOMPARE(lcd->intValue(), 2);
    QTest::keyClick(results, Qt::Key_Backspace);
    QCOMPARE(lcd->intValue(), 1);
}

void TestMainWindow::newClearsResultsAndKeywordOnly()
{
    auto window = makeWindow();
    child<QTextEdit>(window.get(), "textEditResults")->setPlainText(QStringLiteral("a\nb"));
    child<QTextEdit>(window.get(), "textEditBlacklist")->setPlainText(QStringLiteral("gratis"));
    child<QLineEdit>(window.get(), "lineEditSearchTerm")->setText(QStringLiteral("Haus"));
    child<QCheckBox>(window.get(), "checkBoxFilterDouble")->setChecked(false);
    child<QSpinBox>(window.get(), "spinBoxQuantity")->setValue(12);

    child<QAction>(window.get(), "actionNew")->trigger();

    QVERIFY(child<QTextEdit>(window.get(), "textEditResults")->toPlainText().isEmpty());
    QVERIFY(child<QLineEdit>(window.get(), "lineEditSearchTerm")->text().isEmpty());
    QCOMPARE(child<QLCDNumber>(window.get(), "lcdNumber")->intValue(), 0);
    QCOMPARE(child<QTextEdit>(window.get(), "textEditBlacklist")->toPlainText(),
             QStringLiteral("gratis"));
    QVERIFY(!child<QCheckBox>(window.get(), "checkBoxFilterDouble")->isChecked());
    QCOMPARE(child<QSpinBox>(window.get(), "spinBoxQuantity")->value(), 12);
}

void TestMainWindow::editActionsWorkOnResultsAndKeyword()
{
    auto window = makeWindow();
    auto *results = child<QTextEdit>(window.get(), "textEditResults");
    auto *keyword = child<QLineEdit>(window.get(), "lineEditSearchTerm");
    QClipboard *clipboard = QGuiApplication::clipboard();

    results->setPlainText(QStringLiteral("Dach"));
    focus(window.get(), results);
    results->selectAll();
    child<QAction>(window.get(), "actionCopy")->trigger();
    QCOMPARE(clipboard->text(), QStringLiteral("Dach"));
    child<QAction>(window.get(), "actionCut")->trigger();
    QVERIFY(results->toPlainText().isEmpty());
    child<QAction>(window.get(), "actionPaste")->trigger();
    child<QAction>(window.get(), "actionPaste")->trigger();
    QCOMPARE(results->toPlainText(), QStringLiteral("DachDach"));

    keyword->setText(QStringLiteral("Haus"));
    focus(window.get(), keyword);
    keyword->selectAll();
    child<QAction>(window.get(), "actionCut")->trigger();
    QCOMPARE(clipboard->text(), QStringLiteral("Haus"));
    QVERIFY(keyword->text().isEmpty());
    clipboard->setText(QStringLiteral("Garten"));
    child<QAction>(window.get(), "actionPaste")->trigger();
    QCOMPARE(keyword->text(), QStringLiteral("Garten"));
    QCOMPARE(results->toPlainText(), QStringLiteral("DachDach"));
}

void TestMainWindow::editActionsIgnoreOtherWidgets_data()
{
    QTest::addColumn<QString>("widgetName");
    QTest::newRow("blacklist box") << "textEditBlacklist";
    QTest::newRow("check box") << "checkBoxBlacklist";
    QTest::newRow("spin box") << "spinBoxQuantity";
}

void TestMainWindow::editActionsIgnoreOtherWidgets()
{
    QFETCH(QString, widgetName);
    auto window = makeWindow();
    auto *results = child<QTextEdit>(window.get(), "textEditResults");
    auto *keyword = child<QLineEdit>(window.get(), "lineEditSearchTerm");
    auto *blacklist = child<QTextEdit>(window.get(), "textEditBlacklist");
    results->setPlainText(QStringLiteral("Dach"));
    keyword->setText(QStringLiteral("Haus"));
    blacklist->setPlainText(QStringLiteral("gratis"));
    blacklist->selectAll();

    focus(window.get(), window->findChild<QWidget *>(widgetName));
    for (const char *action : {"actionCopy", "actionCut", "actionPaste"})
        child<QAction>(window.get(), action)->trigger();

    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("clipboard"));
    QCOMPARE(blacklist->toPlainText(), QStringLiteral("gratis"));
    QCOMPARE(results->toPlainText(), QStringLiteral("Dach"));
    QCOMPARE(keyword->text(), QStringLiteral("Haus"));
    QCOMPARE(child<QSpinBox>(window.get(), "spinBoxQuantity")->value(), 200);
}

void TestMainWindow::aboutShowsTheProgram()
{
    auto window = makeWindow();
    QPointer<QWidget> seen;
    QString text;
    TestSupport::whenModalOpens([&](QWidget *modal) {
        seen = modal;
        QCOMPARE(modal->parentWidget(), window.get());
        text = modal->findChild<QTextBrowser *>()->toPlainText();
        modal->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
    });
    child<QAction>(window.get(), "actionAbout")->trigger();
    QVERIFY(TestSupport::modalSeen());
    QVERIFY(text.startsWith(QStringLiteral("Lexigrove")));
    QVERIFY(text.contains(QString::fromLatin1(PublisherAddress)));
    // Released when closed.
    QVERIFY(seen.isNull());
}

void TestMainWindow::unusableServiceAddressIsRefused_data()
{
    QTest::addColumn<QString>("address"); // %1: the port of a listening server
    QTest::newRow("https") << "https://127.0.0.1:%1/cgi-bin/meta/meta.ger1-asso";
    QTest::newRow("not an address") << "http://127.0.0.1:%1:80/";
}

void TestMainWindow::unusableServiceAddressIsRefused()
{
    QFETCH(QString, address);
    TestSupport::TestHttpServer server;
    QVERIFY(server.listen());
    server.setResponse(TestSupport::TestHttpServer::response(200, "<html></html>"));
    address = address.arg(server.port());
    qputenv("LEXIGROVE_SERVICE_URL", address.toUtf8());
    auto window = makeWindow();
    TestSupport::MessageRecorder messages;
    child<QLineEdit>(window.get(), "lineEditSearchTerm")->setText(QStringLiteral("Haus"));
    child<QPushButton>(window.get(), "buttonSearch")->click();
    qunsetenv("LEXIGROVE_SERVICE_URL");
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().kind, MessageBox::Critical);
    QVERIFY2(messages.last().text.contains(address), qPrintable(messages.last().text));
    QCOMPARE(server.requestCount(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
