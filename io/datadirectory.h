#pragma once

#include <QCoreApplication>
#include <QString>

// Where the program keeps "tmp.txt" and "default_blacklist.txt": beside the executable for a
// portable copy, in the user's data folder for an installed one (its folder is not the user's
// to write, and as root it would be writable but still the wrong place).
class DataDirectory
{
    Q_DECLARE_TR_FUNCTIONS(DataDirectory)

public:
    struct Choice
    {
        QString path;
        // Why the folder is not the one the user would expect, or empty.
        QString warning;
    };

    static QString blacklistFileName() { return QStringLiteral("default_blacklist.txt"); }

    // The folder for this process, chosen once per call from the executable's location. A
    // choice that had to fall back is told to the user.
    static QString resolve();

    // The choice itself, apart from the process, so it can be checked for any layout.
    // installedBinDir is where an installed copy's executable lives; shippedBlacklist the
    // default list an installed copy starts from.
    static Choice resolve(const QString &executableDir, const QString &installedBinDir,
                          const QString &perUserDir, const QString &shippedBlacklist);

    // Tests keep their files in a temporary folder; an empty path restores the real choice.
    static void setOverride(const QString &dir);

private:
    static QString unwritableReason(const QString &dir);
    static void provideBlacklist(const QString &dir, const QString &source);
};
