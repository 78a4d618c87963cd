#include "search/wordpipeline.h"
#include "support/datatable.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;
using namespace WordPipeline;

namespace {

QString center(const QString &inner)
{
    return u"<center>" + inner + u"</a></center>";
}

// What a backtracking engine with lazy groups finds, as slowly as it likes.
QStringList referenceWords(const QString &page)
{
    static const QRegularExpression pattern(u"<center>(.*?)ueber(.*?)>(.*?)</a></center>"_s,
                                            QRegularExpression::DotMatchesEverythingOption);
    QStringList words;
    for (qsizetype from = 0;;) {
        const QRegularExpressionMatch match = pattern.match(page, from);
        if (!match.hasMatch())
            return words;
        words.append(match.captured(3));
        from = match.capturedEnd(0);
    }
}

// One of the strings, or of their letters when they are one string, picked at random.
QString pick(QRandomGenerator &random, const QStringList &strings)
{
    if (strings.size() == 1)
        return strings.first().at(random.bounded(int(strings.first().size())));
    return strings.at(random.bounded(int(strings.size())));
}

// Pages made of near-matches: the pattern's pieces in order, each one sometimes missing, with
// fillers between them that can open, close or fake markup ("ľ" is U+013E, whose low byte is
// '>', and "＞" is the full-width '>').
QString randomPage(QRandomGenerator &random)
{
    static const QStringList pieces = {u"<center>"_s, u"ueber"_s, u">"_s, u"</a></center>"_s};
    static const QStringList fillers = {
        u"<center>"_s, u"ueber"_s,       u">"_s,       u"</a></center>"_s,
        u"</a>"_s,     u"</center>"_s,   u"<center"_s, u"ueb"_s,
        u"er"_s,       u"<"_s,           u"a"_s,       u"\n"_s,
        u"\r\n"_s,     u" "_s,           u"ä"_s,       u"Дом"_s,
        u"ľ"_s,        u"＞"_s,          u"\uFFFD"_s,  u"Ueber"_s,
        u"<CENTER>"_s, QString(QChar(0))};
    QString page;
    for (int segment = random.bounded(5); segment > 0; --segment) {
        for (const QString &piece : pieces) {
            for (int filler = random.bounded(3); filler > 0; --filler)
                page += pick(random, fillers);
            if (random.bounded(10) != 0)
                page += piece;
        }
    }
    return page;
}

QString randomText(QRandomGenerator &random, const QString &letters, int maxLength)
{
    QString text;
    for (int n = random.bounded(maxLength + 1); n > 0; --n)
        text += pick(random, {letters});
    return text;
}

} // namespace

class PipelineTest : public QObject
{
    Q_OBJECT

private slots:
    void extractionAgreesWithBacktrackingEngine()
    {
        QRandomGenerator random(20240611);
        int pagesWithWords = 0;
        for (int i = 0; i < 20000; ++i) {
            const QString page = randomPage(random);
            const QStringList expected = referenceWords(page);
            pagesWithWords += expected.isEmpty() ? 0 : 1;
            if (extractWords(page) != expected) {
                qWarning() << "page:" << page;
                QCOMPARE(extractWords(page), expected);
            }
        }
        // The generator must keep producing matches, or the comparison proves little.
        QVERIFY2(pagesWithWords > 5000, qPrintable(QString::number(pagesWithWords)));
        // What the reference engine refuses to look at.
        const QString unpaired = u"a"_s + QChar(0xd800) + u"b"_s + QChar(0xdc00);
        QCOMPARE(extractWords(center(u"ueber>"_s + unpaired)), QStringList{unpaired});
        // Openings without a terminator: nothing to find, and it must not take ages.
        const QString hostile = u"<center>ueber>"_s.repeated(100000);
        QVERIFY(extractWords(hostile).isEmpty());
        QCOMPARE(extractWords(hostile + u"</a></center>"_s),
                 QStringList{u"<center>ueber>"_s.repeated(99999)});
    }

    void filterSearchTerm()
    {
        QCOMPARE(WordPipeline::filterSearchTerm({u"Hausboot"_s, u"Hauses"_s, u"Haus"_s, u"haus"_s},
                                                u"Haus"_s),
                 (QStringList{u"boot"_s, u"es"_s, QString(), u"haus"_s}));
        // Every occurrence, once, without overlap.
        QCOMPARE(WordPipeline::filterSearchTerm({u"aabb"_s, u"ababs ab"_s, u"aba"_s}, u"ab"_s),
                 (QStringList{u"ab"_s, u" "_s, u"a"_s}));
        // An emptied keyword removes every s.
        QCOMPARE(WordPipeline::filterSearchTerm({u"Hausboot"_s, u"ss"_s}, QString()),
                 (QStringList{u"Hauboot"_s, QString()}));
    }

    void filterDouble()
    {
        QCOMPARE(WordPipeline::filterDouble({u"b"_s, QString(), u"a"_s, u"b"_s, u"B"_s, u"a "_s}),
                 (QStringList{u"b"_s, u"a"_s, u"B"_s, u"a "_s}));
    }

