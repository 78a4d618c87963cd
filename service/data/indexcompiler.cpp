#include "data/indexcompiler.h"

#include "data/annotationreader.h"
#include "data/datasources.h"
#include "data/definitionreader.h"
#include "data/dictionaryreader.h"
#include "data/gzip.h"
#include "data/indexwriter.h"
#include "data/lexiconbuilder.h"
#include "data/proverbreader.h"
#include "data/stopwordreader.h"
#include "data/thesaurusreader.h"
#include "data/wordlistreader.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace IndexCompiler {

namespace {

// Far more than any of the Debian data files holds once unpacked.
constexpr qsizetype maxUnpackedSize = qsizetype(512) << 20;

// A data file, mapped into memory rather than copied when the system allows it.
class DataFile
{
public:
    bool open(const QString &path, const QString &package, QString *error)
    {
        m_file.setFileName(path);
        if (!QFileInfo(path).isFile()) {
            *error = QStringLiteral("%1 is missing (the Debian package %2 provides it)")
                         .arg(path, package);
            return false;
        }
        if (!m_file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(path, m_file.errorString());
            return false;
        }
        const qint64 size = m_file.size();
        const uchar *mapped = size > 0 ? m_file.map(0, size) : nullptr;
        if (mapped) {
            m_bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), size);
        } else {
            m_bytes = m_file.readAll();
        }
        return true;
    }

    // Valid while the object lives. Modifying it makes a copy of its own.
    QByteArray &bytes() { return m_bytes; }

private:
    QFile m_file;
    QByteArray m_bytes;
};

QString indexPathFor(const QString &dataPath)
{
    const QString base =
        dataPath.endsWith(QLatin1String(".dat")) ? dataPath.left(dataPath.size() - 4) : dataPath;
    return base + QLatin1String(".idx");
}

// The first line names the encoding; the office suites' own files use UTF-8 or ISO 8859-1.
bool toUtf8(QByteArray *data, QString *error)
{
    const qsizetype end = data->indexOf('\n');
    const QByteArray encoding = data->left(end < 0 ? data->size() : end).trimmed().toUpper();
    if (encoding == "UTF-8") {
        return true;
    }
    if (encoding == "ISO8859-1" || encoding == "ISO-8859-1" || encoding == "LATIN1") {
        *data = QString::fromLatin1(*data).toUtf8();
        return true;
    }
    *error = QStringLiteral("unsupported encoding \"%1\"").arg(QString::fromLatin1(encoding));
    return false;
}

void ensureUtf8(QByteArray *data)
{
    if (!data->isValidUtf8()) {
        *data = QString::fromLatin1(*data).toUtf8();
    }
}

bool readThesaurus(const QString &path, LexiconBuilder *builder, QString *error)
{
    const QString mythes = QStringLiteral("mythes-de");
    DataFile index;
    DataFile thesaurus;
    // Everything needed is in the data file; the index only has to be there.
    if (!index.open(indexPathFor(path), mythes, error) || !thesaurus.open(path, mythes, error)) {
        return false;
    }
    QString problem;
    if (!toUtf8(&thesaurus.bytes(), &problem) ||
        !ThesaurusReader::read(thesaurus.bytes(), builder, &problem)) {
        *error = QStringLiteral("%1 is not a thesaurus data file: %2").arg(path, problem);
        return false;
    }
    return true;
}

// The text of a data file, unpacked and in UTF-8.
bool readText(const QString &path, const QString &package, DataFile *file, QString *error)
{
    if (!file->open(path, package, error)) {
        return false;
    }
    if (Gzip::isCompressed(file->bytes())) {
        QByteArray unpacked;
        QString problem;
        if (!Gzip::unpack(file->bytes(), maxUnpackedSize, &unpacked, &problem)) {
            *error = QStringLiteral("%1 %2").arg(path, problem);
            return false;
        }
        file->bytes() = std::move(unpacked);
    }
    ensureUtf8(&file->bytes());
    return true;
}

