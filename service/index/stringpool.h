#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A read-only table of numbered strings with a hash index, as a StringPool lays it out: all
// texts in one block, their offsets, and open-addressing slots. It only points at the arrays,
// which may lie in a mapped index file.
class StringTable
{
public:
    static constexpr uint32_t npos = UINT32_MAX;

    struct Slot
    {
        uint32_t idPlusOne; // 0 for a free slot
        uint32_t hash;      // kept here so that a probe rarely has to look at a text
    };

    StringTable() = default;
    // offsets has count + 1 entries; slotCount is a power of two above count.
    StringTable(const char *text, const uint32_t *offsets, uint32_t count, const Slot *slots,
                size_t slotCount)
        : m_text(text), m_offsets(offsets), m_count(count), m_slots(slots), m_slotCount(slotCount)
    {}

    std::string_view at(uint32_t id) const
    {
        return id < m_count
                   ? std::string_view(m_text + m_offsets[id], m_offsets[id + 1] - m_offsets[id])
                   : std::string_view();
    }
    uint32_t size() const { return m_count; }
    uint32_t find(std::string_view s) const;

    static uint32_t hash(std::string_view s);

private:
    const char *m_text = nullptr;
    const uint32_t *m_offsets = nullptr;
    uint32_t m_count = 0;
    const Slot *m_slots = nullptr;
    size_t m_slotCount = 0;
};

// Each distinct string once, numbered in the order of first appearance. The texts live in one
// block, so a few hundred thousand words cost little more than their bytes.
class StringPool
{
public:
    static constexpr uint32_t npos = UINT32_MAX;
    using Slot = StringTable::Slot;

    void reserve(size_t bytes, size_t count);
    // Once no more strings come: the fewest hash slots that keep lookups quick (at most three
    // in four used), since the slots are a large part of an index file read at every start.
    void shrinkSlots();

    // The number of the string, adding it when it is new; *added tells which it was.
    uint32_t intern(std::string_view s, bool *added = nullptr);
    uint32_t find(std::string_view s) const;

    std::string_view at(uint32_t id) const
    {
        return std::string_view(m_text.data() + m_offsets[id], m_offsets[id + 1] - m_offsets[id]);
    }
    uint32_t size() const { return uint32_t(m_offsets.size() - 1); }
    size_t byteSize() const { return m_text.size(); }

    // The arrays, for writing them into an index.
    const std::string &text() const { return m_text; }
    const std::vector<uint32_t> &offsets() const { return m_offsets; }
    const std::vector<Slot> &hashSlots() const { return m_slots; }

private:
    static uint32_t hash(std::string_view s) { return StringTable::hash(s); }
    size_t slotOf(std::string_view s, uint32_t h) const;
    void rehash(size_t slots);

    std::string m_text;
    std::vector<uint32_t> m_offsets{0};
    std::vector<Slot> m_slots; // open addressing
};
