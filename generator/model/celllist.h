// Order-preserving lists of cell indices used as the candidate and pin lists.
//
// Both classes behave exactly like a plain sequence: entries are appended at the
// end, at(k) is the k-th remaining entry, removeFirst(c) takes out the first
// occurrence of c and shifts the later entries down. LinearCellList is that plain
// sequence (linear search, quadratic overall); IndexedCellList keeps the same
// indices with a bit per append slot, a Fenwick tree over blocks of those bits and
// each cell's first appended slot, so at(k) and removeFirst(c) are logarithmic; its slots
// are released whenever the list becomes empty.
#pragma once

#include "hugepageallocator.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

class LinearCellList
{
public:
    explicit LinearCellList(int32_t cellCount = 0) { (void)cellCount; }

    void appendSequential(int32_t n)
    {
        m_entries.reserve(m_entries.size() + size_t(n));
        for (int32_t i = 0; i < n; ++i)
            m_entries.push_back(i);
    }
    void append(int32_t cell) { m_entries.push_back(cell); }
    int32_t size() const { return int32_t(m_entries.size()); }
    bool empty() const { return m_entries.empty(); }
    int32_t at(int32_t k) const { return m_entries[size_t(k)]; }
    void prefetch(int32_t) const { }
    bool removeFirst(int32_t cell)
    {
        auto it = std::find(m_entries.begin(), m_entries.end(), cell);
        if (it == m_entries.end())
            return false;
        m_entries.erase(it);
        return true;
    }

private:
    std::vector<int32_t> m_entries;
};

class IndexedCellList
{
public:
    // cellCount: cell indices range over 0 .. cellCount - 1.
    explicit IndexedCellList(int32_t cellCount)
        : m_cellCount(cellCount)
    {
        m_tree.push_back(0); // Fenwick tree is 1-based
    }

    // Appends the cells 0 .. n - 1 in order (linear-time construction). Only on an
    // empty list.
    void appendSequential(int32_t n)
    {
        if (slotCount() != 0) {
            for (int32_t i = 0; i < n; ++i)
                append(i);
            return;
        }
        m_identitySlots = n;
        const int32_t words = (n + kWordBits - 1) / kWordBits;
        m_alive.assign(size_t(words), ~uint64_t(0));
        if (n % kWordBits != 0)
            m_alive.back() = (uint64_t(1) << (n % kWordBits)) - 1;
        const int32_t blocks = (words + kBlockWords - 1) / kBlockWords;
        m_tree.assign(size_t(blocks) + 1, 0);
        for (int32_t word = 0; word < words; ++word)
            m_tree[size_t(word / kBlockWords + 1)] += popCount(m_alive[size_t(word)]);
        for (int32_t i = 1; i <= blocks; ++i) {
            const int32_t j = i + (i & -i);
            if (j <= blocks)
                m_tree[size_t(j)] += m_tree[size_t(i)];
        }
        m_size = n;
    }

    void append(int32_t cell)
    {
        const int32_t slot = slotCount();
        m_slotCell.push_back(cell);
        if (m_first.empty())
            m_first.assign(size_t(m_cellCount), -1);
        int32_t &first = m_first[size_t(cell)];
        if (first < 0) {
            first = slot;
        } else {
            const auto last = m_lastSlot.find(cell);
            m_nextSlot[last == m_lastSlot.end() ? first : last->second] = slot;
            m_lastSlot[cell] = slot;
        }
        const int32_t word = slot / kWordBits;
        if (word == int32_t(m_alive.size())) {
            m_alive.push_back(0);
            if (word % kBlockWords == 0) {
                // Fenwick node i covers blocks (i - lowbit(i), i]; the new block counts nothing yet.
                const int32_t i = word / kBlockWords + 1;
                m_tree.push_back(prefix(i - 1) - prefix(i - (i & -i)));
            }
        }
        m_alive[size_t(word)] |= uint64_t(1) << (slot % kWordBits);
        addToBlock(word / kBlockWords, 1);
        ++m_size;
    }

    int32_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    // Append slots in use, removed entries included.
    int32_t slotCount() const { return m_identitySlots + int32_t(m_slotCell.size()); }

    // The k-th remaining entry (0-based); k must be in 0 .. size() - 1.
    int32_t at(int32_t k) const
    {
        const int32_t n = int32_t(m_tree.size()) - 1;
        int32_t block = 0;
        int32_t rest = k + 1;
        // Each level goes either way at random, so it masks instead of branching.
        for (int32_t step = highestPowerOfTwo(n); step > 0; step /= 2) {
            const int32_t next = block + step;
            const int32_t count = m_tree[size_t(std::min(next, n))];
            const int32_t right = -(int32_t(next <= n) & int32_t(count < rest));
            block += step & right;
            rest -= count & right;
        }
        // Node block + 1 holds the entry, the rest-th alive slot of its block.
        int32_t word = block * kBlockWords;
        for (int32_t count = popCount(m_alive[size_t(word)]); count < rest; count = popCount(m_alive[size_t(word)])) {
            rest -= count;
            ++word;
        }
        const int32_t slot = word * kWordBits + nthSetBit(m_alive[size_t(word)], rest - 1);
        return slot < m_identitySlots ? slot : m_slotCell[size_t(slot - m_identitySlots)];
    }

