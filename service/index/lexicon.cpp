#include "index/lexicon.h"

#include "index/indexformat.h"
#include "index/indexsections.h"
#include "language/inflection.h"

#include <QFileInfo>

#include <cstring>

#include <QtEndian>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using IndexFormat::Section;

QString rebuildHint(const QString &path)
{
    return QStringLiteral("make it anew with \"lexigrove-assocd --compile-index %1\" (or, in a "
                          "build folder, \"cmake --build . --target assoc-index\")")
        .arg(path);
}

// The checksum of everything after the header, read through a buffer rather than the mapping,
// so that the check does not leave the whole file resident.
bool fileChecksum(QFile *file, uint64_t *sum)
{
    if (!file->seek(qint64(sizeof(IndexFormat::Header)))) {
        return false;
    }
    QByteArray buffer(1 << 20, Qt::Uninitialized); // a multiple of 32, as the checksum needs
    IndexFormat::Checksum h;
    for (;;) {
        const qint64 got = file->read(buffer.data(), buffer.size());
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        h.add(buffer.constData(), size_t(got));
        if (got < buffer.size()) {
            break;
        }
    }
    *sum = h.value();
    return true;
}

#ifdef Q_OS_UNIX
// What stands at the path when it is no regular file, for the message.
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return QStringLiteral("is a directory, not a file");
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("is a named pipe, not a file");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("is a device, not a file");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("is a socket, not a file");
    }
    return QStringLiteral("is no regular file");
}

// Opens without blocking, which a named pipe would do until someone writes to it, and only
// what is a regular file. On failure, *problem says what stands there.
bool openRegular(QFile *file, QString *problem)
{
    const QByteArray path = QFile::encodeName(file->fileName());
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *problem = errno == ENOENT ? QStringLiteral("is missing")
                                   : QStringLiteral("cannot be read (%1)").arg(qt_error_string());
        return false;
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *problem = kindOf(info.st_mode);
        ::close(fd);
        return false;
    }
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        *problem = QStringLiteral("cannot be read (%1)").arg(file->errorString());
        ::close(fd);
        return false;
    }
    return true;
}
#endif

bool ascending(const uint32_t *values, size_t count, uint32_t last)
{
    for (size_t i = 1; i < count; ++i) {
        if (values[i] < values[i - 1]) {
            return false;
        }
    }
    return count > 0 && values[0] == 0 && values[count - 1] == last;
}

// What makes the index file unfit for this service, from its header and checksum: empty where
// nothing does.
QString headerProblem(QFile *file)
{
    IndexFormat::Header header{};
    if (file->read(reinterpret_cast<char *>(&header), sizeof header) != qint64(sizeof header) ||
        std::memcmp(header.magic, IndexFormat::magic, sizeof header.magic) != 0) {
        return QStringLiteral("is not an association index");
    }
    if (header.byteOrderMark == qbswap(IndexFormat::byteOrderMark)) {
        return QStringLiteral("was written for a machine of the other byte order");
    }
    if (header.version != IndexFormat::version ||
        header.byteOrderMark != IndexFormat::byteOrderMark) {
        return QStringLiteral("has version %1, this service reads version %2")
            .arg(header.version)
            .arg(IndexFormat::version);
    }
    uint64_t sum = 0;
    if (header.fileSize != uint64_t(file->size()) || !fileChecksum(file, &sum) ||
        sum != header.checksum) {
        return QStringLiteral("is truncated or damaged");
    }
    return {};
}

} // namespace

Lexicon::Lexicon() = default;
Lexicon::~Lexicon() = default;
Lexicon::Lexicon(Lexicon &&) noexcept = default;
Lexicon &Lexicon::operator=(Lexicon &&) noexcept = default;

bool Lexicon::open(const QString &indexPath, QString *error)
{
    *this = Lexicon();
    auto file = std::make_unique<QFile>(indexPath);
    const auto fail = [&](const QString &what) {
        *error = QStringLiteral("the association index %1 %2; %3")
                     .arg(indexPath, what, rebuildHint(indexPath));
        return false;
    };
    QString problem;
#ifdef Q_OS_UNIX
    if (!openRegular(file.get(), &problem)) {
        return fail(problem);
    }
#else
    if (!QFileInfo(indexPath).isFile()) {
        return fail(QStringLiteral("is missing"));
    }
    if (!file->open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("cannot be read (%1)").arg(file->errorString()));
    }
