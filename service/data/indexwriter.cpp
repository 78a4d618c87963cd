#include "indexwriter.h"

#include "indexformat.h"
#include "lexicontables.h"

#include <cstring>

namespace IndexWriter {

namespace {

struct Part
{
    const void *data;
    size_t count;
};

template <class T> Part part(const std::vector<T> &v)
{
    return {v.data(), v.size()};
}

} // namespace

QByteArray image(const LexiconTables &t)
{
    using namespace IndexFormat;
    const Part parts[SectionCount] = {
        {t.words.text().data(), t.words.text().size()},
        part(t.words.offsets()),
        {t.keys.text().data(), t.keys.text().size()},
        part(t.keys.offsets()),
        part(t.keys.hashSlots()),
        part(t.wordKey),
        part(t.wordFlags),
        part(t.keyWord),
        part(t.keyBase),
        part(t.keyCommonness),
        part(t.meaningBegin),
        part(t.members),
        part(t.postingBegin),
        part(t.postings),
        part(t.compoundBegin),
        part(t.compounds),
        part(t.coocBegin),
        part(t.cooc),
        part(t.caseReadings),
    };
    SectionEntry entries[SectionCount];
    size_t offset = sizeof(Header) + sizeof entries;
    for (uint32_t s = 0; s < SectionCount; ++s) {
        offset = (offset + 7) & ~size_t(7);
        entries[s] = {offset, parts[s].count};
        offset += parts[s].count * elementSize[s];
    }
    offset = (offset + 7) & ~size_t(7);
    QByteArray out(qsizetype(offset), '\0');
    char *base = out.data();
    std::memcpy(base + sizeof(Header), entries, sizeof entries);
    for (uint32_t s = 0; s < SectionCount; ++s) {
        if (parts[s].count > 0) {
            std::memcpy(base + entries[s].offset, parts[s].data, parts[s].count * elementSize[s]);
        }
    }
    Header header{};
    std::memcpy(header.magic, magic, sizeof magic);
    header.version = version;
    header.byteOrderMark = byteOrderMark;
    header.fileSize = offset;
    header.sectionCount = SectionCount;
    header.checksum = checksum(base + sizeof header, offset - sizeof header);
    std::memcpy(base, &header, sizeof header);
    return out;
}

} // namespace IndexWriter
