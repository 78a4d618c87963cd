#include "search/wordpipeline.h"

#include <QHash>
#include <QSet>
#include <QStringMatcher>

#include <algorithm>

namespace WordPipeline {

namespace {

// One left-to-right pass over non-overlapping occurrences; text joined by a removal is not
// looked at again. Words without an occurrence, by far the most, are neither copied nor touched.
// True when the word changed.
bool removeAll(QString &word, const QStringMatcher &needle)
{
    qsizetype found = needle.indexIn(word);
    if (found < 0)
        return false;
    const qsizetype needleSize = needle.pattern().size();
    const QStringView source(word);
    QString kept;
    kept.reserve(word.size() - needleSize);
    qsizetype from = 0;
    while (found >= 0) {
        kept.append(source.mid(from, found - from));
        from = found + needleSize;
        found = needle.indexIn(source, from);
    }
    kept.append(source.mid(from));
    word = kept;
    return true;
}

void removeFromAll(QStringList &words, const QString &needle)
{
    if (needle.isEmpty())
        return;
    const QStringMatcher matcher(needle, Qt::CaseSensitive);
    for (QString &word : words)
        removeAll(word, matcher);
}

// Every substring of the words, up to IndexedLength characters, counted by its hash: a part of
// a blacklist that occurs in no word (nearly all of a long list) costs one hash of its first
// IndexedLength characters. A false hit only costs a search.
class SubstringIndex
{
public:
    static constexpr qsizetype IndexedLength = 32;
    // Beyond this many substrings (words of a hostile page) the index would cost more than it
    // saves for an ordinary list; the parts are then looked for directly.
    static constexpr qsizetype Budget = 1000000;

    static qsizetype entries(const QStringList &words)
    {
        qsizetype total = 0;
        for (const QString &word : words) {
            const qsizetype n = word.size();
            const qsizetype k = qMin(n, IndexedLength);
            total += k * (n + 1) - k * (k + 1) / 2;
        }
        return total;
    }

    void add(QStringView word, int delta)
    {
        for (qsizetype start = 0; start < word.size(); ++start) {
            quint64 hash = Seed;
            const qsizetype end = qMin(word.size(), start + IndexedLength);
            for (qsizetype i = start; i < end; ++i) {
                hash = step(hash, word[i]);
                auto count = m_counts.find(hash);
                if (count == m_counts.end())
                    m_counts.insert(hash, delta);
                else if ((*count += delta) == 0)
                    m_counts.erase(count);
            }
        }
    }

    bool mayContain(QStringView part) const
    {
        quint64 hash = Seed;
        for (const QChar c : part.left(IndexedLength))
            hash = step(hash, c);
        return m_counts.contains(hash);
    }

private:
    static constexpr quint64 Seed = 14695981039346656037ULL;
    static quint64 step(quint64 hash, QChar c) { return (hash ^ c.unicode()) * 1099511628211ULL; }

    QHash<quint64, int> m_counts;
};

} // namespace

QStringList filterSearchTerm(const QStringList &words, const QString &keyword)
{
    QStringList filtered = words;
    removeFromAll(filtered, keyword + u's');
    removeFromAll(filtered, keyword);
    return filtered;
}

QStringList filterDouble(const QStringList &words)
{
    QSet<QString> seen;
    seen.reserve(words.size());
    QStringList unique;
    unique.reserve(words.size());
    for (const QString &word : words) {
        if (word.isEmpty())
            continue;
        const qsizetype before = seen.size();
        seen.insert(word);
        if (seen.size() != before)
            unique.append(word);
    }
    return unique;
}

QStringList filterBlacklist(const QStringList &words, QStringView list)
{
    QStringList filtered = words;
    qsizetype longest = 0;
    for (const QString &word : filtered)
        longest = qMax(longest, word.size());
    const bool indexed = SubstringIndex::entries(filtered) <= SubstringIndex::Budget;
    SubstringIndex index;
    if (indexed) {
        for (const QString &word : filtered)
            index.add(word, 1);
    }
    for (qsizetype from = 0; from <= list.size();) {
        qsizetype comma = list.indexOf(u',', from);
        if (comma < 0)
            comma = list.size();
        const QStringView part = list.mid(from, comma - from);
        from = comma + 1;
        // Words only get shorter, so a part longer than the longest one never occurs.
        if (part.isEmpty() || part.size() > longest || (indexed && !index.mayContain(part)))
            continue;
        const QStringMatcher matcher(part, Qt::CaseSensitive);
        for (QString &word : filtered) {
            const QString before = word;
            if (removeAll(word, matcher) && indexed) {
                index.add(before, -1);
                index.add(word, 1);
            }
        }
    }
    return filtered;
}

namespace {

// Search term, doubles, blacklists, as the switches say. The blacklists change entries but drop
// none, so cutting to cap before them gives the same list, without filtering what goes. The
// second doubles filter comes after the cap too, so an entry the blacklists empty still takes
// its place under the cap, as it always has.
QStringList filterPass(QStringList words, const Settings &settings, qsizetype cap)
{
    if (settings.filterSearchTerm)
        words = filterSearchTerm(words, settings.keyword);
    if (settings.filterDouble)
        words = filterDouble(words);
    if (cap >= 0 && words.size() > cap)
        words.resize(cap);
    if (settings.includeCommonList || !settings.userBlacklist.isEmpty()) {
        const QString common = settings.readCommonList ? settings.readCommonList() : QString();
        words = filterBlacklist(filterBlacklist(words, common), settings.userBlacklist);
        // Cutting blacklisted text out can make two words alike ("Gerät" out of "Gerätehaus"
        // and "gerätehaus" leaves "ehaus" twice); the user asked to see every word once.
        if (settings.filterDouble)
            words = filterDouble(words);
    }
    return words;
}

} // namespace

Result process(const QStringList &extracted, const QString &shownText, const Settings &settings)
{
    QStringList words = filterPass(extracted, settings, std::max(settings.quantity, 0));
    words += shownText.split(u'\n', Qt::KeepEmptyParts);
    words = filterPass(std::move(words), settings, -1);
    return {words, int(words.size())};
}

} // namespace WordPipeline
