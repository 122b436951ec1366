// Erasing many elements of a vector at known positions in one sweep.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// Erases the elements at `positions` (ascending, distinct), keeping the order of the
// others. Each kept element after the first position moves once, and none is read
// otherwise: for a vector of owning pointers, only the erased objects are visited.
template<class T, class Allocator>
void eraseAt(std::vector<T, Allocator> &v, const std::vector<size_t> &positions)
{
    if (positions.empty())
        return;
    size_t out = positions.front();
    for (size_t k = 0; k < positions.size(); ++k) {
        const size_t end = k + 1 < positions.size() ? positions[k + 1] : v.size();
        for (size_t i = positions[k] + 1; i < end; ++i)
            v[out++] = std::move(v[i]);
    }
    v.erase(v.begin() + std::ptrdiff_t(out), v.end());
}
