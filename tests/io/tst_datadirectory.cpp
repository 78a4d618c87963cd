#include "io/datadirectory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {
const auto ReadOnlyFolder = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
const auto OpenFolder = ReadOnlyFolder | QFileDevice::WriteOwner;
} // namespace

class TestDataDirectory : public QObject
{
    Q_OBJECT

private slots:
    void portableCopyKeepsFilesBesideTheProgram();
    void installedCopySeedsThePerUserListOnce();
    void unwritableProgramFolderFallsBack_data();
    void unwritableProgramFolderFallsBack();
    void folderThatTakesNoNewFilesButWritesItsOwnIsPortable();
    void perUserFolderThatCannotBeMadeIsReported();

private:
    QString makeFile(const QString &path, const QByteArray &bytes);
    static QByteArray bytesOf(const QString &path);
    QTemporaryDir m_root;
};

QString TestDataDirectory::makeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray TestDataDirectory::bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestDataDirectory::portableCopyKeepsFilesBesideTheProgram()
{
    const QString exeDir = m_root.filePath(QStringLiteral("portable"));
    QDir().mkpath(exeDir);
    const QString perUser = m_root.filePath(QStringLiteral("user1/lexigrove"));
    const DataDirectory::Choice choice = DataDirectory::resolve(
        exeDir + QStringLiteral("/"), QStringLiteral("/usr/bin"), perUser, QString());
    QCOMPARE(choice.path, exeDir);
    QVERIFY(choice.warning.isEmpty());
    QVERIFY(!QFileInfo::exists(perUser));
    // The write probe leaves nothing behind.
    QVERIFY(QDir(exeDir).isEmpty());
}

void TestDataDirectory::installedCopySeedsThePerUserListOnce()
{
    // Even where the program's folder is writable (as for root), an installed copy keeps its
    // files per user.
    const QString bin = m_root.filePath(QStringLiteral("prefix/bin"));
    QDir().mkpath(bin);
    const QString shipped =
        makeFile(m_root.filePath(QStringLiteral("prefix/share/default_blacklist.txt")), "gratis");
    QFile::setPermissions(shipped, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const QString perUser = m_root.filePath(QStringLiteral("user2/lexigrove"));
    const QString copy = perUser + QStringLiteral("/default_blacklist.txt");

    const DataDirectory::Choice choice = DataDirectory::resolve(bin, bin, perUser, shipped);
    QCOMPARE(choice.path, perUser);
    QVERIFY(choice.warning.isEmpty());
    QCOMPARE(bytesOf(copy), QByteArray("gratis"));
    QVERIFY(QFileInfo(copy).permissions() & QFileDevice::WriteOwner);

    // The user's own edits survive later starts.
    makeFile(copy, "mine");
    DataDirectory::resolve(bin, bin, perUser, shipped);
    QCOMPARE(bytesOf(copy), QByteArray("mine"));
}

void TestDataDirectory::unwritableProgramFolderFallsBack_data()
{
    QTest::addColumn<bool>("unpackedCopy");
    // No one may make files in /proc, not even root.
    QTest::newRow("system folder") << false;
    QTest::newRow("read-only unpacked copy") << true;
}

void TestDataDirectory::unwritableProgramFolderFallsBack()
{
    QFETCH(bool, unpackedCopy);
    QString exeDir = QStringLiteral("/proc");
    if (unpackedCopy) {
        if (geteuid() == 0)
            QSKIP("root may write into any folder");
        exeDir = m_root.filePath(QStringLiteral("readonly"));
        const QString own = makeFile(exeDir + QStringLiteral("/default_blacklist.txt"), "beside");
        QFile::setPermissions(own, QFileDevice::ReadOwner);
        QFile::setPermissions(exeDir, ReadOnlyFolder);
    }
    const QString shipped =
        makeFile(m_root.filePath(QStringLiteral("share/default_blacklist.txt")), "shipped");
    const QString perUser = m_root.filePath(QTest::currentDataTag());
    const DataDirectory::Choice choice =
        DataDirectory::resolve(exeDir, QStringLiteral("/usr/bin"), perUser, shipped);
    if (unpackedCopy)
        QFile::setPermissions(exeDir, OpenFolder);

    QCOMPARE(choice.path, perUser);
    QVERIFY2(choice.warning.contains(exeDir) && choice.warning.contains(perUser),
             qPrintable(choice.warning));
    // A copy that is not installed brings its own list.
    QCOMPARE(bytesOf(perUser + QStringLiteral("/default_blacklist.txt")),
             QByteArray(unpackedCopy ? "beside" : "shipped"));
}

void TestDataDirectory::folderThatTakesNoNewFilesButWritesItsOwnIsPortable()
{
    // As on a file system out of inodes: the probe file cannot be made, the list can be written.
    if (geteuid() == 0)
        QSKIP("root may write into any folder");
    const QString exeDir = m_root.filePath(QStringLiteral("full"));
    makeFile(exeDir + QStringLiteral("/default_blacklist.txt"), "mine");
    QFile::setPermissions(exeDir, ReadOnlyFolder);
    const DataDirectory::Choice choice = DataDirectory::resolve(
        exeDir, QStringLiteral("/usr/bin"), m_root.filePath(QStringLiteral("user5")), QString());
    QFile::setPermissions(exeDir, OpenFolder);
    QCOMPARE(choice.path, exeDir);
    QVERIFY(choice.warning.isEmpty());
    QCOMPARE(bytesOf(exeDir + QStringLiteral("/default_blacklist.txt")), QByteArray("mine"));
}

void TestDataDirectory::perUserFolderThatCannotBeMadeIsReported()
{
    const QString bin = m_root.filePath(QStringLiteral("prefix6/bin"));
    QDir().mkpath(bin);
    const QString blocker = makeFile(m_root.filePath(QStringLiteral("user6")), "a file");
    const QString perUser = blocker + QStringLiteral("/lexigrove");
    const DataDirectory::Choice choice = DataDirectory::resolve(bin, bin, perUser, QString());
    QCOMPARE(choice.path, perUser);
    QVERIFY2(choice.warning.contains(perUser) && choice.warning.endsWith(": Not a directory"),
             qPrintable(choice.warning));
}

QTEST_MAIN(TestDataDirectory)
#include "tst_datadirectory.moc"
