#include "io/datadirectory.h"
#include "io/iofunc.h"
#include "io/regularfile.h"
#include "io/replacementfile.h"
#include "support/datatable.h"
#include "support/messagerecorder.h"
#include "support/tempenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const auto ReadOnlyFolder = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
const auto OpenFolder = ReadOnlyFolder | QFileDevice::WriteOwner;
} // namespace

// Text files, and the folder that holds the program's own ones. The blacklist editor's tests
// cover the rest of the text files' failures, as the user meets them.
class TestIO : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_messages.clear(); }
    void readsTextInItsEncoding_data();
    void readsTextInItsEncoding();
    void writeIntoMissingFolderWarns();
    void writableFileInReadOnlyFolderIsWritten();
    void programFolderChoice_data();
    void programFolderChoice();
    void perUserFolderThatCannotBeMadeIsReported();
    void fileThatGrewPastTheBoundShowsIt();
    void commitOverAFolderFailsAndCleansUp();
    void failedOpenNamesTheTarget();

private:
    // A file relative to the test's folder, or absolute.
    QString makeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = QDir(m_root.path()).filePath(name);
        TestSupport::writeBytes(path, bytes);
        return path;
    }

    QTemporaryDir m_root;
    TestSupport::MessageRecorder m_messages;
    IOFunc m_io;
};

void TestIO::readsTextInItsEncoding_data()
{
    TestSupport::addRows(u"io/encodings.tsv"_s, {"bytes:bytes", "text"});
}

void TestIO::readsTextInItsEncoding()
{
    QFETCH(QByteArray, bytes);
    const QString read = m_io.readFile(makeFile(u"list.txt"_s, bytes), QIODevice::ReadOnly);
    QTEST(read, "text");
    QVERIFY(!read.isNull()); // only a failure gives a null string
    QCOMPARE(m_messages.count(), 0);
}

void TestIO::writeIntoMissingFolderWarns()
{
    const QString path = m_root.filePath(u"missing/list.txt"_s);
    QVERIFY(!m_io.writeFile(path, QString(), QIODevice::WriteOnly));
    QCOMPARE(m_messages.count(), 1);
    QVERIFY(m_messages.last().text.startsWith(u"Cannot open file "_s + path + u" for writing: "_s));
}

void TestIO::writableFileInReadOnlyFolderIsWritten()
{
    if (geteuid() == 0)
        QSKIP("root may write into any folder");
    const QString path = makeFile(u"locked/list.txt"_s, "old");
    QFile::setPermissions(m_root.filePath(u"locked"_s), ReadOnlyFolder);
    const bool written = m_io.writeFile(path, u"new"_s, QIODevice::WriteOnly);
    QFile::setPermissions(m_root.filePath(u"locked"_s), OpenFolder);
    QVERIFY(written);
    QCOMPARE(TestSupport::readBytes(path), QByteArray("new"));
}

void TestIO::programFolderChoice_data()
{
    TestSupport::addRows(u"io/programfolder.tsv"_s,
                         {"folder", "portable:bool", "told:bool", "list:bytes"});
}

void TestIO::programFolderChoice()
{
    QFETCH(QString, folder);
    QFETCH(bool, portable);
    QFETCH(bool, told);
    const bool locked = folder == QLatin1String("full") || folder == QLatin1String("readonly");
    if (locked && geteuid() == 0)
        QSKIP("root may write into any folder");
    if (!folder.startsWith(QLatin1Char('/'))) {
        folder = m_root.filePath(folder);
        QDir().mkpath(folder);
    }
    if (locked) {
        const QString own = makeFile(folder + u"/default_blacklist.txt"_s, "own");
        if (folder.endsWith(QLatin1String("readonly")))
            QFile::setPermissions(own, QFileDevice::ReadOwner);
        QFile::setPermissions(folder, ReadOnlyFolder);
    }
    const QString shipped = makeFile(u"share/shipped.txt"_s, "shipped");
    QFile::setPermissions(shipped, QFileDevice::ReadOwner);
    QString installedBin = folder.endsWith(QLatin1String("bin")) ? folder : u"/usr/bin"_s;
    if (folder.endsWith(QLatin1String("real/bin"))) {
        QVERIFY(QFile::link(m_root.filePath(u"real"_s), m_root.filePath(u"linked"_s)));
        installedBin = m_root.filePath(u"linked/bin"_s);
    }
    const QString perUser = m_root.filePath(u"user-"_s + QTest::currentDataTag());
    const QString perUserList = perUser + u"/default_blacklist.txt"_s;
    const auto choice = DataDirectory::resolve(folder + u"/"_s, installedBin, perUser, shipped);
    if (locked)
        QFile::setPermissions(folder, OpenFolder);

    QCOMPARE(choice.path, portable ? folder : perUser);
    QCOMPARE(!choice.warning.isEmpty(), told);
    QVERIFY2(!told || (choice.warning.contains(folder) && choice.warning.contains(perUser)),
             qPrintable(choice.warning));
    QTEST(TestSupport::readBytes(perUserList), "list");
    QVERIFY(QDir(folder).entryList({u"*probe*"_s}).isEmpty()); // none left behind
    if (!portable) {
        // The copy is the user's to edit, and later starts leave the edits alone.
        QVERIFY(QFileInfo(perUserList).permissions() & QFileDevice::WriteOwner);
        makeFile(perUserList, "mine");
        DataDirectory::resolve(folder, installedBin, perUser, shipped);
        QCOMPARE(TestSupport::readBytes(perUserList), QByteArray("mine"));
    }
}

