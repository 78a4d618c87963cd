#include "app/publisher.h"
#include "mainwindow/mainwindow.h"
#include "support/messagerecorder.h"
#include "support/tempenvironment.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

#include <memory>

class TestMainWindowForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void widgetsAndNesting();
    void initialState();
    void textsAndTitle();
    void coloursAndFont();
    void menusAndToolBar();
    void buddiesAndTabOrder();
    void quantityControlsFollowEachOther();
    void clearEmptiesOnlyTheResults();
    void returnClicksSearch();

private:
    template <typename T> T *child(const char *name)
    {
        T *found = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qWarning("missing child %s", name);
        return found;
    }
    QLayout *parentLayoutOf(QObject *item);

    std::unique_ptr<TestSupport::TempEnvironment> m_env;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindowForm::init()
{
    m_env = std::make_unique<TestSupport::TempEnvironment>();
    m_window = std::make_unique<MainWindow>();
}

void TestMainWindowForm::cleanup()
{
    m_window.reset();
    m_env.reset();
}

// The layout directly holding a widget or layout, found by walking the window's layouts.
QLayout *TestMainWindowForm::parentLayoutOf(QObject *item)
{
    const auto layouts = m_window->findChildren<QLayout *>();
    for (QLayout *layout : layouts) {
        for (int i = 0; i < layout->count(); ++i) {
            QLayoutItem *entry = layout->itemAt(i);
            if (entry->widget() == item || entry->layout() == item)
                return layout;
        }
    }
    return nullptr;
}

void TestMainWindowForm::widgetsAndNesting()
{
    const QList<QPair<const char *, const char *>> nesting = {
        {"buttonClear", "hboxLayout"},
        {"buttonSearch", "hboxLayout"},
        {"hboxLayout", "gridLayout"},
        {"frame", "gridLayout"},
        {"hboxLayout1", "gridLayout1"},
        {"vboxLayout", "hboxLayout1"},
        {"label_3", "vboxLayout"},
        {"textEditResults", "vboxLayout"},
        {"hboxLayout2", "vboxLayout"},
        {"label_6", "hboxLayout2"},
        {"lcdNumber", "hboxLayout2"},
        {"vboxLayout1", "hboxLayout1"},
        {"label_4", "vboxLayout1"},
        {"textEditBlacklist", "vboxLayout1"},
        {"hboxLayout3", "vboxLayout1"},
        {"checkBoxBlacklist", "hboxLayout3"},
        {"buttonEdit2", "hboxLayout3"},
        {"vboxLayout2", "gridLayout1"},
        {"hboxLayout4", "vboxLayout2"},
        {"label", "hboxLayout4"},
        {"lineEditSearchTerm", "hboxLayout4"},
        {"hboxLayout5", "vboxLayout2"},
        {"checkBoxFilterSearchTerm", "hboxLayout5"},
        {"checkBoxFilterDouble", "hboxLayout5"},
        {"line", "gridLayout1"},
        {"vboxLayout3", "gridLayout1"},
        {"hboxLayout6", "vboxLayout3"},
        {"label_2", "hboxLayout6"},
        {"spinBoxQuantity", "hboxLayout6"},
        {"horizontalSliderQuantity", "vboxLayout3"},
    };
    for (const auto &[itemName, layoutName] : nesting) {
        QObject *item = m_window->findChild<QObject *>(QString::fromLatin1(itemName));
        QVERIFY2(item, itemName);
        QLayout *parent = parentLayoutOf(item);
        QVERIFY2(parent, itemName);
        QCOMPARE(parent->objectName(), QString::fromLatin1(layoutName));
    }

    auto *grid1 = child<QGridLayout>("gridLayout1");
    const QStringList rows = {"hboxLayout1", "line", "vboxLayout2", "vboxLayout3"};
    for (int row = 0; row < rows.size(); ++row) {
        QLayoutItem *item = grid1->itemAtPosition(row, 0);
        QObject *object = item->widget() ? static_cast<QObject *>(item->widget()) : item->layout();
        QCOMPARE(object->objectName(), rows.at(row));
    }
    QCOMPARE(grid1->spacing(), 6);
    QCOMPARE(grid1->contentsMargins(), QMargins(9, 9, 9, 9));
    QCOMPARE(child<QLayout>("hboxLayout3")->contentsMargins(), QMargins());
    QCOMPARE(child<QLayout>("hboxLayout3")->spacing(), 6);
    // Spacers stand where the layout has room to breathe: the button row has three entries.
    QCOMPARE(child<QLayout>("hboxLayout")->count(), 3);
    QVERIFY(child<QLayout>("hboxLayout")->itemAt(1)->spacerItem());
    QCOMPARE(child<QLayout>("hboxLayout2")->itemAt(2)->spacerItem()->sizeHint(), QSize(40, 28));
    QCOMPARE(m_window->centralWidget()->objectName(), QStringLiteral("centralwidget"));
}

