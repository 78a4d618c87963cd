#include "io/datadirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
QString &overrideDir()
{
    static QString dir;
    return dir;
}

QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(path) : resolved;
}
} // namespace

QString DataDirectory::resolve()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                            QStringLiteral("/lexigrove");
    return resolve(QCoreApplication::applicationDirPath(), QStringLiteral(LEXIGROVE_INSTALL_BINDIR),
                   perUser, QStringLiteral(LEXIGROVE_INSTALL_DATADIR "/") + blacklistFileName());
}

QString DataDirectory::resolve(const QString &executableDir, const QString &installedBinDir,
                               const QString &perUserDir, const QString &shippedBlacklist)
{
    if (isPortable(executableDir, installedBinDir))
        return QDir::cleanPath(executableDir);
    QDir().mkpath(perUserDir);
    provideBlacklist(perUserDir, shippedBlacklist);
    return QDir::cleanPath(perUserDir);
}

void DataDirectory::setOverride(const QString &dir)
{
    overrideDir() = dir;
}

bool DataDirectory::isPortable(const QString &executableDir, const QString &installedBinDir)
{
    if (canonical(executableDir) == canonical(installedBinDir))
        return false;
    // Asking for permissions is not enough on every file system; a real file is proof.
    QTemporaryFile probe(QDir(executableDir).filePath(QStringLiteral("lexigrove-probe-XXXXXX")));
    return probe.open();
}

void DataDirectory::provideBlacklist(const QString &dir, const QString &shippedBlacklist)
{
    const QString target = QDir(dir).filePath(blacklistFileName());
    if (QFileInfo::exists(target) || !QFileInfo::exists(shippedBlacklist))
        return;
    if (QFile::copy(shippedBlacklist, target))
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
}
