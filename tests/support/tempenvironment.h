#pragma once

#include <QString>
#include <QTemporaryDir>

namespace TestSupport {

// Keeps a test's settings and files out of the user's real ones: settings, standard paths and
// the program's data directory all point into one temporary directory for the object's life.
// Create it before the first QSettings object of the test.
class TempEnvironment
{
public:
    TempEnvironment();
    ~TempEnvironment();
    TempEnvironment(const TempEnvironment &) = delete;
    TempEnvironment &operator=(const TempEnvironment &) = delete;

    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Where the program keeps tmp.txt and default_blacklist.txt during the test.
    QString dataDir() const { return m_dir.filePath(QStringLiteral("data")); }

private:
    QTemporaryDir m_dir;
};

// A whole file's bytes, or "<missing>" when it cannot be read.
QByteArray readBytes(const QString &path);
// Makes the file's folder if need be and writes the bytes as the whole file.
void writeBytes(const QString &path, const QByteArray &bytes);
// Puts what is no regular file at the path: "fifo" a named pipe, "zero" a link to /dev/zero,
// "folder" a folder. False when it could not be made.
bool makeNonFile(const QString &path, const QString &kind);

} // namespace TestSupport
