#include "app/publisher.h"
#include "mainwindow/mainwindow.h"
#include "support/modal.h"
#include "support/tempenvironment.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <memory>

class TestAboutWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyWayOutCloses_data();
    void everyWayOutCloses();
    void showsTheSameDocumentEachTime();

private:
    // Opens the About window; inspect sees it open, then close shuts it.
    void openAbout(const std::function<void(QDialog *)> &inspect,
                   const std::function<void(QDialog *)> &close);

    std::unique_ptr<TestSupport::TempEnvironment> m_env;
    std::unique_ptr<MainWindow> m_window;
};

void TestAboutWindow::init()
{
    m_env = std::make_unique<TestSupport::TempEnvironment>();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
}

void TestAboutWindow::cleanup()
{
    m_window.reset();
    m_env.reset();
}

void TestAboutWindow::openAbout(const std::function<void(QDialog *)> &inspect,
                                const std::function<void(QDialog *)> &close)
{
    TestSupport::whenModalOpens([inspect, close](QWidget *modal) {
        auto *dialog = qobject_cast<QDialog *>(modal);
        QVERIFY(dialog);
        inspect(dialog);
        close(dialog);
    });
    m_window->findChild<QAction *>(QStringLiteral("actionAbout"))->trigger();
    QVERIFY(TestSupport::modalSeen());
}

void TestAboutWindow::everyWayOutCloses_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("OK") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close button") << 2;
}

void TestAboutWindow::everyWayOutCloses()
{
    QFETCH(int, way);
    QPointer<QDialog> seen;
    openAbout(
        [this, &seen](QDialog *dialog) {
            seen = dialog;
            QCOMPARE(dialog->objectName(), QStringLiteral("AboutWindow"));
            QCOMPARE(dialog->windowTitle(), QString::fromLatin1(PublisherAddress));
            QCOMPARE(dialog->parentWidget(), m_window.get());
            QVERIFY(dialog->isModal());
            QVERIFY(dialog->width() >= 319 && dialog->height() >= 177);
        },
        [way](QDialog *dialog) {
            if (way == 0)
                dialog->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
            else if (way == 1)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->close();
        });
    // Released when the slot returns; the main window is usable again.
    QVERIFY(seen.isNull());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestAboutWindow::showsTheSameDocumentEachTime()
{
    QStringList documents;
    for (int i = 0; i < 2; ++i) {
        openAbout(
            [&documents](QDialog *dialog) {
                auto *browser = dialog->findChild<QTextBrowser *>(QStringLiteral("textBrowser"));
                documents.append(browser->toHtml());
                const QString text = browser->toPlainText();
                QVERIFY(text.startsWith(QStringLiteral("Lexigrove")));
                QVERIFY(text.contains(QString::fromLatin1(PublisherAddress)));
                QCOMPARE(browser->document()->blockCount(), 6);
            },
            [](QDialog *dialog) { dialog->accept(); });
    }
    QCOMPARE(documents.size(), 2);
    QCOMPARE(documents.at(0), documents.at(1));
}

QTEST_MAIN(TestAboutWindow)
#include "tst_aboutwindow.moc"
