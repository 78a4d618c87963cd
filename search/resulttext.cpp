#include "search/wordpipeline.h"

namespace WordPipeline {

namespace {

// Inserting text into a document starts a new paragraph at each of these, and "\r\n" counts once.
bool breaksParagraph(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\r':
    case QChar::ParagraphSeparator:
    case 0xfdd0: // frame start marker of QTextDocument
    case 0xfdd1: // frame end marker
        return true;
    default:
        return false;
    }
}

void appendParagraphs(QString &text, QStringView word)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (!breaksParagraph(word[i]))
            continue;
        text.append(word.mid(from, i - from));
        text.append(u'\n');
        if (word[i] == u'\r' && i + 1 < word.size() && word[i + 1] == u'\n')
            ++i;
        from = i + 1;
    }
    text.append(word.mid(from));
}

} // namespace

QString resultText(const QStringList &words)
{
    QString text;
    bool first = true;
    for (const QString &word : words) {
        if (word.isEmpty())
            continue;
        if (!first)
            text.append(u'\n');
        first = false;
        appendParagraphs(text, word);
    }
    return text;
}

int lineCount(const QString &plainText)
{
    if (plainText.isEmpty())
        return 0;
    return int(plainText.count(u'\n')) + 1;
}

} // namespace WordPipeline
