#include "tst_pipeline.h"

#include "search/wordpipeline.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString center(const QString &inner)
{
    return u"<center>" + inner + u"</a></center>";
}

// What a backtracking engine with lazy groups finds, as slowly as it likes.
QStringList referenceWords(const QString &page)
{
    static const QRegularExpression pattern(
        QStringLiteral("<center>(.*?)ueber(.*?)>(.*?)</a></center>"),
        QRegularExpression::DotMatchesEverythingOption);
    QStringList words;
    qsizetype from = 0;
    for (;;) {
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
    const int segments = random.bounded(5);
    for (int segment = 0; segment < segments; ++segment) {
        for (const QString &piece : pieces) {
            for (int filler = random.bounded(3); filler > 0; --filler)
                page += fillers.at(random.bounded(int(fillers.size())));
            if (random.bounded(10) != 0)
                page += piece;
        }
    }
    return page;
}

} // namespace

void PipelineTest::extractWords_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("no match") << u"<center>ueber>Haus</a>"_s << QStringList();
    QTest::newRow("one link") << center(u"Assoziationen ueber <a href=\"x?w=Haus\">Haus"_s)
                              << QStringList{u"Haus"_s};
    QTest::newRow("in order") << center(u"ueber>eins"_s) + u"\n"_s + center(u"ueber>zwei"_s)
                              << QStringList{u"eins"_s, u"zwei"_s};
    QTest::newRow("spans lines")
        << u"<center>\nwoerter ueber\n<a\nhref=x>Dach\r\nboot</a></center>"_s
        << QStringList{u"Dach\r\nboot"_s};
    QTest::newRow("empty third group")
        << center(u"ueber>"_s) + center(u"ueber>x"_s) << QStringList{QString(), u"x"_s};
    QTest::newRow("word kept as it stands")
        << center(u"ueber> &amp; Haus <b>"_s) << QStringList{u" &amp; Haus <b>"_s};
    QTest::newRow("first '>' after ueber") << center(u"ueber <a x>y>z"_s) << QStringList{u"y>z"_s};
    QTest::newRow("first terminator ends")
        << center(u"ueber>a</a></center>b"_s) << QStringList{u"a"_s};
    QTest::newRow("'>' of the terminator")
        << u"<center>ueber</a></center>x</a></center>"_s << QStringList{u"</center>x"_s};
    QTest::newRow("nested opening in group one")
        << u"<center><center>ueber>a</a></center>"_s << QStringList{u"a"_s};
    QTest::newRow("nested opening in the word")
        << u"<center>ueber><center>ueber>b</a></center>"_s << QStringList{u"<center>ueber>b"_s};
    QTest::newRow("resumes after the match")
        << u"<center>ueber>a</a></center>ueber>b</a></center>"_s << QStringList{u"a"_s};
    QTest::newRow("case-sensitive")
        << u"<CENTER>ueber>a</a></center><center>Ueber>b</a></center>"_s << QStringList();
    QTest::newRow("umlauts and other scripts")
        << center(u"über ueber>Häuser"_s) + center(u"ueber>Дом 家 😀"_s)
        << QStringList{u"Häuser"_s, u"Дом 家 😀"_s};
    QTest::newRow("lookalikes are not markup")
        << u"<center>ueberľ＞x</a></center>"_s + center(u"ueber>y"_s)
        << QStringList{u"</center><center>ueber>y"_s};
    QTest::newRow("invalid UTF-8") << QString::fromUtf8("\xff<center>ueber>a\xc3</a></center>\xe4")
                                   << QStringList{u"a\uFFFD"_s};
    QTest::newRow("null characters") << center(QStringView(u"ueber>a\0b", 9).toString())
                                     << QStringList{QStringView(u"a\0b", 3).toString()};
}

void PipelineTest::extractWords()
{
    QFETCH(QString, page);
    QFETCH(QStringList, words);
    QCOMPARE(WordPipeline::extractWords(page), words);
    QCOMPARE(referenceWords(page), words);
}

void PipelineTest::extractionAgreesWithBacktrackingEngine()
{
    QRandomGenerator random(20240611);
    int pagesWithWords = 0;
    for (int i = 0; i < 20000; ++i) {
        const QString page = randomPage(random);
        const QStringList expected = referenceWords(page);
        if (!expected.isEmpty())
            ++pagesWithWords;
        const QStringList words = WordPipeline::extractWords(page);
        if (words != expected) {
            qWarning() << "page:" << page;
            QCOMPARE(words, expected);
        }
    }
    // The generator must keep producing matches, or the comparison proves little.
    QVERIFY2(pagesWithWords > 5000, qPrintable(QString::number(pagesWithWords)));
}

void PipelineTest::extractionKeepsUnpairedSurrogates()
{
    const QString word = u"a"_s + QChar(0xd800) + u"b"_s + QChar(0xdc00);
    QCOMPARE(WordPipeline::extractWords(center(u"ueber>"_s + word)), QStringList{word});
}

void PipelineTest::extractionOfLargePages()
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