    // Starts loading what removeFirst(cell) reads, so that several lookups overlap.
    void prefetch(int32_t cell) const
    {
        if (!m_first.empty())
            __builtin_prefetch(&m_first[size_t(cell)], 1);
    }

    bool removeFirst(int32_t cell)
    {
        // A cell's slot from appendSequential comes before any appended one, and
        // its alive bit tells whether it is still listed there.
        if (cell < m_identitySlots && isAlive(cell)) {
            removeSlot(cell);
            return true;
        }
        if (m_first.empty())
            return false;
        int32_t &first = m_first[size_t(cell)];
        const int32_t slot = first;
        if (slot < 0)
            return false;
        first = -1;
        if (!m_nextSlot.empty()) {
            const auto next = m_nextSlot.find(slot);
            if (next != m_nextSlot.end()) {
                first = next->second;
                m_nextSlot.erase(next);
            }
        }
        if (first < 0 && !m_lastSlot.empty())
            m_lastSlot.erase(cell);
        removeSlot(slot);
        return true;
    }

private:
    bool isAlive(int32_t slot) const { return (m_alive[size_t(slot / kWordBits)] >> (slot % kWordBits)) & 1u; }

    void removeSlot(int32_t slot)
    {
        m_alive[size_t(slot / kWordBits)] &= ~(uint64_t(1) << (slot % kWordBits));
        addToBlock(slot / kWordBits / kBlockWords, -1);
        if (--m_size == 0)
            releaseSlots();
    }

    // The Fenwick tree counts alive slots per block of eight words of 64 bits, one
    // cache line, so that it stays in the first-level cache on the largest grids;
    // the block's words give the slot.
    static constexpr int32_t kWordBits = 64;
    static constexpr int32_t kBlockWords = 8;

    // Inline bit arithmetic: without a popcnt target the builtin is a library call.
    static int32_t popCount(uint64_t bits)
    {
        bits -= (bits >> 1) & 0x5555555555555555u;
        bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
        bits = (bits + (bits >> 4)) & 0x0f0f0f0f0f0f0f0fu;
        return int32_t((bits * 0x0101010101010101u) >> 56);
    }

    // The largest power of two not above n, 0 for none, without a loop.
    static int32_t highestPowerOfTwo(int32_t n) { return n > 0 ? int32_t(1) << (31 - __builtin_clz(uint32_t(n))) : 0; }

    // The position of the set bit of the given rank (0-based) in bits.
    static int32_t nthSetBit(uint64_t bits, int32_t rank)
    {
        int32_t position = 0;
        for (int32_t width = 32; width > 0; width /= 2) {
            const int32_t below = popCount(bits & ((uint64_t(1) << width) - 1));
            const int32_t upper = -int32_t(rank >= below);
            rank -= below & upper;
            bits >>= width & upper;
            position += width & upper;
        }
        return position;
    }

    void addToBlock(int32_t block, int32_t delta)
    {
        const int32_t n = int32_t(m_tree.size()) - 1;
        for (int32_t i = block + 1; i <= n; i += i & -i)
            m_tree[size_t(i)] += delta;
    }

    // Removed entries keep their slots; once none is left, the slots start afresh, so a
    // list that is emptied and refilled again and again does not grow. Every per-cell
    // chain is empty by then.
    void releaseSlots()
    {
        m_identitySlots = 0;
        m_slotCell.clear();
        m_alive.clear();
        m_tree.assign(1, 0);
    }

    int32_t prefix(int32_t i) const
    {
        int32_t s = 0;
        for (; i > 0; i -= i & -i)
            s += m_tree[size_t(i)];
        return s;
    }

    using Indices = std::vector<int32_t, HugePageAllocator<int32_t>>;
    // Slots 0 .. m_identitySlots - 1 hold their own cell (appendSequential), so the
    // first pass picks its cells without a lookup in a grid-sized array.
    int32_t m_identitySlots = 0;
    Indices m_slotCell; // cell of each later append slot
    std::vector<uint64_t> m_alive; // a bit per slot: not yet removed
    std::vector<int32_t> m_tree; // Fenwick tree of alive counts over blocks of slots
    // Per cell its first alive slot after those of appendSequential, -1 for none;
    // made on the first append. A cell listed more than once (rare: the generator
    // relists only cells it has taken out) chains its later slots through the maps,
    // so the per-cell array stays small enough for the cache.
    int32_t m_cellCount;
    Indices m_first;
    std::unordered_map<int32_t, int32_t> m_nextSlot; // slot -> next slot of its cell
    std::unordered_map<int32_t, int32_t> m_lastSlot; // cell listed more than once -> its last slot
    int32_t m_size = 0;
};
