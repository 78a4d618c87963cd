#include "tst_pipeline.h"

#include "search/wordpipeline.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace WordPipeline;

namespace {

Settings allSwitchedOff()
{
    Settings settings;
    settings.filterSearchTerm = false;
    settings.filterDouble = false;
    settings.includeCommonList = false;
    settings.readCommonList = [] { return QString(); };
    return settings;
}

QStringList numbered(const QString &stem, int count)
{
    QStringList words;
    for (int i = 1; i <= count; ++i)
        words.append(stem + QString::number(i));
    return words;
}

} // namespace

void PipelineTest::filterSearchTerm_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("keyword and keyword with s")
        << u"Haus"_s << QStringList{u"Hausboot"_s, u"Haussegen"_s, u"Hauses"_s,
                                    u"Haus"_s,     u"Haeuser"_s,   u"Bauhaus"_s}
        << QStringList{u"boot"_s, u"egen"_s, u"es"_s, QString(), u"Haeuser"_s, u"Bauhaus"_s};
    QTest::newRow("case-sensitive")
        << u"Haus"_s << QStringList{u"haus"_s, u"HAUS"_s} << QStringList{u"haus"_s, u"HAUS"_s};
    QTest::newRow("every occurrence")
        << u"Haus"_s << QStringList{u"HausHauss Haus"_s} << QStringList{u" "_s};
    QTest::newRow("joined text not looked at again")
        << u"ab"_s << QStringList{u"aabb"_s} << QStringList{u"ab"_s};
    QTest::newRow("non-overlapping") << u"aa"_s << QStringList{u"aaa"_s} << QStringList{u"a"_s};
    QTest::newRow("emptied keyword removes every s")
        << QString() << QStringList{u"Hausboot"_s, u"ss"_s, u"Sonne s"_s}
        << QStringList{u"Hauboot"_s, QString(), u"Sonne "_s};
}

void PipelineTest::filterSearchTerm()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, words);
    QFETCH(QStringList, expected);
    QCOMPARE(WordPipeline::filterSearchTerm(words, keyword), expected);
}

void PipelineTest::filterDouble_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("first occurrence stays") << QStringList{u"b"_s, u"a"_s, u"b"_s, u"c"_s, u"a"_s}
                                            << QStringList{u"b"_s, u"a"_s, u"c"_s};
    QTest::newRow("empties gone") << QStringList{QString(), u"a"_s, QString(), u"a"_s}
                                  << QStringList{u"a"_s};
    QTest::newRow("exact comparison") << QStringList{u"Haus"_s, u"haus"_s, u"Haus "_s}
                                      << QStringList{u"Haus"_s, u"haus"_s, u"Haus "_s};
    QTest::newRow("nothing") << QStringList() << QStringList();
}

void PipelineTest::filterDouble()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, expected);
    QCOMPARE(WordPipeline::filterDouble(words), expected);
}

void PipelineTest::filterBlacklist_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("part of a word")
        << QStringList{u"gratisversand"_s} << QStringList{u"gratis"_s} << QStringList{u"versand"_s};
    QTest::newRow("no entry dropped")
        << QStringList{u"bau"_s, u"Hausbau"_s, u"Bau"_s} << QStringList{u"bau"_s}
        << QStringList{QString(), u"Haus"_s, u"Bau"_s};
    QTest::newRow("blank after a comma belongs to the word")
        << QStringList{u"Hausbau"_s, u"Haus bau"_s} << WordPipeline::splitList(u"gratis, bau"_s)
        << QStringList{u"Hausbau"_s, u"Haus"_s};
    QTest::newRow("line break next to a comma")
        << QStringList{u"a\nyb"_s, u"yx"_s} << WordPipeline::splitList(u"x,\ny"_s)
        << QStringList{u"ab"_s, u"y"_s};
    QTest::newRow("later part sees earlier removals")
        << QStringList{u"abc"_s} << QStringList{u"b"_s, u"ac"_s} << QStringList{QString()};
    QTest::newRow("earlier part does not see later removals")
        << QStringList{u"acb"_s} << QStringList{u"ab"_s, u"c"_s} << QStringList{u"ab"_s};
    QTest::newRow("empty parts") << QStringList{u"abc"_s, QString()}
                                 << WordPipeline::splitList(u",,"_s)
                                 << QStringList{u"abc"_s, QString()};
}

void PipelineTest::filterBlacklist()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, parts);
    QFETCH(QStringList, expected);
    QCOMPARE(WordPipeline::filterBlacklist(words, parts), expected);
}

