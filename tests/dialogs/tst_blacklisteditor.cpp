#include "dialogs/formblacklist.h"
#include "mainwindow/mainwindow.h"
#include "support/messagerecorder.h"
#include "support/modal.h"
#include "support/tempenvironment.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
enum class Answer
{
    Ok,
    Cancel,
    Escape,
    CloseButton
};
}

class TestBlacklistEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void form();
    void leavingWithoutOkChangesNothing_data();
    void leavingWithoutOkChangesNothing();
    void okSavesThePlainText_data();
    void okSavesThePlainText();
    void missingFileIsCreatedOnOk();
    void unusableFileWarnsBeforeAndAfter();

private:
    // Opens the editor from the main window; edit runs on it while it is open, then answer.
    bool runEditor(const std::function<void(FormBlacklist *)> &edit, Answer answer);
    QString listPath() const { return m_env->dataDir() + QStringLiteral("/default_blacklist.txt"); }
    void writeList(const QByteArray &bytes);
    QByteArray readList() const;

    std::unique_ptr<TestSupport::TempEnvironment> m_env;
    std::unique_ptr<TestSupport::MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
    QString m_shownText;
};

void TestBlacklistEditor::init()
{
    m_env = std::make_unique<TestSupport::TempEnvironment>();
    m_messages = std::make_unique<TestSupport::MessageRecorder>();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
}

void TestBlacklistEditor::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_env.reset();
}

void TestBlacklistEditor::writeList(const QByteArray &bytes)
{
    QFile file(listPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestBlacklistEditor::readList() const
{
    QFile file(listPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool TestBlacklistEditor::runEditor(const std::function<void(FormBlacklist *)> &edit, Answer answer)
{
    m_shownText.clear();
    TestSupport::whenModalOpens([this, edit, answer](QWidget *modal) {
        auto *editor = qobject_cast<FormBlacklist *>(modal);
        QVERIFY(editor);
        m_shownText = editor->ui.textEditBlacklist->toPlainText();
        if (edit)
            edit(editor);
        switch (answer) {
        case Answer::Ok:
            editor->ui.buttonBox->button(QDialogButtonBox::Ok)->click();
            break;
        case Answer::Cancel:
            editor->ui.buttonBox->button(QDialogButtonBox::Cancel)->click();
            break;
        case Answer::Escape:
            QTest::keyClick(editor, Qt::Key_Escape);
            break;
        case Answer::CloseButton:
            editor->close();
            break;
        }
    });
    bool result = true;
    QMetaObject::invokeMethod(m_window.get(), "buttonEdit", Q_RETURN_ARG(bool, result));
    if (!TestSupport::modalSeen())
        qWarning("the editor did not open");
    return result;
}

void TestBlacklistEditor::form()
{
    FormBlacklist editor;
    QCOMPARE(editor.objectName(), QStringLiteral("FormBlacklist"));
    QCOMPARE(editor.windowTitle(), QStringLiteral("Blacklist Editor"));
    QCOMPARE(editor.ui.groupBox->title(), QStringLiteral("Default BlackList(Separated by Comma!)"));
    QCOMPARE(editor.ui.buttonBox->orientation(), Qt::Vertical);
    QCOMPARE(editor.ui.buttonBox->standardButtons(),
             QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(editor.ui.textEditBlacklist->parentWidget(), editor.ui.groupBox);
    QVERIFY(editor.width() >= 400 && editor.height() >= 300);
}

void TestBlacklistEditor::leavingWithoutOkChangesNothing_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Cancel") << int(Answer::Cancel);
    QTest::newRow("Escape") << int(Answer::Escape);
    QTest::newRow("close button") << int(Answer::CloseButton);
}

void TestBlacklistEditor::leavingWithoutOkChangesNothing()
{
    QFETCH(int, answer);
    const QByteArray original("gratis, billig\r\nwerbung,");
    writeList(original);
    const bool saved = runEditor(
        [](FormBlacklist *editor) { editor->ui.textEditBlacklist->setPlainText("changed"); },
        Answer(answer));
    QVERIFY(!saved);
    QCOMPARE(m_shownText, QStringLiteral("gratis, billig\nwerbung,"));
    QCOMPARE(readList(), original);
    QCOMPARE(m_messages->count(), 0);
}

void TestBlacklistEditor::okSavesThePlainText_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("typed"); // null: leave the box as it opened
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("unchanged, carriage returns dropped")
        << QByteArray("gratis,\r\nbillig") << QString() << QByteArray("gratis,\nbillig");
    QTest::newRow("umlauts") << QByteArray("\xc3\xa4rger") << QString()
                             << QByteArray("\xc3\xa4rger");
    QTest::newRow("rich text saved as its plain text")
        << QByteArray("<b>gratis</b>,werbung") << QString() << QByteArray("gratis,werbung");
    QTest::newRow("typed lines") << QByteArray("x") << QStringLiteral("a,\nb,\nc")
                                 << QByteArray("a,\nb,\nc");
    QTest::newRow("emptied") << QByteArray("x,y") << QStringLiteral("") << QByteArray();
}

void TestBlacklistEditor::okSavesThePlainText()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, typed);
    QFETCH(QByteArray, after);
    writeList(before);
    const bool saved = runEditor(
        [typed](FormBlacklist *editor) {
            if (!typed.isNull())
                editor->ui.textEditBlacklist->setPlainText(typed);
        },
        Answer::Ok);
    QVERIFY(saved);
    QCOMPARE(readList(), after);
    QCOMPARE(m_messages->count(), 0);
}

void TestBlacklistEditor::missingFileIsCreatedOnOk()
{
    QFile::remove(listPath());
    const bool saved =
        runEditor([](FormBlacklist *editor) { editor->ui.textEditBlacklist->setPlainText("spam"); },
                  Answer::Ok);
    QVERIFY(saved);
    QCOMPARE(readList(), QByteArray("spam"));
    // Reading the missing file warned once, before the editor opened empty.
    QCOMPARE(m_messages->count(), 1);
    QVERIFY(m_messages->last().text.startsWith(QStringLiteral("Cannot open file ") + listPath() +
                                               QStringLiteral(" for reading: ")));
    QVERIFY(m_shownText.isEmpty());
}

void TestBlacklistEditor::unusableFileWarnsBeforeAndAfter()
{
    // A folder in the file's place can be neither read nor written, whoever runs the test.
    QFile::remove(listPath());
    QVERIFY(QDir().mkpath(listPath()));
    const bool saved =
        runEditor([](FormBlacklist *editor) { editor->ui.textEditBlacklist->setPlainText("lost"); },
                  Answer::Ok);
    QVERIFY(!saved);
    QCOMPARE(m_messages->count(), 2);
    QVERIFY(m_messages->at(0).text.contains(QStringLiteral(" for reading: ")));
    QVERIFY(m_messages->at(1).text.startsWith(QStringLiteral("Cannot open file ") + listPath() +
                                              QStringLiteral(" for writing: ")));
    QVERIFY(m_shownText.isEmpty());
    QVERIFY(QFileInfo(listPath()).isDir());
}

QTEST_MAIN(TestBlacklistEditor)
#include "tst_blacklisteditor.moc"
