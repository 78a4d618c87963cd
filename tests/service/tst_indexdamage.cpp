#include "data/datasources.h"
#include "data/indexcompiler.h"
#include "data/indexwriter.h"
#include "data/lexiconbuilder.h"
#include "data/wordlistreader.h"
#include "index/indexformat.h"
#include "index/indexsections.h"
#include "index/indexwatch.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "servicefixture.h"
#include "support/tempenvironment.h"
#include "support/watchdog.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The index is mapped and read without further checks, so every way it can be damaged must be
// found when it is opened: in each section, at its last entry, and also where the checksum
// still fits (a file damaged before its checksum was made).
class TestIndexDamage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void unusableFilesAreExplained();
    void checksumCoversEveryByte();
    void everySectionIsChecked_data();
    void everySectionIsChecked();
    void countsAgreeAcrossSections();
    void fullSlotTableIsRefused();
    void unrelatedCrashStillCrashes();

private:
    // Opens a copy of the good index changed by edit, with its checksum made anew if asked;
    // returns the message, empty when the copy opened.
    QString openChanged(const std::function<void(QByteArray *)> &edit, bool resum = false);

    QTemporaryDir m_dir;
    QByteArray m_good;
};

namespace {

enum Damage
{
    FirstOffsetNotZero,
    LastOffsetPastEnd,
    LastOffsetShort,
    OffsetFallsBack,
    CountBeyondFile,
    OffsetBeyondFile,
    OffsetInHeader,
    OffsetMisaligned
};

template <class T> void put(QByteArray *bytes, qsizetype at, T value)
{
    std::memcpy(bytes->data() + at, &value, sizeof value);
}

} // namespace

void TestIndexDamage::initTestCase()
{
    const TestSupport::Watchdog watchdog("compiling the index to damage", 120);
    DataSources sources;
    sources.thesaurus = ServiceFixture::thesaurusPath();
    sources.wordList = ServiceFixture::wordListPath();
    const QString path = m_dir.filePath(u"good.idx"_s);
    QString error;
    QVERIFY2(IndexCompiler::compileTo(sources, path, &error), qPrintable(error));
    m_good = TestSupport::readBytes(path);
    QCOMPARE(openChanged([](QByteArray *) {}), QString());
}

QString TestIndexDamage::openChanged(const std::function<void(QByteArray *)> &edit, bool resum)
{
    QByteArray bytes = m_good;
    edit(&bytes);
    if (resum) {
        const size_t header = sizeof(IndexFormat::Header);
        put(&bytes, offsetof(IndexFormat::Header, checksum),
            IndexFormat::checksum(bytes.constData() + header, size_t(bytes.size()) - header));
    }
    const QString path = m_dir.filePath(u"changed.idx"_s);
    TestSupport::writeBytes(path, bytes);
    Lexicon lexicon;
    QString error;
    return lexicon.open(path, &error) ? QString() : error;
}

// The service ends with the message, which tells how to make the index anew.
void TestIndexDamage::unusableFilesAreExplained()
{
    const QList<std::pair<std::function<void(QByteArray *)>, const char *>> cases{
        {[](QByteArray *b) { b->truncate(b->size() / 2); }, "truncated"},
        {[](QByteArray *b) { (*b)[8] = 99; }, "has version 99"},
        {[](QByteArray *b) { (*b)[8] = 1; }, "has version 1"},
        // Written on a machine of the other byte order: the mark reads reversed.
        {[](QByteArray *b) {
             put(b, offsetof(IndexFormat::Header, byteOrderMark), quint32(0x04030201));
         },
         "other byte order"},
        {[](QByteArray *b) { *b = "UTF-8\nbaum|1\n"; }, "is not an association index"},
        {[](QByteArray *b) { b->clear(); }, "is not an association index"}};
    for (const auto &[edit, expected] : cases) {
        const QString error = openChanged(edit);
        for (const QString &part :
             {u"changed.idx"_s, QString::fromUtf8(expected), u"--compile-index"_s})
            QVERIFY2(error.contains(part), qPrintable(error));
    }
    Lexicon lexicon;
    QString error;
    QVERIFY(!lexicon.open(m_dir.filePath(u"none.idx"_s), &error));
    QVERIFY2(error.contains(QLatin1String("none.idx is missing")), qPrintable(error));
}

