#include "search/wordpipeline.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>
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

// Pages made of near-matches: the pattern's pieces in order, each one sometimes missing, with
// fillers between them that can open, close or fake markup ("ľ" is U+013E, whose low byte is
// '>', and "＞" is the full-width '>').
QString randomPage(QRandomGenerator &random)
{
    static const QStringList pieces = {u"<center>"_s, u"ueber"_s, u">"_s, u"</a></center>"_s};
    static const QStringList fillers = {
        u"<center>"_s, u"ueber"_s,     u">"_s,       u"</a></center>"_s,
        u"</a>"_s,     u"</center>"_s, u"<center"_s, u"ueb"_s,
        u"er"_s,       u"<"_s,         u"a"_s,       u"\n"_s,
        u"\r\n"_s,     u" "_s,         u"ä"_s,       u"Дом"_s,
        u"ľ"_s,        u"＞"_s,        u"\uFFFD"_s};
    QString page;
    for (int segment = random.bounded(5); segment > 0; --segment) {
        for (const QString &piece : pieces) {
            for (int filler = random.bounded(3); filler > 0; --filler)
                page += fillers.at(random.bounded(int(fillers.size())));
            if (random.bounded(10) != 0)
                page += piece;
        }
    }
    return page;
}

// Up to maxLength letters of a three-letter alphabet, so that parts often occur in words.
QString randomText(QRandomGenerator &random, int maxLength)
{
    QString text;
    for (int n = random.bounded(maxLength + 1); n > 0; --n)
        text += QChar(u'a' + random.bounded(3));
    return text;
}

Settings allSwitchedOff()
{
    Settings settings;
    settings.filterSearchTerm = false;
    settings.filterDouble = false;
    settings.includeCommonList = false;
    settings.readCommonList = [] { return QString(); };
    return settings;
}

} // namespace

