#include "dialogs/messagebox.h"
#include "support/modal.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

// Every other test replaces the boxes through the hook; this one looks at the real ones.
class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void oneOkButtonOfItsKind_data();
    void oneOkButtonOfItsKind();
};

void TestMessageBox::oneOkButtonOfItsKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("icon");
    QTest::newRow("information") << int(MessageBox::Information) << int(QMessageBox::Information);
    QTest::newRow("warning") << int(MessageBox::Warning) << int(QMessageBox::Warning);
    QTest::newRow("critical") << int(MessageBox::Critical) << int(QMessageBox::Critical);
}

void TestMessageBox::oneOkButtonOfItsKind()
{
    QFETCH(int, kind);
    QFETCH(int, icon);
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString shown;
    TestSupport::whenModalOpens([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        shownIcon = box->icon();
        buttons = box->standardButtons();
        shown = box->windowTitle() + QLatin1Char('/') + box->text();
        box->button(QMessageBox::Ok)->click();
    });
    using Show = void (*)(QWidget *, const QString &, const QString &);
    const Show show[] = {&MessageBox::information, &MessageBox::warning, &MessageBox::critical};
    show[kind](nullptr, QStringLiteral("Title"), QStringLiteral("Text"));
    QVERIFY(TestSupport::modalSeen());
    QCOMPARE(int(shownIcon), icon);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(shown, QStringLiteral("Title/Text"));
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
