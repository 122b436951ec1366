// An allocator for the large arrays of generation and rendering (the cell
// grid, the cell lists, the render buffers).
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

// Blocks of 2 MiB and more are aligned to 2 MiB and offered to the kernel as
// transparent huge pages. Those arrays are touched at random (grid cells) or
// filled once per render (images): with 4 KiB pages, page faults and TLB
// misses cost a fifth to a third of a large export or generation.
// Elements are default-initialised, so a byte buffer is not cleared twice.
template<class T>
class HugePageAllocator
{
public:
    using value_type = T;

    static constexpr std::size_t kHugePage = std::size_t(2) << 20;

    HugePageAllocator() noexcept = default;
    template<class U>
    HugePageAllocator(const HugePageAllocator<U> &) noexcept
    { }

    T *allocate(std::size_t n)
    {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        void *block = nullptr;
        if (bytes >= kHugePage) {
            const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
            block = std::aligned_alloc(kHugePage, rounded);
#ifdef MADV_HUGEPAGE
            // Advice only: without huge pages the block works as any other.
            if (block)
                madvise(block, rounded, MADV_HUGEPAGE);
#endif
        } else {
            block = std::malloc(bytes ? bytes : 1);
        }
        if (!block)
            throw std::bad_alloc();
        return static_cast<T *>(block);
    }

    void deallocate(T *block, std::size_t) noexcept
    {
        std::free(block);
    }

    template<class U>
    void construct(U *place) noexcept(noexcept(U()))
    {
        ::new (static_cast<void *>(place)) U;
    }
    template<class U, class... Args>
    void construct(U *place, Args &&...args)
    {
        ::new (static_cast<void *>(place)) U(std::forward<Args>(args)...);
    }

    template<class U>
    bool operator==(const HugePageAllocator<U> &) const noexcept
    {
        return true;
    }
    template<class U>
    bool operator!=(const HugePageAllocator<U> &) const noexcept
    {
        return false;
    }
};
