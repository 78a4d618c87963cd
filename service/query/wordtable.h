#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// A small map from word numbers to values for the words of one query: open addressing in one
// block, since the standard hash map spends most of a query allocating its nodes. The blocks are
// kept by each thread from one query to the next, and a table is emptied by giving its block a
// new stamp: writing every slot empty cost more than the lookups of a whole query.
template <class Value> class WordTable
{
public:
    explicit WordTable(size_t expected = 512) : m_block(takeBlock(expected)) {}
    ~WordTable()
    {
        // What a thread keeps stays small: the block of a rare huge query goes.
        if (m_block->entries.size() <= keptEntries) {
            spareBlocks().push_back(std::move(m_block));
        }
    }
    WordTable(const WordTable &) = delete;
    WordTable &operator=(const WordTable &) = delete;

    // The value of the word, inserted as `initial` if new; *added tells which.
    Value &at(uint32_t word, const Value &initial, bool *added = nullptr)
    {
        if ((m_size + 1) * 2 > m_block->entries.size()) {
            grow();
        }
        Slot &slot = m_block->entries[slotOf(word)];
        const bool isNew = slot.stamp != m_block->stamp;
        if (isNew) {
            slot = {m_block->stamp, word, initial};
            ++m_size;
        }
        if (added) {
            *added = isNew;
        }
        return slot.value;
    }

    // The word's value, or null when it has none.
    const Value *find(uint32_t word) const
    {
        const Slot &slot = m_block->entries[slotOf(word)];
        return slot.stamp != m_block->stamp ? nullptr : &slot.value;
    }

private:
    static constexpr size_t keptEntries = 16384;

    struct Slot
    {
        uint32_t stamp; // the block's stamp when the slot was filled; any other is empty
        uint32_t word;
        Value value;
    };
    struct Block
    {
        std::vector<Slot> entries; // a power of two of them
        uint32_t stamp = 0;
    };

    static std::vector<std::unique_ptr<Block>> &spareBlocks()
    {
        thread_local std::vector<std::unique_ptr<Block>> blocks;
        return blocks;
    }

    static std::unique_ptr<Block> takeBlock(size_t expected)
    {
        std::vector<std::unique_ptr<Block>> &spare = spareBlocks();
        std::unique_ptr<Block> block;
        if (spare.empty()) {
            block = std::make_unique<Block>();
        } else {
            block = std::move(spare.back());
            spare.pop_back();
        }
        size_t size = 16;
        while (size < expected * 2) {
            size *= 2;
        }
        if (block->entries.size() < size) {
            block->entries.assign(size, Slot{0, 0, Value()});
            block->stamp = 0;
        }
        if (++block->stamp == 0) { // every stamp used: the block is emptied the long way
            block->entries.assign(block->entries.size(), Slot{0, 0, Value()});
            block->stamp = 1;
        }
        return block;
    }

    size_t slotOf(uint32_t word) const
    {
        const std::vector<Slot> &entries = m_block->entries;
        const size_t mask = entries.size() - 1;
        size_t i = (word * 2654435761u) & mask;
        while (entries[i].stamp == m_block->stamp && entries[i].word != word) {
            i = (i + 1) & mask;
        }
        return i;
    }

    void grow()
    {
        std::vector<Slot> old(m_block->entries.size() * 2, Slot{0, 0, Value()});
        old.swap(m_block->entries);
        for (const Slot &slot : old) {
            if (slot.stamp == m_block->stamp) {
                m_block->entries[slotOf(slot.word)] = slot;
            }
        }
    }

    std::unique_ptr<Block> m_block;
    size_t m_size = 0;
};
