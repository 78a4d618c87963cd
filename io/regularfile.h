#pragma once

#include <QCoreApplication>
#include <QString>

class QFile;

// The files the program reads may have been replaced by something else, by another program or
// plain bad luck: a pipe blocks its reader until a writer comes, a device like /dev/zero never
// ends, a folder has no text. Such files are opened only when they are regular files (links
// followed) of a bounded size; otherwise the reason, in words for the user.
class RegularFile
{
    Q_DECLARE_TR_FUNCTIONS(RegularFile)

public:
    // Why path is no regular file of at most maxBytes, or an empty string when it is. Opens
    // nothing.
    static QString refusal(const QString &path, qint64 maxBytes);

    // Opens path in file, read-only, when it is a regular file of at most maxBytes; returns the
    // reason otherwise, with file left closed. A file swapped for a pipe after the first look
    // is opened without waiting for a writer, and looked at again before it is used.
    static QString openForReading(QFile &file, const QString &path, qint64 maxBytes);

    // Reads at most maxBytes + 1 bytes of an open file, so that a file that grew past the bound
    // since it was looked at shows it by its size.
    static QByteArray readBounded(QFile &file, qint64 maxBytes);

    // "it is larger than 64 MB": the refusal for a file beyond maxBytes.
    static QString tooLarge(qint64 maxBytes);
};