#endif
#ifdef Q_OS_UNIX
    // With read-ahead the kernel caches the file in blocks of up to megabytes, and a query
    // that touches one word of a block then keeps the whole block resident.
    posix_fadvise(file->handle(), 0, 0, POSIX_FADV_RANDOM);
#endif
    const QString wrong = headerProblem(file.get());
    if (!wrong.isEmpty()) {
        return fail(wrong);
    }
    const uchar *mapped = file->map(0, file->size());
    if (!mapped) {
        return fail(QStringLiteral("cannot be mapped (%1)").arg(file->errorString()));
    }
#ifdef Q_OS_UNIX
    // Queries read a few scattered entries; reading ahead would only fill memory.
    madvise(const_cast<uchar *>(mapped), size_t(file->size()), MADV_RANDOM);
#endif
    if (!attach(reinterpret_cast<const char *>(mapped), size_t(file->size()), &problem)) {
        *this = Lexicon();
        return fail(QStringLiteral("is damaged (%1)").arg(problem));
    }
#ifdef Q_OS_UNIX
    // The check above read whole tables; a query needs only a few pages of them, which come
    // back from the page cache when touched.
    madvise(const_cast<uchar *>(mapped), size_t(file->size()), MADV_DONTNEED);
#endif
    m_file = std::move(file);
    return true;
}

