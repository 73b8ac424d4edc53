#pragma once
// A vector for the million-row tables of a merge: blocks of 2 MiB and more
// come straight from the system with transparent huge pages asked for.
// Fresh memory costs one page fault per 4 KiB page as it is first written,
// and on a loaded virtual machine a fault can cost tens of microseconds: at
// a million rows that cost outgrew the work itself, so the time per row
// grew with the table. With huge pages a 100 MiB table takes some fifty
// faults. Smaller blocks take the ordinary heap.
#include <cstddef>
#include <new>
#include <vector>

#include <sys/mman.h>

template <class T>
struct HugePageAllocator {
    using value_type = T;
    static constexpr std::size_t Threshold = std::size_t(2) << 20;

    HugePageAllocator() = default;
    template <class U>
    HugePageAllocator(const HugePageAllocator<U>&) noexcept {}

    T* allocate(std::size_t n)
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < Threshold)
            return std::allocator<T>().allocate(n);
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        // Only advice: a kernel without them gives ordinary pages.
        ::madvise(p, bytes, MADV_HUGEPAGE);
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) noexcept
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < Threshold)
            std::allocator<T>().deallocate(p, n);
        else
            ::munmap(p, bytes);
    }
    template <class U>
    bool operator==(const HugePageAllocator<U>&) const noexcept { return true; }
};

template <class T>
using LargeVector = std::vector<T, HugePageAllocator<T>>;
