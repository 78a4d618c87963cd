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

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

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
    void leavingWithoutOkChangesNothing_data();
    void leavingWithoutOkChangesNothing();
    void okSavesThePlainText_data();
    void okSavesThePlainText();
    void missingFileIsCreatedOnOk();
    void unreadableListIsLeftAlone_data();
    void unreadableListIsLeftAlone();
    void failedSaveKeepsTheEdits();

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
    return result;
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
    QTest::newRow("Latin-1, unchanged") << QByteArray("Viagra,\xc4rger,Stra\xdf"
                                                      "e")
                                        << QString()
                                        << QByteArray("Viagra,\xc4rger,Stra\xdf"
                                                      "e");
    QTest::newRow("umlauts typed")
        << QByteArray("x") << QString::fromUtf8("\xc3\xa4rger") << QByteArray("\xc3\xa4rger");
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

void TestBlacklistEditor::unreadableListIsLeftAlone_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("message");
    QTest::newRow("folder in its place") << "folder"
                                         << " for reading: ";
    QTest::newRow("I/O error") << "/proc/self/mem"
                               << "Error reading file ";
    QTest::newRow("too large") << "large"
                               << "is too large to edit";
    QTest::newRow("no permission") << "locked"
                                   << " for reading: Permission denied";
}

void TestBlacklistEditor::unreadableListIsLeftAlone()
{
    QFETCH(QString, cause);
    QFETCH(QString, message);
    QFile::remove(listPath());
    if (cause == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(listPath()));
    } else if (cause.startsWith(QLatin1Char('/'))) {
        QVERIFY(QFile::link(cause, listPath()));
    } else if (cause == QLatin1String("large")) {
        writeList(QByteArray(3 * 1024 * 1024, 'x'));
    } else {
        if (geteuid() == 0)
            QSKIP("root reads files whatever their permissions");
        writeList("gratis");
        QFile::setPermissions(listPath(), QFileDevice::WriteOwner);
    }
    const QFileInfo before(listPath());
    const bool saved = runEditor({}, Answer::Ok);
    QFile::setPermissions(listPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(!saved);
    QVERIFY(!TestSupport::modalSeen());
    QCOMPARE(m_messages->count(), 1);
    QVERIFY2(m_messages->last().text.contains(listPath()) &&
                 m_messages->last().text.contains(message),
             qPrintable(m_messages->last().text));
    const QFileInfo after(listPath());
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.lastModified(), before.lastModified());
}

void TestBlacklistEditor::failedSaveKeepsTheEdits()
{
    // A file-size limit makes the save fail, as a full disk would; the editor comes back with
    // what the user typed, and the next OK saves it.
    writeList("old");
    const QString typed(100000, QLatin1Char('x'));
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QString reopenedWith;
    auto clickOk = [](FormBlacklist *editor) {
        editor->ui.buttonBox->button(QDialogButtonBox::Ok)->click();
    };
    TestSupport::whenModalOpens([&](QWidget *modal) {
        auto *editor = qobject_cast<FormBlacklist *>(modal);
        editor->ui.textEditBlacklist->setPlainText(typed);
        setrlimit(RLIMIT_FSIZE, &tight);
        TestSupport::whenModalOpens([&](QWidget *again) {
            setrlimit(RLIMIT_FSIZE, &saved);
            auto *reopened = qobject_cast<FormBlacklist *>(again);
            reopenedWith = reopened->ui.textEditBlacklist->toPlainText();
            clickOk(reopened);
        });
        clickOk(editor);
    });
    bool result = false;
    QMetaObject::invokeMethod(m_window.get(), "buttonEdit", Q_RETURN_ARG(bool, result));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(reopenedWith == typed);
    QVERIFY(result);
    QCOMPARE(readList(), typed.toLatin1());
    QCOMPARE(m_messages->count(), 1);
    QVERIFY(m_messages->last().text.startsWith(QStringLiteral("Error writing to file ")));
}

QTEST_MAIN(TestBlacklistEditor)
#include "tst_blacklisteditor.moc"