uint32_t Lexicon::otherCaseBaseOf(uint32_t key) const
{
    const uint32_t *pairs = array<uint32_t>(IndexFormat::CaseReadings);
    size_t low = 0;
    size_t high = m_sections[IndexFormat::CaseReadings].count / 2;
    while (low < high) {
        const size_t middle = (low + high) / 2;
        const uint32_t at = pairs[middle * 2];
        if (at == key) {
            const uint32_t base = pairs[middle * 2 + 1];
            return base < keyCount() ? base : npos;
        }
        if (at < key) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return npos;
}

bool Lexicon::definitionNamesKey(uint32_t key, size_t place) const
{
    const Ids list = cooccurrentsOf(key);
    const size_t at = size_t(list.first - array<uint32_t>(IndexFormat::Cooc)) + place;
    const uint8_t *bits = array<uint8_t>(IndexFormat::CoocDefining);
    return place < list.size() && at < m_sections[IndexFormat::CoocDefining].count * 8 &&
           (bits[at / 8] >> (at % 8) & 1u) != 0;
}

std::vector<uint32_t> Lexicon::looselyPairedOf(uint32_t key) const
{
    const Ids list = cooccurrentsOf(key);
    const uint8_t *bits = array<uint8_t>(IndexFormat::CoocLoose);
    const size_t bitCount = m_sections[IndexFormat::CoocLoose].count * 8;
    size_t at = size_t(list.first - array<uint32_t>(IndexFormat::Cooc));
    std::vector<uint32_t> words;
    for (const uint32_t word : list) {
        if (at < bitCount && (bits[at / 8] >> (at % 8) & 1u) != 0) {
            words.push_back(word);
        }
        ++at;
    }
    return words;
}

Lexicon::CompoundCut Lexicon::cutOf(uint32_t key) const
{
    const uint32_t *cuts = array<uint32_t>(IndexFormat::CompoundCuts);
    size_t low = 0;
    size_t high = m_sections[IndexFormat::CompoundCuts].count / 4;
    while (low < high) {
        const size_t middle = (low + high) / 2;
        const uint32_t *at = cuts + middle * 4;
        if (at[0] == key) {
            const auto checked = [&](uint32_t part) { return part < keyCount() ? part : npos; };
            const uint32_t link = at[2];
            return {checked(at[1]), checked(at[3]),
                    link > 0 && link <= std::size(Inflection::linkingElements)
                        ? Inflection::linkingElements[link - 1]
                        : std::string_view()};
        }
        if (at[0] < key) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return {};
}

bool Lexicon::adopt(const QByteArray &image, QString *error)
{
    *this = Lexicon();
    m_image = image;
    if (!attach(m_image.constData(), size_t(m_image.size()), error)) {
        *this = Lexicon();
        return false;
    }
    return true;
}

// Checks the layout of an index image and points the tables into it. The entries of the lists
// are not checked here: every accessor checks the numbers it is given.
bool Lexicon::attach(const char *data, size_t size, QString *error)
{
    using namespace IndexFormat;
    using IndexSections::sections;
    Header header{};
    const size_t tableEnd = sizeof header + sizeof(SectionEntry) * SectionCount;
    if (size < tableEnd) {
        *error = QStringLiteral("too short");
        return false;
    }
    std::memcpy(&header, data, sizeof header);
    if (std::memcmp(header.magic, magic, sizeof magic) != 0 || header.version != version ||
        header.sectionCount != SectionCount || header.fileSize != size) {
        *error = QStringLiteral("wrong header");
        return false;
    }
    m_checksum = header.checksum;
    SectionEntry entries[SectionCount];
    std::memcpy(entries, data + sizeof header, sizeof entries);
    for (uint32_t s = 0; s < SectionCount; ++s) {
        const SectionEntry &e = entries[s];
        if (e.offset % 8 != 0 || e.offset < tableEnd || e.offset > size ||
            e.count > (size - e.offset) / sections[s].elementSize) {
            *error = QStringLiteral("section %1 lies outside the file").arg(s);
            return false;
        }
        m_sections[s] = {data + e.offset, size_t(e.count)};
    }
    if (m_sections[WordOffsets].count == 0 || m_sections[KeyOffsets].count == 0 ||
        m_sections[MeaningBegin].count == 0) {
        *error = QStringLiteral("empty tables");
        return false;
    }
    if (!sectionsAgree()) {
        *error = QStringLiteral("inconsistent tables");
        return false;
    }
    const uint32_t words = uint32_t(m_sections[WordOffsets].count - 1);
    const uint32_t keys = uint32_t(m_sections[KeyOffsets].count - 1);
    m_words =
        StringTable(m_sections[WordText].data, array<uint32_t>(WordOffsets), words, nullptr, 0);
    m_keys = StringTable(m_sections[KeyText].data, array<uint32_t>(KeyOffsets), keys,
                         reinterpret_cast<const StringTable::Slot *>(m_sections[KeySlots].data),
                         m_sections[KeySlots].count);
    m_meaningCount = uint32_t(m_sections[MeaningBegin].count - 1);
    return true;
}

// Whether each section holds as many elements as its entry in IndexSections says.
bool Lexicon::sectionsAgree() const
{
    using namespace IndexFormat;
    using IndexSections::Extent;
    const uint64_t words = m_sections[WordOffsets].count - 1;
    const uint64_t keys = m_sections[KeyOffsets].count - 1;
    if (words >= UINT32_MAX || keys >= UINT32_MAX) {
        return false;
    }
    // Offsets into the section after them, ending at its size.
    const auto beginsNext = [&](uint32_t s) {
        const uint64_t next = m_sections[s + 1].count;
        return next < UINT32_MAX &&
               ascending(array<uint32_t>(Section(s)), m_sections[s].count, uint32_t(next));
    };
    for (uint32_t s = 0; s < SectionCount; ++s) {
        const uint64_t count = m_sections[s].count;
        bool agrees = true;
        switch (IndexSections::sections[s].extent) {
        case Extent::Free:
            break;
        case Extent::TextOffsets: // the text comes before its offsets
            agrees =
                ascending(array<uint32_t>(Section(s)), count, uint32_t(m_sections[s - 1].count));
            break;
        case Extent::HashSlots:
            agrees = count > keys && (count & (count - 1)) == 0;
            break;
        case Extent::PerWord:
            agrees = count == words;
            break;
        case Extent::PerKey:
            agrees = count == keys;
            break;
        case Extent::ListBegins:
            agrees = count == keys + 1 && beginsNext(s);
            break;
        case Extent::MeaningBegins:
            agrees = beginsNext(s);
            break;
        case Extent::Pairs:
            agrees = count % 2 == 0;
            break;
        case Extent::Quadruples:
            agrees = count % 4 == 0;
            break;
        }
        if (!agrees) {
            return false;
        }
    }
    return true;
}