bool readOptional(const QString &path, const QString &package, LexiconBuilder *builder,
                  void (*read)(const QByteArray &, LexiconBuilder *), QString *error)
{
    if (path.isEmpty()) {
        return true;
    }
    DataFile file;
    if (!readText(path, package, &file, error)) {
        return false;
    }
    read(file.bytes(), builder);
    return true;
}

bool readDefinitions(const QStringList &paths, LexiconBuilder *builder, QString *error)
{
    DefinitionReader reader(builder);
    for (const QString &path : paths) {
        // "/usr/share/dictd/freedict-deu-fra.dict.dz" comes with dict-freedict-deu-fra.
        const QString package =
            QLatin1String("dict-") + QFileInfo(path).fileName().section(QLatin1Char('.'), 0, 0);
        DataFile file;
        if (!readText(path, package, &file, error)) {
            return false;
        }
        reader.read(file.bytes());
    }
    return true;
}

} // namespace

bool compile(const DataSources &sources, QByteArray *image, QString *error)
{
    LexiconTables tables;
    LexiconBuilder builder(&tables);
    builder.reserve(size_t(QFileInfo(sources.wordList).size() * 3),
                    size_t(QFileInfo(sources.wordList).size() / 8));
    if (!sources.stopWords.isEmpty()) {
        DataFile file;
        if (!file.open(sources.stopWords, QStringLiteral("liblingua-stopwords-perl"), error)) {
            return false;
        }
        if (!StopWordReader::read(file.bytes(), &builder)) {
            *error = QStringLiteral("%1 holds no German stop word list").arg(sources.stopWords);
            return false;
        }
    }
    if (!readThesaurus(sources.thesaurus, &builder, error) ||
        !readOptional(sources.wordList, QStringLiteral("wngerman"), &builder, &WordListReader::read,
                      error) ||
        !readOptional(sources.dictionary, QStringLiteral("trans-de-en"), &builder,
                      &DictionaryReader::read, error)) {
        return false;
    }
    for (const QString &path : sources.proverbs) {
        if (!readOptional(path, QStringLiteral("fortunes-de"), &builder, &ProverbReader::read,
                          error)) {
            return false;
        }
    }
    if (!readDefinitions(sources.definitions, &builder, error) ||
        !readOptional(sources.annotations, QStringLiteral("unicode-cldr-core"), &builder,
                      &AnnotationReader::read, error)) {
        return false;
    }
    builder.finish();
    *image = IndexWriter::image(tables);
    return true;
}

bool compileTo(const DataSources &sources, const QString &path, QString *error)
{
    // The new file is renamed over the old one, which would replace a device or a named pipe
    // with a file of the same name.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        *error = QStringLiteral("%1 exists and is no regular file; name a new file, or a regular "
                                "one to replace")
                     .arg(path);
        return false;
    }
    QByteArray image;
    if (!compile(sources, &image, error)) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    // Written in small pieces: the kernel caches each write as one block, and the service,
    // which maps the file, would keep a whole block resident for every word it reads. Written
    // on the descriptor, so that a full disk is reported as such rather than as an unknown
    // error from the buffered writer.
    constexpr qsizetype piece = 64 * 1024;
    for (qsizetype at = 0; at < image.size();) {
        const ssize_t n = ::write(file.handle(), image.constData() + at,
                                  size_t(std::min(piece, image.size() - at)));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            *error = QStringLiteral("cannot write %1: %2").arg(path, qt_error_string(errno));
            file.cancelWriting();
            return false;
        }
        at += n;
    }
    if (!file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool load(const DataSources &sources, Lexicon *lexicon, QString *error)
{
    QByteArray image;
    return compile(sources, &image, error) && lexicon->adopt(image, error);
}

bool load(const QString &thesaurusPath, const QString &wordListPath, Lexicon *lexicon,
          QString *error)
{
    DataSources sources;
    sources.thesaurus = thesaurusPath;
    sources.wordList = wordListPath;
    return load(sources, lexicon, error);
}

} // namespace IndexCompiler