void TestIndexDamage::checksumCoversEveryByte()
{
    // Data may come in pieces of multiples of 32 bytes: the sum is the one of the whole.
    IndexFormat::Checksum pieces;
    pieces.add(m_good.constData(), 64);
    pieces.add(m_good.constData() + 64, size_t(m_good.size()) - 64);
    QCOMPARE(pieces.value(), IndexFormat::checksum(m_good.constData(), size_t(m_good.size())));
    const qsizetype size = m_good.size();
    for (const qsizetype at :
         {qsizetype(sizeof(IndexFormat::Header)), size / 2, size - 9, size - 2, size - 1}) {
        const QString error = openChanged([at](QByteArray *b) { (*b)[at] = char((*b)[at] ^ 1); });
        QVERIFY2(error.contains(QLatin1String("damaged")), qPrintable(QString::number(at)));
    }
    // A file larger than the reader's buffer is summed to its end: padded to 3 MiB with its
    // size and sum made anew, it opens, and a byte changed far past the first MiB is found.
    for (const qsizetype at : {qsizetype(0), qsizetype(5) << 19}) {
        const QString error = openChanged([at](QByteArray *b) {
            b->append(QByteArray((qsizetype(3) << 20) - b->size(), '\0'));
            put(b, offsetof(IndexFormat::Header, fileSize), quint64(b->size()));
            const size_t header = sizeof(IndexFormat::Header);
            put(b, offsetof(IndexFormat::Header, checksum),
                IndexFormat::checksum(b->constData() + header, size_t(b->size()) - header));
            (*b)[at] = char((*b)[at] ^ (at ? 1 : 0));
        });
        QVERIFY2(at ? error.contains(QLatin1String("damaged")) : error.isEmpty(),
                 qPrintable(error));
    }
}

// Each offset table must begin at 0, end exactly at its list's end and never fall back; each
// section must lie inside the file. Damage of each kind, in each section, with a checksum that
// fits.
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
        QTest::addRow("section %d, last offset short of its list", s)
            << int(s) << int(LastOffsetShort);
        QTest::addRow("section %d, misaligned", s) << int(s) << int(OffsetMisaligned);
        QTest::addRow("section %d, first offset not 0", s) << int(s) << int(FirstOffsetNotZero);
    }
    for (int s = 0; s < int(SectionCount); ++s) {
        QTest::addRow("section %d, count beyond the file", s) << s << int(CountBeyondFile);
        QTest::addRow("section %d, offset beyond the file", s) << s << int(OffsetBeyondFile);
        QTest::addRow("section %d, offset in the header", s) << s << int(OffsetInHeader);
    }
}

void TestIndexDamage::everySectionIsChecked()
{
    QFETCH(int, section);
    QFETCH(int, damage);
    IndexFormat::SectionEntry e{};
    const qsizetype table = sizeof(IndexFormat::Header) + section * sizeof e;
    std::memcpy(&e, m_good.constData() + table, sizeof e);
    const qsizetype last = qsizetype(e.offset + (e.count - 1) * 4);
    quint32 lastValue = 0;
    if (damage == LastOffsetPastEnd || damage == OffsetFallsBack || damage == LastOffsetShort)
        std::memcpy(&lastValue, m_good.constData() + last, sizeof lastValue);
    const QString error = openChanged(
        [&](QByteArray *b) {
            if (damage == FirstOffsetNotZero)
                put(b, qsizetype(e.offset), quint32(1));
            else if (damage == OffsetMisaligned)
                put(b, table, quint64(e.offset + 4));
            else if (damage == OffsetBeyondFile || damage == OffsetInHeader)
                put(b, table, quint64(damage == OffsetInHeader ? 0 : m_good.size() + 8));
            else if (damage == CountBeyondFile) // one element more than the bytes left hold
                put(b, table + 8,
                    quint64((m_good.size() - e.offset) /
                                IndexSections::sections[section].elementSize +
                            1));
            else
                put(b, damage == OffsetFallsBack ? last - 4 : last,
                    damage == LastOffsetShort ? lastValue - 1 : lastValue + 1);
        },
        true);
    QVERIFY2(error.contains(QLatin1String("is damaged")), qPrintable(error));
    // Tables read from a shifted start, or running past the end, could look consistent enough
    // to be used.
    QVERIFY2(damage < CountBeyondFile || error.contains(QLatin1String("lies outside")),
             qPrintable(error));
}

