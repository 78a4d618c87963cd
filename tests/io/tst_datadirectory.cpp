#include "io/datadirectory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestDataDirectory : public QObject
{
    Q_OBJECT

private slots:
    void portableCopyKeepsFilesBesideTheProgram();
    void installedCopyUsesThePerUserFolder();
    void shippedListIsCopiedOnceAndNeverOverwritten();
    void unwritableProgramFolderFallsBack();

private:
    QString makeFile(const QString &path, const QByteArray &bytes);
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

void TestDataDirectory::portableCopyKeepsFilesBesideTheProgram()
{
    const QString exeDir = m_root.filePath(QStringLiteral("portable"));
    QDir().mkpath(exeDir);
    const QString perUser = m_root.filePath(QStringLiteral("user1/lexigrove"));
    QCOMPARE(DataDirectory::resolve(exeDir + QStringLiteral("/"), QStringLiteral("/usr/bin"),
                                    perUser, QString()),
             exeDir);
    QVERIFY(!QFileInfo::exists(perUser));
    // The write probe leaves nothing behind.
    QVERIFY(QDir(exeDir).isEmpty());
}

void TestDataDirectory::installedCopyUsesThePerUserFolder()
{
    const QString bin = m_root.filePath(QStringLiteral("prefix/bin"));
    QDir().mkpath(bin);
    const QString perUser = m_root.filePath(QStringLiteral("user2/share/lexigrove"));
    // Even where the program's folder is writable (as for root), an installed copy keeps its
    // files per user.
    QCOMPARE(DataDirectory::resolve(bin, bin, perUser, QString()), perUser);
    QVERIFY(QFileInfo(perUser).isDir());
}

void TestDataDirectory::shippedListIsCopiedOnceAndNeverOverwritten()
{
    const QString bin = m_root.filePath(QStringLiteral("prefix3/bin"));
    QDir().mkpath(bin);
    const QString shipped =
        makeFile(m_root.filePath(QStringLiteral("prefix3/share/default_blacklist.txt")), "gratis");
    QFile::setPermissions(shipped, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const QString perUser = m_root.filePath(QStringLiteral("user3/lexigrove"));
    const QString copy = perUser + QStringLiteral("/default_blacklist.txt");

    QCOMPARE(DataDirectory::resolve(bin, bin, perUser, shipped), perUser);
    QFile first(copy);
    QVERIFY(first.open(QIODevice::ReadOnly));
    QCOMPARE(first.readAll(), QByteArray("gratis"));
    first.close();
    QVERIFY(QFileInfo(copy).permissions() & QFileDevice::WriteOwner);

    // The user's own edits survive later starts.
    makeFile(copy, "mine");
    DataDirectory::resolve(bin, bin, perUser, shipped);
    QFile second(copy);
    QVERIFY(second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), QByteArray("mine"));
}

void TestDataDirectory::unwritableProgramFolderFallsBack()
{
    const QString exeDir = m_root.filePath(QStringLiteral("readonly"));
    QDir().mkpath(exeDir);
    QFile::setPermissions(exeDir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString perUser = m_root.filePath(QStringLiteral("user4/lexigrove"));
    const QString chosen =
        DataDirectory::resolve(exeDir, QStringLiteral("/usr/bin"), perUser, QString());
    QFile::setPermissions(exeDir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (QDir::homePath() == QLatin1String("/root") && chosen == exeDir)
        QSKIP("root may write into any folder");
    QCOMPARE(chosen, perUser);
}

QTEST_MAIN(TestDataDirectory)
#include "tst_datadirectory.moc"
