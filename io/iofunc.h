#pragma once

#include <QIODevice>
#include <QObject>
#include <QString>

class QFileDevice;

// Reads and writes whole text files, and tells the user itself when that fails: callers only
// see a null string or false.
class IOFunc : public QObject
{
    Q_OBJECT

public:
    // Nothing the program reads is larger: a reply body is cut off there, and a common list of
    // this size is far beyond any the editor opens.
    static constexpr qint64 MaxReadBytes = 64 * 1024 * 1024;

    explicit IOFunc(QObject *parent = nullptr);

    // The whole file as text (UTF-8, or Latin-1 where the bytes are not UTF-8; a byte-order
    // mark recognised; line ends untouched), or a null string after a warning when it cannot be
    // opened or read, or is no regular file of at most MaxReadBytes (a pipe, a device, a
    // folder: the warning says which).
    QString readFile(const QString &fileName, QIODevice::OpenMode mode);

    // Replaces the file with text. The old content stays whole when writing fails, because the
    // text goes to a temporary file that is renamed over the old one only when complete.
    bool writeFile(const QString &fileName, const QString &text, QIODevice::OpenMode mode);

    // Warns about a file that another part of the program failed to create.
    void reportCannotWrite(QFileDevice &file);

private:
    void fileError(QFileDevice &file, const QString &message);
    void showWarning(QFileDevice &file, const QString &message);
    void warn(const QString &message, const QString &fileName, const QString &why);
};