class PipelineTest : public QObject
{
    Q_OBJECT

private slots:
    void extractWords_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("one link") << center(u"Assoziationen ueber <a href=\"x?w=Haus\">Haus"_s)
                                  << QStringList{u"Haus"_s};
        QTest::newRow("spans lines")
            << u"<center>\nwoerter ueber\n<a\nhref=x>Dach\r\nboot</a></center>"_s
            << QStringList{u"Dach\r\nboot"_s};
        QTest::newRow("word kept as it stands")
            << center(u"ueber> &amp; Haus <b>"_s) << QStringList{u" &amp; Haus <b>"_s};
        QTest::newRow("case-sensitive")
            << u"<CENTER>ueber>a</a></center><center>Ueber>b</a></center>"_s << QStringList();
        QTest::newRow("null characters") << center(QStringView(u"ueber>a\0b", 9).toString())
                                         << QStringList{QStringView(u"a\0b", 3).toString()};
        const QString unpaired = u"a"_s + QChar(0xd800) + u"b"_s + QChar(0xdc00);
        QTest::newRow("unpaired surrogates")
            << center(u"ueber>"_s + unpaired) << QStringList{unpaired};
    }
    void extractWords()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, words);
        QCOMPARE(WordPipeline::extractWords(page), words);
        if (page.isValidUtf16()) // the reference engine refuses what is not
            QCOMPARE(referenceWords(page), words);
    }

    void extractionAgreesWithBacktrackingEngine()
    {
        QRandomGenerator random(20240611);
        int pagesWithWords = 0;
        for (int i = 0; i < 20000; ++i) {
            const QString page = randomPage(random);
            const QStringList expected = referenceWords(page);
            pagesWithWords += expected.isEmpty() ? 0 : 1;
            if (WordPipeline::extractWords(page) != expected) {
                qWarning() << "page:" << page;
                QCOMPARE(WordPipeline::extractWords(page), expected);
            }
        }
        // The generator must keep producing matches, or the comparison proves little.
        QVERIFY2(pagesWithWords > 5000, qPrintable(QString::number(pagesWithWords)));
    }

    void extractionOfLargePages()
    {
        QString page;
        QStringList expected;
        for (int i = 0; i < 20000; ++i) {
            expected.append(u"Wort"_s + QString::number(i));
            page += u"<tr>\n"_s + center(u"ueber <a href=x>"_s + expected.last()) + u"\n"_s;
        }
        QCOMPARE(WordPipeline::extractWords(page), expected);
        // Openings without a terminator: nothing to find, and it must not take ages.
        const QString hostile = u"<center>ueber>"_s.repeated(100000);
        QVERIFY(WordPipeline::extractWords(hostile).isEmpty());
        QCOMPARE(WordPipeline::extractWords(hostile + u"</a></center>"_s),
                 QStringList{u"<center>ueber>"_s.repeated(99999)});
    }

    void filterSearchTerm_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("keyword and keyword with s")
            << u"Haus"_s
            << QStringList{u"Hausboot"_s, u"Hauses"_s, u"Haus"_s, u"haus"_s, u"Bauhaus"_s}
            << QStringList{u"boot"_s, u"es"_s, QString(), u"haus"_s, u"Bauhaus"_s};
        QTest::newRow("every occurrence, once")
            << u"ab"_s << QStringList{u"aabb"_s, u"ababs ab"_s} << QStringList{u"ab"_s, u" "_s};
        QTest::newRow("non-overlapping") << u"aa"_s << QStringList{u"aaa"_s} << QStringList{u"a"_s};
        QTest::newRow("emptied keyword removes every s")
            << QString() << QStringList{u"Hausboot"_s, u"ss"_s}
            << QStringList{u"Hauboot"_s, QString()};
    }
    void filterSearchTerm()
    {
        QFETCH(QString, keyword);
        QFETCH(QStringList, words);
        QFETCH(QStringList, expected);
        QCOMPARE(WordPipeline::filterSearchTerm(words, keyword), expected);
    }

    void filterDouble()
    {
        QCOMPARE(WordPipeline::filterDouble(
                     {u"b"_s, QString(), u"a"_s, u"b"_s, u"B"_s, u"a"_s, u"a "_s}),
                 (QStringList{u"b"_s, u"a"_s, u"B"_s, u"a "_s}));
    }

    void filterBlacklist_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("part of a word, no entry dropped")
            << QStringList{u"Hausbau"_s, u"bau"_s, u"Bau"_s} << u"bau"_s
            << QStringList{u"Haus"_s, QString(), u"Bau"_s};
        QTest::newRow("blank after a comma belongs to the word")
            << QStringList{u"Hausbau"_s, u"Haus bau"_s} << u"gratis, bau"_s
            << QStringList{u"Hausbau"_s, u"Haus"_s};
        QTest::newRow("line break next to a comma")
            << QStringList{u"a\nyb"_s, u"yx"_s} << u"x,\ny"_s << QStringList{u"ab"_s, u"y"_s};
        QTest::newRow("later part sees earlier removals")
            << QStringList{u"abc"_s} << u"b,ac"_s << QStringList{QString()};
        QTest::newRow("earlier part does not see later removals")
            << QStringList{u"acb"_s} << u"ab,c"_s << QStringList{u"ab"_s};
        QTest::newRow("empty parts")
            << QStringList{u"abc"_s, QString()} << u",,"_s << QStringList{u"abc"_s, QString()};
        QTest::newRow("words too long to index")
            << QStringList{QString(40000, u'a') + u"xyz"_s, u"xyz"_s} << u"q,xyz"_s
            << QStringList{QString(40000, u'a'), QString()};
    }
    void filterBlacklist()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, list);
        QFETCH(QStringList, expected);
        QCOMPARE(WordPipeline::filterBlacklist(words, list), expected);
    }

    // Parts passed over because they occur nowhere must be exactly those a plain replacement of
    // every part, one after the other, would not change anything with.
    void blacklistAgreesWithPlainReplacement()
    {
        QRandomGenerator random(4711);
        for (int round = 0; round < 3000; ++round) {
            QStringList words;
            for (int i = random.bounded(6); i > 0; --i)
                words += randomText(random, 45);
            QStringList parts;
            for (int i = random.bounded(8); i > 0; --i) {
                const QString word = words.value(random.bounded(int(words.size()) + 1));
                parts += random.bounded(2)
                             ? word.mid(random.bounded(int(word.size()) + 1), random.bounded(40))
                             : randomText(random, 3);
            }
            QStringList expected = words;
            for (const QString &part : std::as_const(parts)) {
                for (QString &word : expected)
                    word.replace(part.isEmpty() ? u"\uFFFF"_s : part, QString());
            }
            QCOMPARE(WordPipeline::filterBlacklist(words, parts.join(u',')), expected);
        }
    }

    void capCountsEmptyEntries()
    {
        Settings settings = allSwitchedOff();
        settings.quantity = 2;
        Result result = process({QString(), u"a"_s, u"b"_s}, u"x\n"_s, settings);
        QCOMPARE(result.words, (QStringList{QString(), u"a"_s, u"x"_s, QString()}));
        QCOMPARE(result.count, 4);

        // The cap counts what the doubles filter leaves, and only the new words: the lines
        // already shown are merged in after it.
        settings = Settings();
        settings.quantity = 2;
        settings.readCommonList = [] { return u"x"_s; };
        result = process({u"a"_s, u"a"_s, u"bx"_s, u"c"_s}, u"alt"_s, settings);
        QCOMPARE(result.words, (QStringList{u"a"_s, u"b"_s, u"alt"_s}));
    }

    void commonListReadOncePerBlacklistPass_data()
    {
        QTest::addColumn<bool>("includeCommonList");
        QTest::addColumn<QString>("userBlacklist");
        QTest::addColumn<int>("reads");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("common list only")
            << true << QString() << 2 << QStringList{u"1"_s, u"bau2"_s, QString()};
        QTest::newRow("user list brings the common list")
            << false << u"bau"_s << 2 << QStringList{u"1"_s, u"2"_s, QString()};
        QTest::newRow("neither") << false << QString() << 0
                                 << QStringList{u"xyz1"_s, u"bau2"_s, QString()};
    }
    void commonListReadOncePerBlacklistPass()
    {
        QFETCH(bool, includeCommonList);
        QFETCH(QString, userBlacklist);
        QFETCH(int, reads);
        QFETCH(QStringList, words);
        int calls = 0;
        Settings settings = allSwitchedOff();
        settings.includeCommonList = includeCommonList;
        settings.userBlacklist = userBlacklist;
        settings.readCommonList = [&calls] {
            ++calls;
            return u"xyz"_s;
        };
        const Result result = process({u"xyz1"_s, u"bau2"_s}, QString(), settings);
        QCOMPARE(calls, reads);
        QCOMPARE(result.words, words);
    }

    void resultTextMatchesAppendedBox_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain words, empty entries skipped")
            << QStringList{QString(), u"Haus"_s, QString(), u"Dach"_s, QString()};
        QTest::newRow("nothing to show") << QStringList{QString(), QString()};
        QTest::newRow("blanks") << QStringList{u" a "_s, u"\t"_s, u"  "_s};
        QTest::newRow("line breaks inside") << QStringList{u"Dach\nboot"_s, u"\nx"_s, u"y\n"_s};
        QTest::newRow("carriage returns")
            << QStringList{u"a\rb"_s, u"c\r\nd"_s, u"\r"_s, u"\r\r\n"_s, u"e\n\r"_s};
        QTest::newRow("paragraph and frame characters")
            << QStringList{u"a\u2029b"_s, u"c\uFDD0d\uFDD1"_s};
        QTest::newRow("no-break space and line separator")
            << QStringList{u"\u00A0x"_s, u"a\u2028b"_s};
        QTest::newRow("other scripts, entities, markup after a line break")
            << QStringList{u"Häuser"_s, u"家 😀"_s, u"&amp;"_s, u"x\n<b>y</b>"_s};
    }
    void resultTextMatchesAppendedBox()
    {
        QFETCH(QStringList, words);
        QVERIFY(!needsRichTextFallback(words));
        QTextEdit appended;
        for (const QString &word : words) {
            if (!word.isEmpty())
                appended.append(word);
        }
        QTextEdit batch;
        batch.setPlainText(resultText(words));
        QCOMPARE(batch.document()->toRawText(), appended.document()->toRawText());
        QCOMPARE(batch.document()->blockCount(), appended.document()->blockCount());
        QCOMPARE(batch.toPlainText(), appended.toPlainText());
    }

    void richTextNeedsFallback()
    {
        QVERIFY(!needsRichTextFallback({u"Haus"_s, QString(), u"a > b"_s, u"x\n<b>y</b>"_s}));
        QVERIFY(needsRichTextFallback({u"Haus"_s, u"<b>x</b>"_s}));
    }
};

QTEST_MAIN(PipelineTest)
#include "tst_pipeline.moc"
