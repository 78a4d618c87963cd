#include "app/publisher.h"
#include "mainwindow/mainwindow.h"
#include "support/tempenvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLCDNumber>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

#include <memory>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstRunUsesDefaults();
    void placementSurvivesRestart_data();
    void placementSurvivesRestart();
    void damagedSettingsGiveDefaults();
    void counterCountsLines_data();
    void counterCountsLines();
    void counterFollowsTyping();
    void newClearsResultsAndKeywordOnly();
    void editActionsWorkOnResultsAndKeyword();
    void editActionsIgnoreOtherWidgets_data();
    void editActionsIgnoreOtherWidgets();

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

void TestMainWindow::firstRunUsesDefaults()
{
    auto window = makeWindow();
    QCOMPARE(window->pos(), QPoint(200, 200));
    QCOMPARE(window->size(), QSize(400, 400));
    QCOMPARE(window->toolBarArea(child<QToolBar>(window.get(), "toolBar")), Qt::TopToolBarArea);
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

    QSettings stored(QString::fromLatin1(PublisherAddress), QStringLiteral("lexigrove"));
    QCOMPARE(stored.value(QStringLiteral("size")).toSize(), QSize(520, 470));
}

void TestMainWindow::damagedSettingsGiveDefaults()
{
    {
        QSettings stored(QString::fromLatin1(PublisherAddress), QStringLiteral("lexigrove"));
        stored.setValue(QStringLiteral("pos"), QStringLiteral("somewhere"));
        stored.setValue(QStringLiteral("size"), QSize(-5, 0));
        stored.setValue(QStringLiteral("state"), QByteArray("not a window state"));
    }
    auto window = makeWindow();
    QCOMPARE(window->pos(), QPoint(200, 200));
    QCOMPARE(window->size(), QSize(400, 400));
    QCOMPARE(window->toolBarArea(child<QToolBar>(window.get(), "toolBar")), Qt::TopToolBarArea);
}

void TestMainWindow::counterCountsLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("one word") << "Haus" << 1;
    QTest::newRow("two words") << "Haus\nGarten" << 2;
    QTest::newRow("word and line feed") << "Haus\n" << 2;
    QTest::newRow("lone line feed") << "\n" << 2;
    QTest::newRow("empty lines count") << "a\n\n\nb" << 4;
}

void TestMainWindow::counterCountsLines()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    auto window = makeWindow();
    auto *results = child<QTextEdit>(window.get(), "textEditResults");
    auto *lcd = child<QLCDNumber>(window.get(), "lcdNumber");
    results->setPlainText(QStringLiteral("x\ny\nz"));
    QCOMPARE(lcd->intValue(), 3);
    results->setPlainText(text);
    QCOMPARE(lcd->intValue(), count);
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
    QTest::keyClicks(results, QStringLiteral("Ziegel"));
    QTest::keyClick(results, Qt::Key_Return);
    QCOMPARE(lcd->intValue(), 3);
    QTest::keyClick(results, Qt::Key_Backspace);
    QCOMPARE(lcd->intValue(), 2);
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

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
