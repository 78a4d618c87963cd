#include "lexicon.h"

#include "lexiconbuilder.h"
#include "thesaurusreader.h"
#include "wordlistreader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

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

} // namespace

bool Lexicon::load(const QString &thesaurusPath, const QString &wordListPath, QString *error)
{
    const QString mythes = QStringLiteral("mythes-de");
    DataFile index;
    DataFile thesaurus;
    DataFile wordList;
    // Everything needed is in the data file; the index only has to be there.
    if (!index.open(indexPathFor(thesaurusPath), mythes, error) ||
        !thesaurus.open(thesaurusPath, mythes, error) ||
        !wordList.open(wordListPath, QStringLiteral("wngerman"), error)) {
        return false;
    }
    if (!wordList.bytes().isValidUtf8()) {
        wordList.bytes() = QString::fromLatin1(wordList.bytes()).toUtf8();
    }

    *this = Lexicon();
    const qsizetype thesaurusSize = thesaurus.bytes().size();
    const qsizetype wordListSize = wordList.bytes().size();
    LexiconBuilder builder(this, size_t(thesaurusSize / 4 + wordListSize),
                           size_t(thesaurusSize / 64 + wordListSize / 10));
    QString problem;
    if (!toUtf8(&thesaurus.bytes(), &problem) ||
        !ThesaurusReader::read(thesaurus.bytes(), &builder, &problem)) {
        *error = QStringLiteral("%1 is not a thesaurus data file: %2").arg(thesaurusPath, problem);
        return false;
    }
    WordListReader::read(wordList.bytes(), &builder);
    builder.finish();
    return true;
}

Lexicon::Ids Lexicon::meaningsOf(uint32_t key) const
{
    if (key == npos || size_t(key) + 1 >= m_postingBegin.size()) {
        return {};
    }
    const uint32_t *base = m_postings.data();
    return {base + m_postingBegin[key], base + m_postingBegin[key + 1]};
}

Lexicon::Ids Lexicon::membersOf(uint32_t meaning) const
{
    const uint32_t *base = m_members.data();
    return {base + m_meaningBegin[meaning], base + m_meaningBegin[meaning + 1]};
}

Lexicon::Ids Lexicon::wordsStartingWith(std::string_view keyPrefix) const
{
    const auto keyText = [this](uint32_t word) { return m_keys.at(m_wordKey[word]); };
    const auto first = std::lower_bound(
        m_byPrefix.begin(), m_byPrefix.end(), keyPrefix,
        [&](uint32_t word, std::string_view prefix) { return keyText(word) < prefix; });
    const auto last = std::partition_point(first, m_byPrefix.end(), [&](uint32_t word) {
        return keyText(word).substr(0, keyPrefix.size()) == keyPrefix;
    });
    return {m_byPrefix.data() + (first - m_byPrefix.begin()),
            m_byPrefix.data() + (last - m_byPrefix.begin())};
}

Lexicon::Ids Lexicon::wordsEndingWith(std::string_view keySuffix) const
{
    const auto keyText = [this](uint32_t word) { return m_keys.at(m_wordKey[word]); };
    const auto first =
        std::lower_bound(m_bySuffix.begin(), m_bySuffix.end(), keySuffix,
                         [&](uint32_t word, std::string_view suffix) {
                             const std::string_view k = keyText(word);
                             return std::lexicographical_compare(k.rbegin(), k.rend(),
                                                                 suffix.rbegin(), suffix.rend());
                         });
    const auto last = std::partition_point(first, m_bySuffix.end(), [&](uint32_t word) {
        const std::string_view k = keyText(word);
        return k.size() >= keySuffix.size() && k.substr(k.size() - keySuffix.size()) == keySuffix;
    });
    return {m_bySuffix.data() + (first - m_bySuffix.begin()),
            m_bySuffix.data() + (last - m_bySuffix.begin())};
}
