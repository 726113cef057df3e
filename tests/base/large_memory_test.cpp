#include "base/large_memory.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace crv::test {
namespace {

TEST(LargeMemoryTest, MappingsAreAlignedZeroedAndWholePages) {
    for (std::size_t bytes : {std::size_t{1}, kLargePage, kLargePage + 1, 3 * kLargePage}) {
        auto* p = static_cast<unsigned char*>(MapLarge(bytes, bytes > kLargePage));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % kLargePage, 0u);
        // Rounded up to whole large pages: the last byte of the last page is there.
        const std::size_t whole = (bytes + kLargePage - 1) / kLargePage * kLargePage;
        EXPECT_EQ(p[0], 0);
        EXPECT_EQ(p[whole - 1], 0);
        std::memset(p, 0xAB, whole);
        UnmapLarge(p, bytes);
    }
    UnmapLarge(nullptr, 10); // nothing to give back
}

TEST(LargeMemoryTest, ContainersKeepTheirContentsAcrossTheMappingThreshold) {
    // Growing from operator new into mappings and back (shrink_to_fit) moves every
    // element intact.
    constexpr std::uint64_t k = 2654435761u;
    std::vector<std::uint64_t, LargeAllocator<std::uint64_t>> v;
    const std::size_t n = 3 * LargeAllocator<std::uint64_t>::kMapFrom / sizeof(std::uint64_t);
    for (std::size_t i = 0; i < n; ++i)
        v.push_back(i * k);
    for (std::size_t i = 0; i < n; i += 4099)
        ASSERT_EQ(v[i], i * k);
    v.resize(100);
    v.shrink_to_fit();
    EXPECT_EQ(v[99], 99 * k);
    std::vector<std::uint64_t, LargeAllocator<std::uint64_t>> copy(v);
    EXPECT_EQ(copy, v);
    EXPECT_THROW(v.get_allocator().allocate(static_cast<std::size_t>(-1) / 4),
                 std::bad_array_new_length);
}

} // namespace
} // namespace crv::test
