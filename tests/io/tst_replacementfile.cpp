#include "io/regularfile.h"
#include "io/replacementfile.h"
#include "support/tempenvironment.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

// Files written beside their target and put in its place, and reads that keep to a bound.
class TestReplacementFile : public QObject
{
    Q_OBJECT

private slots:
    void fileThatGrewPastTheBoundShowsIt();
    void commitOverAFolderFailsAndCleansUp();
    void failedOpenNamesTheTarget();

private:
    QString leftovers() const { return QDir(m_root.path()).entryList({u"tmp.txt.*"_s}).join(u' '); }

    QTemporaryDir m_root;
};

void TestReplacementFile::fileThatGrewPastTheBoundShowsIt()
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
    // A file of exactly the bound is taken, one byte more is not.
    QCOMPARE(RegularFile::refusal(path, 20), QString());
    QCOMPARE(RegularFile::refusal(path, 19), RegularFile::tooLarge(19));
    QCOMPARE(RegularFile::openForReading(file, path, 20), QString());
    file.close();
    QCOMPARE(RegularFile::openForReading(file, path, 19), RegularFile::tooLarge(19));
    QVERIFY(!file.isOpen());
}

void TestReplacementFile::commitOverAFolderFailsAndCleansUp()
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
    QCOMPARE(leftovers(), QString());
}

void TestReplacementFile::failedOpenNamesTheTarget()
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

QTEST_MAIN(TestReplacementFile)
#include "tst_replacementfile.moc"
