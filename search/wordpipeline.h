#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The keyword search's word handling, from the reply page to the text of the result box, kept
// free of widgets so that it can be tested and measured on its own.
namespace WordPipeline {

// The third group of every match of "<center>(.*)ueber(.*)>(.*)</a></center>" with minimal
// groups ('.' also matches line breaks), left to right, each search resuming right after the
// previous match. Words come back unchanged. Linear in the page size, whatever the page holds.
QStringList extractWords(const QString &page);

// A reply word is shown as plain text, one line of what it visibly holds, so that what the box
// shows is what the user copies. Longer words are cut here: nothing of a page is that long, and
// laying out one unbroken line costs time that grows with the square of its length.
constexpr qsizetype MaxWordLength = 256;
// The word without controls, format characters (direction overrides, zero-width characters,
// byte-order marks), broken surrogates and noncharacters; tabs and line breaks inside it become
// one blank, at its ends they go; cut to MaxWordLength UTF-16 units without splitting a pair.
QString cleanWord(QStringView word);
// extractWords(), each word cleaned.
QStringList extractShownWords(const QString &page);

// Removes keyword + "s", then keyword, from every entry. No entry is dropped.
QStringList filterSearchTerm(const QStringList &words, const QString &keyword);
// The first occurrence of every distinct non-empty entry, in order.
QStringList filterDouble(const QStringList &words);
// Removes every occurrence of each part of the comma-separated list (empty parts included,
// nothing trimmed), part after part, from every entry. No entry is dropped. The work grows with
// the list's length plus the words' length, not with their product: parts that occur in no
// word are passed over.
QStringList filterBlacklist(const QStringList &words, QStringView list);

struct Settings
{
    bool filterSearchTerm = true;
    bool filterDouble = true;
    bool includeCommonList = true;
    QString keyword;
    int quantity = 200;
    QString userBlacklist;
    // Gives the common list file's text. Called once for every blacklist pass, because reading
    // it may warn the user, and the user is to see that warning for every pass. Unset: no list.
    std::function<QString()> readCommonList;
};

struct Result
{
    QStringList words; // the final list, empty entries included
    int count = 0;     // its number of entries, which the counter shows before the box is filled
};

// First pass, cap to the quantity, merge with the lines already shown, second pass. An empty
// extraction is the caller's business (it tells the user and keeps the box).
Result process(const QStringList &extracted, const QString &shownText, const Settings &settings);

// The plain text of the result box: every non-empty word a paragraph of its own, as appending
// them one by one would give. It equals that box's toPlainText(), except that no-break spaces
// and U+2028 stay as they are (toPlainText() shows them as ' ' and '\n').
QString resultText(const QStringList &words);
// The number of lines of a plain text: 0 when it is empty.
int lineCount(const QString &plainText);

} // namespace WordPipeline
