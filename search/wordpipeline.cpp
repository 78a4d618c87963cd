#include "search/wordpipeline.h"

#include <QSet>
#include <QStringMatcher>

#include <algorithm>

namespace WordPipeline {

namespace {

// One left-to-right pass over non-overlapping occurrences; text joined by a removal is not
// looked at again. Words without an occurrence, by far the most, are neither copied nor touched.
void removeAll(QString &word, const QStringMatcher &needle)
{
    qsizetype found = needle.indexIn(word);
    if (found < 0)
        return;
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
}

void removeFromAll(QStringList &words, const QString &needle)
{
    if (needle.isEmpty())
        return;
    const QStringMatcher matcher(needle, Qt::CaseSensitive);
    for (QString &word : words)
        removeAll(word, matcher);
}

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

QStringList filterBlacklist(const QStringList &words, const QStringList &parts)
{
    QStringList filtered = words;
    for (const QString &part : parts)
        removeFromAll(filtered, part);
    return filtered;
}

QStringList splitList(const QString &text)
{
    return text.split(u',', Qt::KeepEmptyParts);
}

QStringList runFilters(QStringList words, const Settings &settings)
{
    if (settings.filterSearchTerm)
        words = filterSearchTerm(words, settings.keyword);
    if (settings.filterDouble)
        words = filterDouble(words);
    if (settings.includeCommonList || !settings.userBlacklist.isEmpty()) {
        const QString common = settings.readCommonList ? settings.readCommonList() : QString();
        words = filterBlacklist(words, splitList(common) + splitList(settings.userBlacklist));
    }
    return words;
}

Result process(const QStringList &extracted, const QString &shownText, const Settings &settings)
{
    QStringList words = runFilters(extracted, settings);
    const qsizetype cap = std::max(settings.quantity, 0);
    if (words.size() > cap)
        words.resize(cap);
    words += shownText.split(u'\n', Qt::KeepEmptyParts);
    words = runFilters(std::move(words), settings);
    return {words, int(words.size())};
}

} // namespace WordPipeline
