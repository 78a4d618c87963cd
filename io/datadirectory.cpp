#include "io/datadirectory.h"

#include "dialogs/messagebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>

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
    const Choice choice =
        resolve(QCoreApplication::applicationDirPath(), QStringLiteral(LEXIGROVE_INSTALL_BINDIR),
                perUser, QStringLiteral(LEXIGROVE_INSTALL_DATADIR "/") + blacklistFileName());
    if (!choice.warning.isEmpty())
        MessageBox::warning(nullptr, tr("Warning"), choice.warning);
    return choice.path;
}

DataDirectory::Choice DataDirectory::resolve(const QString &executableDir,
                                             const QString &installedBinDir,
                                             const QString &perUserDir,
                                             const QString &shippedBlacklist)
{
    Choice choice{QDir::cleanPath(perUserDir), QString()};
    const bool installed = canonical(executableDir) == canonical(installedBinDir);
    QString seed = shippedBlacklist;
    if (!installed) {
        const QString reason = unwritableReason(executableDir);
        if (reason.isEmpty())
            return Choice{QDir::cleanPath(executableDir), QString()};
        choice.warning = tr("The program's folder %1 cannot be written (%2), so "
                            "default_blacklist.txt and tmp.txt are kept in %3.")
                             .arg(QDir::cleanPath(executableDir), reason, choice.path);
        // A copy unpacked where the user may not write still brings its own list.
        const QString own = QDir(executableDir).filePath(blacklistFileName());
        if (QFileInfo(own).isFile())
            seed = own;
    }
    errno = 0;
    if (!QDir().mkpath(perUserDir)) {
        const QString why = errno ? qt_error_string(errno) : QString();
        choice.warning = tr("Cannot create the folder %1 for default_blacklist.txt and tmp.txt: %2")
                             .arg(choice.path, why);
        return choice;
    }
    provideBlacklist(perUserDir, seed);
    return choice;
}

void DataDirectory::setOverride(const QString &dir)
{
    overrideDir() = dir;
}

QString DataDirectory::unwritableReason(const QString &dir)
{
    // Asking for permissions is not enough on every file system; a real file is proof.
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral("lexigrove-probe-XXXXXX")));
    // Writable files of its own are not enough: each search's reply is a new file in the
    // folder, put in the place of the last one.
    if (probe.open())
        return QString();
    return probe.errorString();
}

void DataDirectory::provideBlacklist(const QString &dir, const QString &source)
{
    const QString target = QDir(dir).filePath(blacklistFileName());
    if (QFileInfo::exists(target) || !QFileInfo::exists(source))
        return;
    if (QFile::copy(source, target))
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
}
