#include "index/stringpool.h"

void StringPool::reserve(size_t bytes, size_t count)
{
    m_text.reserve(bytes);
    m_offsets.reserve(count + 1);
    size_t slots = 16;
    while (slots < count * 2) {
        slots *= 2;
    }
    if (slots > m_slots.size()) {
        rehash(slots);
    }
}

void StringPool::shrinkSlots()
{
    size_t slots = 16;
    while (slots * 3 < size_t(size()) * 4 + 4) {
        slots *= 2;
    }
    if (slots < m_slots.size()) {
        rehash(slots);
    }
}

uint32_t StringTable::hash(std::string_view s)
{
    // FNV-1a: short keys, and no seed is needed for data that the service itself loads.
    uint32_t h = 2166136261u;
    for (const char c : s) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return h;
}

size_t StringPool::slotOf(std::string_view s, uint32_t h) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.idPlusOne == 0 || (slot.hash == h && at(slot.idPlusOne - 1) == s)) {
            return i;
        }
    }
}

void StringPool::rehash(size_t slots)
{
    std::vector<Slot> old(slots, Slot{0, 0});
    old.swap(m_slots);
    const size_t mask = slots - 1;
    for (const Slot &slot : old) {
        if (slot.idPlusOne == 0) {
            continue;
        }
        size_t i = slot.hash & mask;
        while (m_slots[i].idPlusOne != 0) {
            i = (i + 1) & mask;
        }
        m_slots[i] = slot;
    }
}

uint32_t StringPool::intern(std::string_view s, bool *added)
{
    if ((size_t(size()) + 1) * 2 > m_slots.size()) {
        rehash(m_slots.empty() ? 16 : m_slots.size() * 2);
    }
    const uint32_t h = hash(s);
    const size_t slot = slotOf(s, h);
    const bool isNew = m_slots[slot].idPlusOne == 0;
    if (added) {
        *added = isNew;
    }
    if (!isNew) {
        return m_slots[slot].idPlusOne - 1;
    }
    const uint32_t id = size();
    m_text.append(s);
    m_offsets.push_back(uint32_t(m_text.size()));
    m_slots[slot] = Slot{id + 1, h};
    return id;
}

uint32_t StringPool::find(std::string_view s) const
{
    if (m_slots.empty()) {
        return npos;
    }
    const uint32_t entry = m_slots[slotOf(s, hash(s))].idPlusOne;
    return entry == 0 ? npos : entry - 1;
}

uint32_t StringTable::find(std::string_view s) const
{
    if (m_slotCount == 0) {
        return npos;
    }
    const uint32_t h = hash(s);
    const size_t mask = m_slotCount - 1;
    // A damaged table may have no free slot; the probe never goes round more than once.
    for (size_t i = h & mask, probes = 0; probes < m_slotCount; i = (i + 1) & mask, ++probes) {
        const Slot &slot = m_slots[i];
        if (slot.idPlusOne == 0) {
            return npos;
        }
        if (slot.hash == h && at(slot.idPlusOne - 1) == s) {
            return slot.idPlusOne - 1;
        }
    }
    return npos;
}
