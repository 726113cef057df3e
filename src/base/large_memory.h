// Memory for the large arrays of a database (record blocks, index entries, sort
// buffers), taken straight from the system in whole 2 MiB pages and aligned to them, so
// that the system can back it with large pages: one page fault per 2 MiB touched
// instead of 512, which is most of the cost of reading a large file into fresh memory.
#pragma once

#include <cstddef>
#include <new>

namespace crv {

inline constexpr std::size_t kLargePage = std::size_t{2} << 20;

// bytes (rounded up to whole large pages) aligned to kLargePage; largePages asks the
// system to back them with large pages. Throws std::bad_alloc.
void* MapLarge(std::size_t bytes, bool largePages);
// Gives back what MapLarge(bytes) gave.
void UnmapLarge(void* p, std::size_t bytes);

// An allocator for containers that can grow large: from 1 MiB on through MapLarge with
// large pages, below that through operator new.
template <class T> class LargeAllocator {
public:
    using value_type = T;
    static constexpr std::size_t kMapFrom = std::size_t{1} << 20;

    LargeAllocator() = default;
    template <class U> LargeAllocator(const LargeAllocator<U>&) {}

    T* allocate(std::size_t n) {
        // NOLINTNEXTLINE(bugprone-sizeof-expression): T may be a pointer
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        std::size_t bytes = n * sizeof(T); // NOLINT(bugprone-sizeof-expression)
        if (bytes < kMapFrom)
            return static_cast<T*>(::operator new(bytes));
        return static_cast<T*>(MapLarge(bytes, true));
    }
    void deallocate(T* p, std::size_t n) {
        std::size_t bytes = n * sizeof(T); // NOLINT(bugprone-sizeof-expression): T may be a pointer
        if (bytes < kMapFrom)
            ::operator delete(p);
        else
            UnmapLarge(p, bytes);
    }
    template <class U> bool operator==(const LargeAllocator<U>&) const { return true; }
};

} // namespace crv