void TestIO::perUserFolderThatCannotBeMadeIsReported()
{
    const QString bin = m_root.filePath(u"prefix6/bin"_s);
    QDir().mkpath(bin);
    const QString perUser = makeFile(u"user6"_s, "a file") + u"/sub"_s;
    const DataDirectory::Choice choice = DataDirectory::resolve(bin, bin, perUser, QString());
    QCOMPARE(choice.path, perUser);
    QVERIFY2(choice.warning.contains(perUser) && choice.warning.endsWith(": Not a directory"),
             qPrintable(choice.warning));
}

void TestIO::fileThatGrewPastTheBoundShowsIt()
{
    const QString path = m_root.filePath(u"grown.txt"_s);
    TestSupport::writeBytes(path, QByteArray(20, 'x'));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // One byte past the bound: enough for the caller to refuse it, never a silent cut.
    QCOMPARE(RegularFile::readBounded(file, 10).size(), 11);
    QVERIFY(file.seek(0));
    QCOMPARE(RegularFile::readBounded(file, 20), QByteArray(20, 'x'));
    file.close();
    // Past a bound that takes several pieces to reach, one byte past it still shows.
    const QString large = m_root.filePath(u"large.txt"_s);
    TestSupport::writeBytes(large, QByteArray(2 * 1024 * 1024 + 5, 'x'));
    QFile grown(large);
    QVERIFY(grown.open(QIODevice::ReadOnly));
    QCOMPARE(RegularFile::readBounded(grown, 2 * 1024 * 1024).size(), 2 * 1024 * 1024 + 1);
    // A descriptor opened and then refused is closed again.
    const qsizetype descriptors =
        QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System).size();
    QVERIFY(!RegularFile::openForReading(grown, path, 20).isEmpty());
    QCOMPARE(QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System).size(),
             descriptors);
    // A file of exactly the bound is taken, one byte more is not.
    QCOMPARE(RegularFile::refusal(path, 20), QString());
    QCOMPARE(RegularFile::refusal(path, 19), RegularFile::tooLarge(19));
    QCOMPARE(RegularFile::openForReading(file, path, 20), QString());
    file.close();
    QCOMPARE(RegularFile::openForReading(file, path, 19), RegularFile::tooLarge(19));
    QVERIFY(!file.isOpen());
}

void TestIO::commitOverAFolderFailsAndCleansUp()
{
    const QString target = m_root.filePath(u"tmp.txt"_s);
    ReplacementFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write("reply"), 5);
    // Between the open and the commit something else took the name.
    TestSupport::writeBytes(target + u"/inside.txt"_s, "kept");
    QVERIFY2(QFileInfo(target).isDir(), qPrintable(target));
    QVERIFY(!file.commit());
    QVERIFY(!file.errorString().isEmpty());
    QCOMPARE(file.fileName(), target);
    QCOMPARE(TestSupport::readBytes(target + u"/inside.txt"_s), QByteArray("kept"));
    QCOMPARE(QDir(m_root.path()).entryList({u"tmp.txt.*"_s}), QStringList());
}

void TestIO::failedOpenNamesTheTarget()
{
    if (geteuid() == 0)
        QSKIP("root may write into any folder");
    const QString folder = m_root.filePath(u"locked"_s);
    QVERIFY(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString target = folder + u"/tmp.txt"_s;
    ReplacementFile file(target);
    const bool opened = file.open(QIODevice::WriteOnly);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::WriteOwner);
    QVERIFY(!opened);
    // The message the user gets names the file they know, not the temporary one.
    QCOMPARE(file.fileName(), target);
    QVERIFY(!file.errorString().isEmpty());
}

QTEST_MAIN(TestIO)
#include "tst_io.moc"