    // Against a plain replacement of every part, one after the other; blanks and line breaks
    // belong to the parts, and words too long to index are searched directly.
    void blacklistAgreesWithPlainReplacement()
    {
        QRandomGenerator random(4711);
        for (int round = 0; round < 3000; ++round) {
            QStringList words;
            for (int i = random.bounded(6); i > 0; --i)
                words += randomText(random, u"ab c\n"_s, round % 500 ? 45 : 40000);
            QStringList parts;
            for (int i = random.bounded(8); i > 0; --i) {
                const QString word = words.value(random.bounded(int(words.size()) + 1));
                parts += random.bounded(2)
                             ? word.mid(random.bounded(int(word.size()) + 1), random.bounded(40))
                             : randomText(random, u"ab c\n"_s, 3);
            }
            QStringList expected = words;
            for (const QString &part : std::as_const(parts))
                for (QString &word : expected)
                    word.replace(part.isEmpty() ? u"\uFFFF"_s : part, QString());
            QCOMPARE(filterBlacklist(words, parts.join(u',')), expected);
        }
    }

    // The cap counts empty entries, only the new words, and what the doubles filter leaves.
    void process_data()
    {
        TestSupport::addRows(u"pipeline/process.tsv"_s,
                             {"switches", "userList", "found:list", "words:list", "reads:int"});
    }
    void process()
    {
        QFETCH(QString, switches);
        QFETCH(QString, userList);
        QFETCH(QStringList, found);
        QFETCH(QStringList, words);
        QFETCH(int, reads);
        Settings settings;
        settings.filterSearchTerm = false;
        settings.filterDouble = switches.contains(u'd');
        settings.includeCommonList = switches.contains(u'c');
        settings.userBlacklist = userList;
        settings.quantity = 2;
        int calls = 0;
        settings.readCommonList = [&calls] {
            ++calls;
            return u"x"_s;
        };
        const Result result = WordPipeline::process(found, u"alt\n"_s, settings);
        QCOMPARE(result.words, words);
        QCOMPARE(result.count, int(words.size()));
        QCOMPARE(calls, reads);
    }

    // Lines shown before a blacklist was typed lose its words in the second pass, and may then
    // equal other lines: with the doubles filter on, each still shows once.
    void blacklistMakesNoDoubles()
    {
        Settings settings;
        settings.filterSearchTerm = false;
        settings.userBlacklist = u"Gerät,gerät,Haus"_s;
        const QString shown = u"Küchengerät\nKüchen\nSpielGerät\nSpiel\nhalt"_s;
        const QStringList found{u"Sport"_s, u"Sportgerät"_s, u"halt"_s};
        QCOMPARE(WordPipeline::process(found, shown, settings).words,
                 (QStringList{u"Sport"_s, u"halt"_s, u"Küchen"_s, u"Spiel"_s}));
        settings.filterDouble = false;
        QCOMPARE(WordPipeline::process(found, shown, settings).words.count(u"Sport"_s), 2);
    }

    // A reply word is one line of what it visibly holds, and no longer than a line of a page.
    void wordsAreCleaned_data()
    {
        TestSupport::addRows(u"pipeline/cleanwords.tsv"_s, {"word", "clean"});
        // What the table cannot hold: a broken pair, and words of many letters.
        QTest::newRow("frame markers, broken pair")
            << u"a\uFDD0b\uFDD1c"_s + QChar(0xD800) + u"d"_s << u"abcd"_s;
        const QString longWord(100000, u'x');
        QTest::newRow("long") << longWord << longWord.left(MaxWordLength);
        // A pair that would straddle the cut goes whole.
        const QString pairs = QString(MaxWordLength - 1, u'x') + u"\U0001F3E0"_s;
        QTest::newRow("cut before a pair") << pairs << pairs.left(MaxWordLength - 1);
    }
    void wordsAreCleaned()
    {
        QFETCH(QString, word);
        QFETCH(QString, clean);
        QCOMPARE(cleanWord(word), clean);
        QCOMPARE(extractShownWords(u"<center>ueber>"_s + word + u"</a></center>"_s),
                 QStringList{clean});
    }

    // A batch fill gives the box that appending the words one by one as plain text gives.
    void resultTextMatchesAppendedBox()
    {
        QRandomGenerator random(99);
        for (int round = 0; round < 300; ++round) {
            QStringList words;
            for (int i = random.bounded(5); i > 0; --i)
                words += randomText(random, u"a \t\n\r\u2029\uFDD0\uFDD1\u00A0\u2028ä&"_s, 4);
            QTextEdit appended;
            for (const QString &word : std::as_const(words))
                if (!word.isEmpty())
                    appended.append(word);
            QTextEdit batch;
            batch.setPlainText(resultText(words));
            QCOMPARE(batch.document()->toRawText(), appended.document()->toRawText());
            QCOMPARE(batch.document()->blockCount(), appended.document()->blockCount());
        }
    }
};

QTEST_MAIN(PipelineTest)
#include "tst_pipeline.moc"
