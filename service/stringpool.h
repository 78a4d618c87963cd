#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Each distinct string once, numbered in the order of first appearance. The texts live in one
// block, so a few hundred thousand words cost little more than their bytes.
class StringPool
{
public:
    static constexpr uint32_t npos = UINT32_MAX;

    void reserve(size_t bytes, size_t count);

    // The number of the string, adding it when it is new; *added tells which it was.
    uint32_t intern(std::string_view s, bool *added = nullptr);
    uint32_t find(std::string_view s) const;

    std::string_view at(uint32_t id) const
    {
        return std::string_view(m_text.data() + m_offsets[id], m_offsets[id + 1] - m_offsets[id]);
    }
    uint32_t size() const { return uint32_t(m_offsets.size() - 1); }
    size_t byteSize() const { return m_text.size(); }

private:
    static uint32_t hash(std::string_view s);
    size_t slotOf(std::string_view s, uint32_t h) const;
    void rehash(size_t slots);

    std::string m_text;
    std::vector<uint32_t> m_offsets{0};
    struct Slot
    {
        uint32_t idPlusOne; // 0 for a free slot
        uint32_t hash;      // kept here so that a probe rarely has to look at a text
    };
    std::vector<Slot> m_slots; // open addressing
};