void TestMainWindowForm::initialState()
{
    QVERIFY(child<QCheckBox>("checkBoxBlacklist")->isChecked());
    QVERIFY(child<QCheckBox>("checkBoxFilterSearchTerm")->isChecked());
    QVERIFY(child<QCheckBox>("checkBoxFilterDouble")->isChecked());
    auto *spin = child<QSpinBox>("spinBoxQuantity");
    auto *slider = child<QSlider>("horizontalSliderQuantity");
    QCOMPARE(spin->value(), 200);
    QCOMPARE(spin->minimum(), 1);
    QCOMPARE(spin->maximum(), 200);
    QCOMPARE(slider->value(), 200);
    QCOMPARE(slider->pageStep(), 10);
    QCOMPARE(slider->singleStep(), 1);
    QCOMPARE(child<QLCDNumber>("lcdNumber")->intValue(), 0);
    QCOMPARE(child<QLCDNumber>("lcdNumber")->digitCount(), 5);
    QCOMPARE(child<QLCDNumber>("lcdNumber")->segmentStyle(), QLCDNumber::Flat);
    QVERIFY(child<QTextEdit>("textEditResults")->toPlainText().isEmpty());
    QVERIFY(child<QTextEdit>("textEditBlacklist")->toPlainText().isEmpty());
    QVERIFY(child<QLineEdit>("lineEditSearchTerm")->text().isEmpty());
    QVERIFY(!child<QTextEdit>("textEditResults")->isReadOnly());
    QVERIFY(child<QPushButton>("buttonClear")->icon().isNull());
    QVERIFY(!child<QPushButton>("buttonSearch")->icon().isNull());
    QVERIFY(!child<QPushButton>("buttonEdit2")->icon().isNull());
    QVERIFY(child<QPushButton>("buttonEdit2")->text().isEmpty());
}

void TestMainWindowForm::textsAndTitle()
{
    QCOMPARE(m_window->windowTitle(), QString::fromLatin1(PublisherAddress) + " - Lexigrove");
    const QList<QPair<const char *, QString>> texts = {
        {"buttonClear", "&Clear"},
        {"buttonSearch", "Start &Search"},
        {"label_3", "Keywords"},
        {"label_6", "Quantity:"},
        {"label_4", "Blacklist(Separated by Comma!)"},
        {"checkBoxBlacklist", "Include common Badword List"},
        {"label", "Search Term"},
        {"checkBoxFilterSearchTerm", "Filter: Search Term"},
        {"checkBoxFilterDouble", "Filter: Double"},
        {"label_2", "Keywords Quantitiy"},
    };
    for (const auto &[name, text] : texts)
        QCOMPARE(m_window->findChild<QWidget *>(QString::fromLatin1(name))->property("text"),
                 QVariant(text));
    const QList<QPair<const char *, QString>> actions = {
        {"actionCut", "Cu&t"}, {"actionCopy", "&Copy"}, {"actionPaste", "&Paste"},
        {"actionNew", "&New"}, {"actionQuit", "&Quit"}, {"actionAbout", "&About"},
    };
    for (const auto &[name, text] : actions) {
        QAction *action = child<QAction>(name);
        QCOMPARE(action->text(), text);
        QVERIFY2(!action->icon().isNull(), name);
        QVERIFY(action->shortcut().isEmpty());
    }
}

void TestMainWindowForm::coloursAndFont()
{
    const QPalette blacklist = child<QTextEdit>("textEditBlacklist")->palette();
    const QPalette term = child<QLineEdit>("lineEditSearchTerm")->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        QCOMPARE(blacklist.color(group, QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(term.color(group, QPalette::Text), QColor(0, 170, 0));
    }
    QCOMPARE(blacklist.color(QPalette::Disabled, QPalette::Text), QColor(119, 119, 115));
    QCOMPARE(term.color(QPalette::Disabled, QPalette::Text), QColor(119, 119, 115));
    QVERIFY(child<QLineEdit>("lineEditSearchTerm")->font().bold());
    QVERIFY(!child<QLineEdit>("lineEditSearchTerm")->font().strikeOut());
}

void TestMainWindowForm::menusAndToolBar()
{
    const QList<QAction *> menus = m_window->menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus.at(0)->menu()->objectName(), QStringLiteral("menu_File"));
    QCOMPARE(menus.at(1)->menu()->objectName(), QStringLiteral("menu_Edit"));
    QCOMPARE(menus.at(2)->menu()->objectName(), QStringLiteral("menu_Help"));
    QCOMPARE(menus.at(0)->text(), QStringLiteral("&File"));

    const QList<QAction *> file = child<QMenu>("menu_File")->actions();
    QCOMPARE(file.size(), 3);
    QCOMPARE(file.at(0), child<QAction>("actionNew"));
    QVERIFY(file.at(1)->isSeparator());
    QCOMPARE(file.at(2), child<QAction>("actionQuit"));

    const QList<QAction *> edit = {child<QAction>("actionCut"), child<QAction>("actionCopy"),
                                   child<QAction>("actionPaste")};
    QCOMPARE(child<QMenu>("menu_Edit")->actions(), edit);
    QCOMPARE(child<QToolBar>("toolBar")->actions(), edit);
    QCOMPARE(m_window->toolBarArea(child<QToolBar>("toolBar")), Qt::TopToolBarArea);
    QCOMPARE(child<QMenu>("menu_Help")->actions(), {child<QAction>("actionAbout")});
}

