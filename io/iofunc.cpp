#include "io/iofunc.h"

#include "dialogs/messagebox.h"
#include "io/regularfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextStream>

namespace {
// A byte-order mark names the encoding; otherwise UTF-8 when the bytes are valid UTF-8, else
// Latin-1, as lists written by older editors are: every byte is then a character of its own,
// so nothing turns into replacement characters that a save would write back.
QString decode(const QByteArray &bytes)
{
    if (const auto marked = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*marked);
        return decoder.decode(bytes);
    }
    QString text = bytes.isValidUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    // An empty file is text too; only a failure gives a null string.
    return text.isNull() ? QString(QLatin1String("")) : text;
}
} // namespace

IOFunc::IOFunc(QObject *parent) : QObject(parent) {}

QString IOFunc::readFile(const QString &fileName, QIODevice::OpenMode mode)
{
    Q_UNUSED(mode); // reading is all a caller may ask for, and never waits for a writer
    const QString path = QDir::cleanPath(fileName);
    QFile file;
    if (const QString why = RegularFile::openForReading(file, path, MaxReadBytes); !why.isEmpty()) {
        warn(tr("Cannot open file %1 for reading"), path, why);
        return QString();
    }
    const QByteArray bytes = RegularFile::readBounded(file, MaxReadBytes);
    if (file.error() != QFileDevice::NoError) {
        warn(tr("Error reading file %1"), path, file.errorString());
        return QString();
    }
    if (bytes.size() > MaxReadBytes) {
        warn(tr("Error reading file %1"), path, RegularFile::tooLarge(MaxReadBytes));
        return QString();
    }
    return decode(bytes);
}

bool IOFunc::writeFile(const QString &fileName, const QString &text, QIODevice::OpenMode mode)
{
    QSaveFile file(QDir::cleanPath(fileName));
    // Where no temporary file can be made beside the target (a writable file in a read-only
    // folder), writing in place is still better than refusing the user's text.
    file.setDirectWriteFallback(true);
    if (!file.open(mode)) {
        fileError(file, tr("Cannot open file %1 for writing"));
        return false;
    }
    QTextStream stream(&file);
    stream << text;
    stream.flush();
    if (file.error() != QFileDevice::NoError || stream.status() != QTextStream::Ok ||
        !file.commit()) {
        fileError(file, tr("Error writing to file %1"));
        return false;
    }
    return true;
}

void IOFunc::reportCannotWrite(QFileDevice &file)
{
    fileError(file, tr("Cannot open file %1 for writing"));
}

void IOFunc::fileError(QFileDevice &file, const QString &message)
{
    showWarning(file, message + QStringLiteral(": ") + file.errorString());
}

void IOFunc::showWarning(QFileDevice &file, const QString &message)
{
    MessageBox::warning(nullptr, tr("Warning"), message.arg(file.fileName()));
}

void IOFunc::warn(const QString &message, const QString &fileName, const QString &why)
{
    MessageBox::warning(nullptr, tr("Warning"), message.arg(fileName) + QStringLiteral(": ") + why);
}
