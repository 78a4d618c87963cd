#include "app/publisher.h"
#include "dialogs/waitwindow.h"
#include "support/modal.h"

#include <QGridLayout>
#include <QTest>

class TestWaitWindow : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void everyWayOutEndsWithZero_data();
    void everyWayOutEndsWithZero();
    void keepsWhatItWasGiven();
};

void TestWaitWindow::form()
{
    WaitWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("WaitWindow"));
    QCOMPARE(window.windowTitle(), QString::fromLatin1(PublisherAddress));
    QVERIFY(!window.ui.okButton->isEnabled());
    QVERIFY(window.ui.cancelButton->isEnabled());
    QCOMPARE(window.ui.okButton->text(), QStringLiteral("OK"));
    QCOMPARE(window.ui.cancelButton->text(), QStringLiteral("Cancel"));
    QCOMPARE(window.ui.label->text(), QStringLiteral("Searching for Keyword:"));
    QCOMPARE(window.ui.labelKeyword->text(), QStringLiteral("TextLabel"));
    QVERIFY(!window.ui.progressBar->isTextVisible());
    QCOMPARE(window.ui.progressBar->value(), 0);
    QCOMPARE(window.ui.progressBar->maximum(), 100);

    QGridLayout *grid = window.ui.gridLayout;
    auto cell = [grid](QWidget *widget) {
        int row, column, rows, columns;
        grid->getItemPosition(grid->indexOf(widget), &row, &column, &rows, &columns);
        return QList<int>{row, column, rows, columns};
    };
    QCOMPARE(cell(window.ui.label), (QList<int>{0, 0, 1, 2}));
    QCOMPARE(cell(window.ui.labelKeyword), (QList<int>{0, 2, 1, 2}));
    QCOMPARE(cell(window.ui.progressBar), (QList<int>{1, 0, 1, 4}));
    QCOMPARE(cell(window.ui.cancelButton), (QList<int>{2, 0, 1, 1}));
    QCOMPARE(cell(window.ui.okButton), (QList<int>{2, 3, 1, 1}));
    QVERIFY(window.width() >= 260 && window.height() >= 103);
}

void TestWaitWindow::everyWayOutEndsWithZero_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("Cancel") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close button") << 2;
}

void TestWaitWindow::everyWayOutEndsWithZero()
{
    QFETCH(int, way);
    WaitWindow window;
    TestSupport::whenModalOpens([&window, way](QWidget *modal) {
        QCOMPARE(modal, &window);
        if (way == 0)
            QTest::mouseClick(window.ui.cancelButton, Qt::LeftButton);
        else if (way == 1)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
    });
    QCOMPARE(window.exec(), 0);
    QVERIFY(TestSupport::modalSeen());
    QVERIFY(!window.isVisible());
}

void TestWaitWindow::keepsWhatItWasGiven()
{
    WaitWindow window;
    window.ui.labelKeyword->setText(QStringLiteral("Haus"));
    window.ui.progressBar->setMaximum(500);
    window.ui.progressBar->setValue(250);
    TestSupport::whenModalOpens([&window](QWidget *) { window.done(0); });
    QCOMPARE(window.exec(), 0);
    QCOMPARE(window.ui.labelKeyword->text(), QStringLiteral("Haus"));
    QCOMPARE(window.ui.progressBar->value(), 250);
}

QTEST_MAIN(TestWaitWindow)
#include "tst_waitwindow.moc"
