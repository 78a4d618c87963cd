#include "query/wordtable.h"

#include <QTest>

#include <cstdint>

// The word tables of a query reuse the blocks of earlier ones: nothing of those may show through,
// and tables alive at the same time must keep apart.
class TestWordTable : public QObject
{
    Q_OBJECT

private slots:
    void aTableStartsEmptyOnAReusedBlock();
    void growingKeepsEveryWord();
    void tablesAliveTogetherKeepApart();
};

namespace {

uint32_t valueOf(uint32_t word)
{
    return word * 7u + 3u;
}

} // namespace

void TestWordTable::aTableStartsEmptyOnAReusedBlock()
{
    for (int query = 0; query < 3; ++query) {
        WordTable<uint32_t> table(64);
        for (uint32_t word = 0; word < 100; ++word) {
            QVERIFY(table.find(word) == nullptr);
        }
        QVERIFY(table.find(UINT32_MAX) == nullptr);
        for (uint32_t word = 0; word < 100; ++word) {
            bool added = false;
            table.at(word, valueOf(word) + uint32_t(query), &added);
            QVERIFY(added);
        }
        bool added = true;
        QCOMPARE(table.at(42, 0, &added), valueOf(42) + uint32_t(query));
        QVERIFY(!added);
    }
}

void TestWordTable::growingKeepsEveryWord()
{
    WordTable<uint32_t> table(4);
    // Spread over the whole range, the largest number among them: every number is a word.
    const auto wordAt = [](uint32_t i) { return i == 0 ? UINT32_MAX : i * 2654435u; };
    for (uint32_t i = 0; i < 5000; ++i) {
        table.at(wordAt(i), valueOf(wordAt(i)));
    }
    for (uint32_t i = 0; i < 5000; ++i) {
        const uint32_t *value = table.find(wordAt(i));
        QVERIFY(value != nullptr);
        QCOMPARE(*value, valueOf(wordAt(i)));
    }
    QVERIFY(table.find(1) == nullptr);
}

void TestWordTable::tablesAliveTogetherKeepApart()
{
    {
        WordTable<bool> first(16);
        first.at(1, true);
    }
    WordTable<bool> first(16);
    WordTable<bool> second(16);
    first.at(1, true);
    second.at(2, false);
    QVERIFY(first.find(2) == nullptr);
    QVERIFY(second.find(1) == nullptr);
    QCOMPARE(*first.find(1), true);
    QCOMPARE(*second.find(2), false);
}

QTEST_APPLESS_MAIN(TestWordTable)
#include "tst_wordtable.moc"