// Counts that fit the file but not the other sections: one base for all keys, one begin for all
// lists, half a pair, a slot table of no power of two.
void TestIndexDamage::countsAgreeAcrossSections()
{
    using namespace IndexFormat;
    for (const Section s : {KeyBase, CoocBegin, CaseReadings}) {
        const qsizetype count = sizeof(Header) + s * sizeof(SectionEntry) + 8;
        const QString error = openChanged([&](QByteArray *b) { put(b, count, quint64(1)); }, true);
        QVERIFY2(error.contains(QLatin1String("inconsistent")), qPrintable(error));
    }
    // A slot table is found by masking the hash: one slot fewer than its power of two, though
    // still more than the keys, leaves keys where no search looks.
    const qsizetype slotCount = sizeof(Header) + KeySlots * sizeof(SectionEntry) + 8;
    const QString error = openChanged(
        [&](QByteArray *b) {
            quint64 count = 0;
            std::memcpy(&count, b->constData() + slotCount, sizeof count);
            put(b, slotCount, count - 1);
        },
        true);
    QVERIFY2(error.contains(QLatin1String("inconsistent")), qPrintable(error));
}

// A slot table with no free slot would never end the search for a missing key: a table of as
// many slots as keys is refused. Word lists are tried until one gives a power of two of keys.
void TestIndexDamage::fullSlotTableIsRefused()
{
    using namespace IndexFormat;
    QByteArray list;
    for (int n = 0; n < 100; ++n) {
        list +=
            "Quax" + QByteArray(1, char('a' + n % 26)) + QByteArray(1, char('a' + n / 26)) + "\n";
        LexiconTables tables;
        LexiconBuilder builder(&tables);
        WordListReader::read(list, &builder);
        builder.finish();
        QByteArray image = IndexWriter::image(tables);
        Lexicon lexicon;
        QString error;
        QVERIFY2(lexicon.adopt(image, &error), qPrintable(error));
        const quint64 keys = lexicon.keyCount();
        if ((keys & (keys - 1)) != 0)
            continue;
        put(&image, sizeof(Header) + KeySlots * sizeof(SectionEntry) + 8, keys);
        QVERIFY(!lexicon.adopt(image, &error));
        QVERIFY2(error.contains(QLatin1String("inconsistent")), qPrintable(error));
        return;
    }
    QFAIL("no word list gave a power of two of keys");
}

// With the index watched but unchanged, a fault elsewhere still ends the process by its signal.
void TestIndexDamage::unrelatedCrashStillCrashes()
{
    const QString path = m_dir.filePath(u"watched.idx"_s);
    TestSupport::writeBytes(path, "unchanged");
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        IndexWatch::start(::open(QFile::encodeName(path).constData(), O_RDONLY), path);
        ::alarm(5); // should the handler swallow the fault and repeat it forever
        // A write to a read-only page: a real fault, which no sanitizer takes for undefined code.
        void *page = ::mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        *static_cast<volatile char *>(page) = 1;
        ::_exit(0);
    }
    int status = 0;
    pid_t ended = 0;
    QDeadlineTimer deadline(10000);
    while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 && !deadline.hasExpired())
        QTest::qSleep(10);
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        QFAIL("the child did not end");
    }
    QVERIFY2(WIFSIGNALED(status), qPrintable(QString("exit status %1").arg(status)));
    QCOMPARE(WTERMSIG(status), SIGSEGV);
}

QTEST_GUILESS_MAIN(TestIndexDamage)
#include "tst_indexdamage.moc"
