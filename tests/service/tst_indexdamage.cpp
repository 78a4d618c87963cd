#include "datasources.h"
#include "indexcompiler.h"
#include "indexformat.h"
#include "lexicon.h"
#include "servicefixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

// The index is mapped and read without further checks, so every way it can be damaged must be
// found when it is opened: in each section, at its last entry, and also where the checksum
// still fits (a file damaged before its checksum was made).
class TestIndexDamage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void checksumCoversEveryByte();
    void everySectionIsChecked_data();
    void everySectionIsChecked();

private:
    // Opens a copy of the good index changed by edit, with its checksum made anew if asked;
    // returns the message, empty when the copy opened.
    QString openChanged(const std::function<void(QByteArray *)> &edit, bool resum);
    IndexFormat::SectionEntry entry(int section) const;

    QTemporaryDir m_dir;
    QByteArray m_good;
};

void TestIndexDamage::initTestCase()
{
    DataSources sources;
    sources.thesaurus = ServiceFixture::thesaurusPath();
    sources.wordList = ServiceFixture::wordListPath();
    const QString path = m_dir.filePath(QStringLiteral("good.idx"));
    QString error;
    QVERIFY2(IndexCompiler::compileTo(sources, path, &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_good = file.readAll();
    QCOMPARE(openChanged([](QByteArray *) {}, false), QString());
}

IndexFormat::SectionEntry TestIndexDamage::entry(int section) const
{
    IndexFormat::SectionEntry e{};
    std::memcpy(&e, m_good.constData() + sizeof(IndexFormat::Header) + section * sizeof e,
                sizeof e);
    return e;
}

QString TestIndexDamage::openChanged(const std::function<void(QByteArray *)> &edit, bool resum)
{
    QByteArray bytes = m_good;
    edit(&bytes);
    if (resum) {
        const size_t header = sizeof(IndexFormat::Header);
        const quint64 sum =
            IndexFormat::checksum(bytes.constData() + header, size_t(bytes.size()) - header);
        std::memcpy(bytes.data() + offsetof(IndexFormat::Header, checksum), &sum, sizeof sum);
    }
    const QString path = m_dir.filePath(QStringLiteral("changed.idx"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return QStringLiteral("cannot write");
    file.close();
    Lexicon lexicon;
    QString error;
    return lexicon.open(path, &error) ? QString() : error;
}

void TestIndexDamage::checksumCoversEveryByte()
{
    const qsizetype size = m_good.size();
    for (const qsizetype at :
         {qsizetype(sizeof(IndexFormat::Header)), size / 2, size - 9, size - 2, size - 1}) {
        const QString error =
            openChanged([at](QByteArray *b) { (*b)[at] = char((*b)[at] ^ 1); }, false);
        QVERIFY2(error.contains(QLatin1String("damaged")), qPrintable(QString::number(at)));
    }
}

namespace {
enum Damage
{
    LastOffsetPastEnd,
    OffsetFallsBack,
    CountBeyondFile,
    OffsetBeyondFile
};
} // namespace

// Each offset table must end exactly at its list's end and never fall back; each section must
// lie inside the file. Damage of each kind, in each section, with a checksum that fits.
void TestIndexDamage::everySectionIsChecked_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("damage");
    using namespace IndexFormat;
    for (const Section s :
         {WordOffsets, KeyOffsets, MeaningBegin, PostingBegin, CompoundBegin, CoocBegin}) {
        QTest::addRow("section %d, last offset past its list", s)
            << int(s) << int(LastOffsetPastEnd);
        QTest::addRow("section %d, offset falls back", s) << int(s) << int(OffsetFallsBack);
    }
    for (int s = 0; s < int(SectionCount); ++s) {
        QTest::addRow("section %d, count beyond the file", s) << s << int(CountBeyondFile);
        QTest::addRow("section %d, offset beyond the file", s) << s << int(OffsetBeyondFile);
    }
}

void TestIndexDamage::everySectionIsChecked()
{
    QFETCH(int, section);
    QFETCH(int, damage);
    const IndexFormat::SectionEntry e = entry(section);
    const qsizetype table = sizeof(IndexFormat::Header) + section * sizeof e;
    const auto u32 = [](QByteArray *b, qsizetype at, quint32 value) {
        std::memcpy(b->data() + at, &value, sizeof value);
    };
    const auto u64 = [](QByteArray *b, qsizetype at, quint64 value) {
        std::memcpy(b->data() + at, &value, sizeof value);
    };
    const bool offsets = damage == LastOffsetPastEnd || damage == OffsetFallsBack;
    QVERIFY(!offsets || e.count >= 2);
    const qsizetype last = offsets ? qsizetype(e.offset + (e.count - 1) * 4) : 0;
    quint32 lastValue = 0;
    std::memcpy(&lastValue, m_good.constData() + last, sizeof lastValue);
    const QString error = openChanged(
        [&](QByteArray *b) {
            switch (damage) {
            case LastOffsetPastEnd:
                u32(b, last, lastValue + 1);
                break;
            case OffsetFallsBack:
                u32(b, last - 4, lastValue + 1);
                break;
            case CountBeyondFile:
                u64(b, table + 8, quint64(m_good.size()));
                break;
            default:
                u64(b, table, quint64(m_good.size()) + 8);
                break;
            }
        },
        true);
    QVERIFY2(error.contains(QLatin1String("is damaged")), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestIndexDamage)
#include "tst_indexdamage.moc"