void PipelineTest::workedExampleStepByStep()
{
    Settings settings;
    settings.keyword = u"Haus"_s;
    settings.quantity = 3;
    settings.userBlacklist = u"bau"_s;
    settings.readCommonList = [] { return u"xyz"_s; };
    const QString page =
        u"<center>ueber <a>Hausboot</a></center><center>ueber <a>Garten</a></center>"
        u"<center>ueber <a>Garten</a></center><center>ueber <a>Hausbau</a></center>"
        u"<center>ueber <a>Villa</a></center>"_s;

    const QStringList extracted = WordPipeline::extractWords(page);
    QCOMPARE(extracted,
             (QStringList{u"Hausboot"_s, u"Garten"_s, u"Garten"_s, u"Hausbau"_s, u"Villa"_s}));
    QStringList words = WordPipeline::filterSearchTerm(extracted, settings.keyword);
    QCOMPARE(words, (QStringList{u"boot"_s, u"Garten"_s, u"Garten"_s, u"bau"_s, u"Villa"_s}));
    words = WordPipeline::filterDouble(words);
    QCOMPARE(words, (QStringList{u"boot"_s, u"Garten"_s, u"bau"_s, u"Villa"_s}));
    words = WordPipeline::filterBlacklist(words, {u"xyz"_s, u"bau"_s});
    QCOMPARE(words, (QStringList{u"boot"_s, u"Garten"_s, QString(), u"Villa"_s}));
    QCOMPARE(runFilters(extracted, settings), words);

    // The emptied entry keeps its place under the cap, which costs Villa its place.
    const QStringList merged = {u"boot"_s, u"Garten"_s, QString(), u"Dach"_s, u"boot"_s};
    QCOMPARE(runFilters(merged, settings), (QStringList{u"boot"_s, u"Garten"_s, u"Dach"_s}));

    const Result result = process(extracted, u"Dach\nboot"_s, settings);
    QCOMPARE(result.count, 3);
    QCOMPARE(result.words, (QStringList{u"boot"_s, u"Garten"_s, u"Dach"_s}));
    QCOMPARE(resultText(result.words), u"boot\nGarten\nDach"_s);
    QCOMPARE(WordPipeline::lineCount(resultText(result.words)), 3);
}

void PipelineTest::capCountsEmptyEntries()
{
    Settings settings = allSwitchedOff();
    settings.quantity = 2;
    Result result = process({QString(), u"a"_s, u"b"_s}, u"x"_s, settings);
    QCOMPARE(result.words, (QStringList{QString(), u"a"_s, u"x"_s}));
    QCOMPARE(result.count, 3);

    // The cap applies to the new words only; the lines already shown are merged in after it.
    settings = Settings();
    settings.quantity = 5;
    settings.readCommonList = [] { return QString(); };
    result = process(numbered(u"neu"_s, 12), u"alt1\nalt2"_s, settings);
    QCOMPARE(result.words, numbered(u"neu"_s, 5) + numbered(u"alt"_s, 2));
    QCOMPARE(result.count, 7);
}

void PipelineTest::nothingSwitchedOnStillMergesAnEmptyBox()
{
    const Result result = process({u"a"_s, u"a"_s}, QString(), allSwitchedOff());
    QCOMPARE(result.words, (QStringList{u"a"_s, u"a"_s, QString()}));
    QCOMPARE(result.count, 3);
    QCOMPARE(WordPipeline::lineCount(resultText(result.words)), 2);
}

void PipelineTest::repeatedSearchShowsEachWordOnce()
{
    Settings settings;
    settings.keyword = u"Haus"_s;
    settings.readCommonList = [] { return QString(); };
    const QStringList found = {u"Hausboot"_s, u"Dach"_s, u"Garten"_s, u"Dach"_s};
    const Result first = process(found, QString(), settings);
    const Result second = process(found, resultText(first.words), settings);
    QCOMPARE(first.words, (QStringList{u"boot"_s, u"Dach"_s, u"Garten"_s}));
    QCOMPARE(second.words, first.words);
}

void PipelineTest::commonListReadOncePerBlacklistPass_data()
{
    QTest::addColumn<bool>("includeCommonList");
    QTest::addColumn<QString>("userBlacklist");
    QTest::addColumn<int>("reads");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("common list only")
        << true << QString() << 2 << QStringList{u"1"_s, u"bau2"_s, QString()};
    QTest::newRow("user list brings the common list")
        << false << u"bau"_s << 2 << QStringList{u"1"_s, u"2"_s, QString()};
    QTest::newRow("both") << true << u"bau"_s << 2 << QStringList{u"1"_s, u"2"_s, QString()};
    QTest::newRow("neither") << false << QString() << 0
                             << QStringList{u"xyz1"_s, u"bau2"_s, QString()};
}

void PipelineTest::commonListReadOncePerBlacklistPass()
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
