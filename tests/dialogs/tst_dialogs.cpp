#include "dialogs/formblacklist.h"
#include "mainwindow/mainwindow.h"
#include "support/datatable.h"
#include "support/messagerecorder.h"
#include "support/modal.h"
#include "support/tempenvironment.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void editorSavesOnlyOnOk_data();
    void editorSavesOnlyOnOk();
    void unreadableListIsLeftAlone_data();
    void unreadableListIsLeftAlone();
    void failedSaveKeepsTheEdits();
    void realBoxesHaveOneOkButtonOfTheirKind();

private:
    // Opens the editor from the main window, types (a null text leaves the box as it opened)
    // and leaves with OK or Cancel. Returns what the main window's slot returns.
    bool runEditor(const QString &typed, bool ok);
    bool buttonEdit();
    static void leave(QWidget *editor, bool ok);
    QString listPath() const { return m_env->dataDir() + u"/default_blacklist.txt"_s; }
    void writeList(const QByteArray &bytes) { TestSupport::writeBytes(listPath(), bytes); }
    QByteArray readList() const { return TestSupport::readBytes(listPath()); }

    std::unique_ptr<TestSupport::TempEnvironment> m_env;
    std::unique_ptr<TestSupport::MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
};

void TestDialogs::init()
{
    m_env = std::make_unique<TestSupport::TempEnvironment>();
    m_messages = std::make_unique<TestSupport::MessageRecorder>();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
}

void TestDialogs::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_env.reset();
}

void TestDialogs::leave(QWidget *editor, bool ok)
{
    auto *box = qobject_cast<FormBlacklist *>(editor)->ui.buttonBox;
    box->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
}

bool TestDialogs::buttonEdit()
{
    bool result = false;
    QMetaObject::invokeMethod(m_window.get(), "buttonEdit", Q_RETURN_ARG(bool, result));
    return result;
}

bool TestDialogs::runEditor(const QString &typed, bool ok)
{
    TestSupport::whenModalOpens([typed, ok](QWidget *modal) {
        if (!typed.isNull())
            qobject_cast<FormBlacklist *>(modal)->ui.textEditBlacklist->setPlainText(typed);
        leave(modal, ok);
    });
    return buttonEdit();
}

void TestDialogs::editorSavesOnlyOnOk_data()
{
    // before: the list's bytes ("" for none yet); typed: "" leaves the box as it opened.
    TestSupport::addRows(u"dialogs/edits.tsv"_s,
                         {"before:bytes", "typed", "ok:bool", "after:bytes"});
    // The largest list the editor still opens: one byte more is refused.
    QTest::newRow("largest editable list") << QByteArray("x,\n").repeated(699050).append("xx")
                                           << u"spam"_s << true << QByteArray("spam");
}

void TestDialogs::editorSavesOnlyOnOk()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFile::remove(listPath());
    if (!before.isNull())
        writeList(before);
    QCOMPARE(runEditor(typed, ok), ok);
    QVERIFY(TestSupport::modalSeen());
    QTEST(readList(), "after");
    // Only a missing list warns, before the editor opens empty.
    QCOMPARE(m_messages->count(), before.isNull() ? 1 : 0);
    if (before.isNull())
        QCOMPARE(m_messages->last().text, u"Cannot open file "_s + listPath() +
                                              QStringLiteral(" for reading: No such file or "
                                                             "directory"));
}

void TestDialogs::unreadableListIsLeftAlone_data()
{
    TestSupport::addRows(u"dialogs/unreadable.tsv"_s, {"cause", "message"});
}

void TestDialogs::unreadableListIsLeftAlone()
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
    const bool saved = runEditor(u"lost"_s, true);
    QFile::setPermissions(listPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(!saved);
    QVERIFY(!TestSupport::modalSeen());
    QCOMPARE(m_messages->count(), 1);
    QVERIFY2(m_messages->last().text.contains(listPath()) &&
                 m_messages->last().text.contains(message),
             qPrintable(m_messages->last().text));
    QCOMPARE(QFileInfo(listPath()).lastModified(), before.lastModified());
    QCOMPARE(QFileInfo(listPath()).size(), before.size());
}

void TestDialogs::failedSaveKeepsTheEdits()
{
    // A file-size limit makes the save fail part way, as a full disk would: the old list stays
    // whole, and the editor comes back with what the user typed, so the next OK saves it.
    writeList("old");
    const QString typed(100000, QLatin1Char('x'));
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QString reopenedWith;
    QByteArray listAfterFailure;
    TestSupport::whenModalOpens([&](QWidget *modal) {
        qobject_cast<FormBlacklist *>(modal)->ui.textEditBlacklist->setPlainText(typed);
        setrlimit(RLIMIT_FSIZE, &tight);
        TestSupport::whenModalOpens([&](QWidget *again) {
            setrlimit(RLIMIT_FSIZE, &saved);
            listAfterFailure = readList();
            reopenedWith =
                qobject_cast<FormBlacklist *>(again)->ui.textEditBlacklist->toPlainText();
            leave(again, true);
        });
        leave(modal, true);
    });
    const bool result = buttonEdit();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(listAfterFailure, QByteArray("old"));
    QVERIFY(reopenedWith == typed);
    QVERIFY(result);
    QCOMPARE(readList(), typed.toLatin1());
    QCOMPARE(m_messages->count(), 1);
    QVERIFY(m_messages->last().text.startsWith(u"Error writing to file "_s));
    // No temporary file is left behind.
    QCOMPARE(QDir(m_env->dataDir()).entryList(QDir::Files).size(), 1);
}

void TestDialogs::realBoxesHaveOneOkButtonOfTheirKind()
{
    // Every other test replaces the boxes through the hook; this one looks at the real ones.
    m_messages.reset();
    for (auto [show, icon] : {std::pair{&MessageBox::information, QMessageBox::Information},
                              {&MessageBox::warning, QMessageBox::Warning},
                              {&MessageBox::critical, QMessageBox::Critical}}) {
        QString shown;
        TestSupport::whenModalOpens([&shown](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            shown = u"%1 %2 %3"_s.arg(int(box->icon()))
                        .arg(box->standardButtons().toInt())
                        .arg(box->text());
            box->button(QMessageBox::Ok)->click();
        });
        show(nullptr, u"Title"_s, u"Text"_s);
        QCOMPARE(shown, u"%1 %2 Text"_s.arg(int(icon)).arg(int(QMessageBox::Ok)));
    }
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
