#include "data/indexwriter.h"

#include "index/indexformat.h"
#include "index/indexsections.h"
#include "index/lexicontables.h"

#include <cstring>

namespace IndexWriter {

QByteArray image(const LexiconTables &t)
{
    using namespace IndexFormat;
    using IndexSections::sections;
    IndexSections::Elements parts[SectionCount];
    for (uint32_t s = 0; s < SectionCount; ++s) {
        parts[s] = sections[s].of(t);
    }
    SectionEntry entries[SectionCount];
    size_t offset = sizeof(Header) + sizeof entries;
    for (uint32_t s = 0; s < SectionCount; ++s) {
        offset = (offset + 7) & ~size_t(7);
        entries[s] = {offset, parts[s].count};
        offset += parts[s].count * sections[s].elementSize;
    }
    offset = (offset + 7) & ~size_t(7);
    QByteArray out(qsizetype(offset), '\0');
    char *base = out.data();
    std::memcpy(base + sizeof(Header), entries, sizeof entries);
    for (uint32_t s = 0; s < SectionCount; ++s) {
        if (parts[s].count > 0) {
            std::memcpy(base + entries[s].offset, parts[s].data,
                        parts[s].count * sections[s].elementSize);
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
