// Order-preserving lists of cell indices used as the candidate and pin lists.
//
// Both classes behave exactly like a plain sequence: entries are appended at the
// end, at(k) is the k-th remaining entry, removeFirst(c) takes out the first
// occurrence of c and shifts the later entries down. LinearCellList is that plain
// sequence (linear search, quadratic overall); IndexedCellList keeps the same
// indices with a Fenwick tree over append slots and per-cell chains of slots, so
// at(k) and removeFirst(c) are logarithmic and constant time respectively; its slots
// are released whenever the list becomes empty.
#pragma once

#include "hugepageallocator.h"

#include <algorithm>
#include <cstdint>
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
        : m_first(size_t(cellCount), -1)
        , m_last(size_t(cellCount), -1)
    {
        m_tree.push_back(0); // Fenwick tree is 1-based
    }

    // Appends the cells 0 .. n - 1 in order (linear-time construction). Only on an
    // empty list.
    void appendSequential(int32_t n)
    {
        if (!m_slotCell.empty()) {
            for (int32_t i = 0; i < n; ++i)
                append(i);
            return;
        }
        m_slotCell.resize(size_t(n));
        m_next.assign(size_t(n), -1);
        m_tree.assign(size_t(n) + 1, 1);
        m_tree[0] = 0;
        for (int32_t i = 1; i <= n; ++i) {
            const int32_t j = i + (i & -i);
            if (j <= n)
                m_tree[size_t(j)] += m_tree[size_t(i)];
        }
        for (int32_t i = 0; i < n; ++i) {
            m_slotCell[size_t(i)] = i;
            m_first[size_t(i)] = i;
            m_last[size_t(i)] = i;
        }
        m_size = n;
    }

    void append(int32_t cell)
    {
        const int32_t slot = int32_t(m_slotCell.size());
        m_slotCell.push_back(cell);
        m_next.push_back(-1);
        if (m_last[size_t(cell)] >= 0)
            m_next[size_t(m_last[size_t(cell)])] = slot;
        else
            m_first[size_t(cell)] = slot;
        m_last[size_t(cell)] = slot;
        // Fenwick node i covers (i - lowbit(i), i]: 1 + prefix(i - 1) - prefix(i - lowbit(i)).
        const int32_t i = slot + 1;
        m_tree.push_back(1 + prefix(i - 1) - prefix(i - (i & -i)));
        ++m_size;
    }

    int32_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    // Append slots in use, removed entries included.
    int32_t slotCount() const { return int32_t(m_slotCell.size()); }

    // The k-th remaining entry (0-based); k must be in 0 .. size() - 1.
    int32_t at(int32_t k) const
    {
        const int32_t n = int32_t(m_tree.size()) - 1;
        int32_t pos = 0;
        int32_t rest = k + 1;
        int32_t step = 1;
        while (step * 2 <= n)
            step *= 2;
        for (; step > 0; step /= 2) {
            const int32_t next = pos + step;
            if (next <= n && m_tree[size_t(next)] < rest) {
                pos = next;
                rest -= m_tree[size_t(next)];
            }
        }
        return m_slotCell[size_t(pos)]; // slot pos is 1-based pos + 1
    }

    bool removeFirst(int32_t cell)
    {
        const int32_t slot = m_first[size_t(cell)];
        if (slot < 0)
            return false;
        m_first[size_t(cell)] = m_next[size_t(slot)];
        if (m_first[size_t(cell)] < 0)
            m_last[size_t(cell)] = -1;
        const int32_t n = int32_t(m_tree.size()) - 1;
        for (int32_t i = slot + 1; i <= n; i += i & -i)
            m_tree[size_t(i)] -= 1;
        if (--m_size == 0)
            releaseSlots();
        return true;
    }

private:
    // Removed entries keep their slots; once none is left, the slots start afresh, so a
    // list that is emptied and refilled again and again does not grow. Every per-cell
    // chain is empty by then.
    void releaseSlots()
    {
        m_slotCell.clear();
        m_next.clear();
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
    Indices m_slotCell; // cell of each append slot
    Indices m_next; // next slot holding the same cell, -1 at the end
    Indices m_tree; // Fenwick tree of alive counts over slots
    Indices m_first; // per cell: first alive slot, -1 none
    Indices m_last; // per cell: last alive slot, -1 none
    int32_t m_size = 0;
};