void TestMainWindowForm::buddiesAndTabOrder()
{
    QCOMPARE(child<QLabel>("label")->buddy(), child<QWidget>("lineEditSearchTerm"));
    QCOMPARE(child<QLabel>("label_2")->buddy(), child<QWidget>("spinBoxQuantity"));

    const QStringList order = {
        "textEditResults",      "textEditBlacklist",  "checkBoxBlacklist",
        "buttonEdit2",          "lineEditSearchTerm", "checkBoxFilterSearchTerm",
        "checkBoxFilterDouble", "spinBoxQuantity",    "horizontalSliderQuantity",
        "buttonClear",          "buttonSearch"};
    for (int i = 0; i + 1 < order.size(); ++i) {
        QWidget *widget = m_window->findChild<QWidget *>(order.at(i));
        // Skip the widget's own parts (viewports, scroll bars) and anything Tab never stops at.
        QWidget *next = widget->nextInFocusChain();
        while (widget->isAncestorOf(next) || !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        QWidget *expected = m_window->findChild<QWidget *>(order.at(i + 1));
        QVERIFY2(next == expected || expected->isAncestorOf(next),
                 qPrintable(order.at(i) + " -> " + order.at(i + 1)));
    }
}

void TestMainWindowForm::quantityControlsFollowEachOther()
{
    auto *spin = child<QSpinBox>("spinBoxQuantity");
    auto *slider = child<QSlider>("horizontalSliderQuantity");
    QSignalSpy spinChanges(spin, &QSpinBox::valueChanged);
    QSignalSpy sliderChanges(slider, &QSlider::valueChanged);

    slider->setValue(37);
    QCOMPARE(spin->value(), 37);
    spin->setValue(150);
    QCOMPARE(slider->value(), 150);
    // One change each way, no echo back and forth.
    QCOMPARE(spinChanges.count(), 2);
    QCOMPARE(sliderChanges.count(), 2);

    spin->setValue(0);
    QCOMPARE(spin->value(), 1);
    QCOMPARE(slider->value(), 1);
    spin->setValue(201);
    QCOMPARE(slider->value(), 200);
    slider->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(spin->value(), 190);
}

void TestMainWindowForm::clearEmptiesOnlyTheResults()
{
    child<QTextEdit>("textEditResults")->setPlainText(QStringLiteral("Dach\nboot"));
    child<QTextEdit>("textEditBlacklist")->setPlainText(QStringLiteral("bau"));
    child<QLineEdit>("lineEditSearchTerm")->setText(QStringLiteral("Haus"));
    child<QCheckBox>("checkBoxFilterDouble")->setChecked(false);
    child<QSpinBox>("spinBoxQuantity")->setValue(7);

    QTest::mouseClick(child<QPushButton>("buttonClear"), Qt::LeftButton);

    QVERIFY(child<QTextEdit>("textEditResults")->toPlainText().isEmpty());
    QCOMPARE(child<QTextEdit>("textEditBlacklist")->toPlainText(), QStringLiteral("bau"));
    QCOMPARE(child<QLineEdit>("lineEditSearchTerm")->text(), QStringLiteral("Haus"));
    QVERIFY(!child<QCheckBox>("checkBoxFilterDouble")->isChecked());
    QCOMPARE(child<QSpinBox>("spinBoxQuantity")->value(), 7);
}

void TestMainWindowForm::returnClicksSearch()
{
    QSignalSpy clicks(child<QPushButton>("buttonSearch"), &QPushButton::clicked);
    // The empty field makes the search refuse politely; only the click is of interest here.
    TestSupport::MessageRecorder messages;
    auto *field = child<QLineEdit>("lineEditSearchTerm");
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_COMPARE(clicks.count(), 1);
}

QTEST_MAIN(TestMainWindowForm)
#include "tst_mainwindowform.moc"
