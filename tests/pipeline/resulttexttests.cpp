#include "tst_pipeline.h"

#include "search/wordpipeline.h"

#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Characters that a document keeps but toPlainText() shows differently.
bool hasDisguisedCharacters(const QStringList &words)
{
    return std::any_of(words.cbegin(), words.cend(), [](const QString &word) {
        return word.contains(QChar::Nbsp) || word.contains(QChar::LineSeparator);
    });
}

} // namespace

void PipelineTest::resultTextMatchesAppendedBox_data()
{
    QTest::addColumn<QStringList>("words");

    QTest::newRow("plain words") << QStringList{u"Haus"_s, u"Dach"_s};
    QTest::newRow("empty entries skipped")
        << QStringList{QString(), u"a"_s, QString(), u"b"_s, QString()};
    QTest::newRow("nothing to show") << QStringList{QString(), QString()};
    QTest::newRow("blanks") << QStringList{u" a "_s, u"\t"_s, u"  "_s};
    QTest::newRow("line breaks inside") << QStringList{u"Dach\nboot"_s, u"\nx"_s, u"y\n"_s};
    QTest::newRow("starts with a line break") << QStringList{u"\n"_s, u"c"_s};
    QTest::newRow("carriage returns")
        << QStringList{u"a\rb"_s, u"c\r\nd"_s, u"\r"_s, u"\r\r\n"_s, u"e\n\r"_s};
    QTest::newRow("paragraph and frame characters")
        << QStringList{u"a\u2029b"_s, u"c\uFDD0d\uFDD1"_s};
    QTest::newRow("no-break space and line separator") << QStringList{u"\u00A0x"_s, u"a\u2028b"_s};
    QTest::newRow("other scripts and entities")
        << QStringList{u"Häuser"_s, u"Дом"_s, u"家 😀"_s, u"&amp;"_s};
    QTest::newRow("markup after a line break") << QStringList{u"x\n<b>y</b>"_s};
}

void PipelineTest::resultTextMatchesAppendedBox()
{
    QFETCH(QStringList, words);
    QVERIFY(!WordPipeline::needsRichTextFallback(words));

    QTextEdit appended;
    for (const QString &word : words) {
        if (!word.isEmpty())
            appended.append(word);
    }
    QTextEdit batch;
    batch.setPlainText(WordPipeline::resultText(words));

    QCOMPARE(batch.document()->toRawText(), appended.document()->toRawText());
    QCOMPARE(batch.document()->blockCount(), appended.document()->blockCount());
    QCOMPARE(batch.toPlainText(), appended.toPlainText());
    if (!hasDisguisedCharacters(words))
        QCOMPARE(WordPipeline::resultText(words), appended.toPlainText());
}

void PipelineTest::richTextNeedsFallback_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<bool>("fallback");

    QTest::newRow("plain") << QStringList{u"Haus"_s, QString(), u"a > b"_s} << false;
    QTest::newRow("one word with markup") << QStringList{u"Haus"_s, u"<b>x</b>"_s} << true;
    QTest::newRow("markup after a line break") << QStringList{u"x\n<b>y</b>"_s} << false;
}

void PipelineTest::richTextNeedsFallback()
{
    QFETCH(QStringList, words);
    QFETCH(bool, fallback);
    QCOMPARE(WordPipeline::needsRichTextFallback(words), fallback);
    if (fallback) {
        // Appending renders the markup, which a plain batch cannot reproduce.
        QTextEdit appended;
        for (const QString &word : words)
            appended.append(word);
        QVERIFY(appended.toPlainText() != WordPipeline::resultText(words));
    }
}

void PipelineTest::lineCount()
{
    QCOMPARE(WordPipeline::lineCount(QString()), 0);
    QCOMPARE(WordPipeline::lineCount(u"a"_s), 1);
    QCOMPARE(WordPipeline::lineCount(u"\n"_s), 2);
    QCOMPARE(WordPipeline::lineCount(u"a\n\nc\n"_s), 4);
}
