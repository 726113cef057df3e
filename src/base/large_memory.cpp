#include "base/large_memory.h"

#include <cstdint>
#include <cstdlib>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>
#define CRV_MAP_LARGE 1
#endif

namespace crv {

namespace {

std::size_t WholePages(std::size_t bytes) {
    if (bytes > static_cast<std::size_t>(-1) - kLargePage)
        throw std::bad_alloc();
    return (bytes + kLargePage - 1) & ~(kLargePage - 1);
}

} // namespace

void* MapLarge(std::size_t bytes, [[maybe_unused]] bool largePages) {
    const std::size_t size = WholePages(bytes);
#ifdef CRV_MAP_LARGE
    // One page more than asked, then the ends cut off, leaves an aligned mapping.
    const std::size_t span = size + kLargePage;
    void* p = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t aligned = (start + kLargePage - 1) & ~(std::uintptr_t{kLargePage} - 1);
    if (aligned > start)
        munmap(p, aligned - start);
    if (start + span > aligned + size)
        munmap(reinterpret_cast<void*>(aligned + size), start + span - (aligned + size));
#ifdef MADV_HUGEPAGE
    if (largePages)
        madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
#else
    void* p = std::aligned_alloc(kLargePage, size);
    if (!p)
        throw std::bad_alloc();
    return p;
#endif
}

void UnmapLarge(void* p, std::size_t bytes) {
    if (!p)
        return;
#ifdef CRV_MAP_LARGE
    munmap(p, WholePages(bytes));
#else
    (void)bytes;
    std::free(p);
#endif
}

} // namespace crv
