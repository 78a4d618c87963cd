#include "io/regularfile.h"

#include <QFile>
#include <QLocale>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString kindRefusal(mode_t mode)
{
    if (S_ISDIR(mode))
        return RegularFile::tr("it is a folder, not a file");
    if (S_ISFIFO(mode))
        return RegularFile::tr("it is a pipe (FIFO), not a regular file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return RegularFile::tr("it is a device, not a regular file");
    if (S_ISSOCK(mode))
        return RegularFile::tr("it is a socket, not a regular file");
    return RegularFile::tr("it is not a regular file");
}

QString statusRefusal(const struct stat &status, qint64 maxBytes)
{
    if (!S_ISREG(status.st_mode))
        return kindRefusal(status.st_mode);
    if (status.st_size > maxBytes)
        return RegularFile::tooLarge(maxBytes);
    return QString();
}

} // namespace

QString RegularFile::refusal(const QString &path, qint64 maxBytes)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return qt_error_string(errno);
    return statusRefusal(status, maxBytes);
}

QString RegularFile::openForReading(QFile &file, const QString &path, qint64 maxBytes)
{
    if (const QString why = refusal(path, maxBytes); !why.isEmpty())
        return why;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    struct stat status = {};
    QString why = ::fstat(fd, &status) == 0 ? statusRefusal(status, maxBytes) : qt_error_string();
    if (why.isEmpty() && !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        why = file.errorString();
    if (!why.isEmpty())
        ::close(fd);
    return why;
}

QByteArray RegularFile::readBounded(QFile &file, qint64 maxBytes)
{
    constexpr qint64 Piece = 1024 * 1024;
    QByteArray bytes;
    while (bytes.size() <= maxBytes) {
        const QByteArray piece = file.read(qMin(Piece, maxBytes + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    return bytes;
}

QString RegularFile::tooLarge(qint64 maxBytes)
{
    return tr("it is larger than %1").arg(QLocale().formattedDataSize(maxBytes));
}
