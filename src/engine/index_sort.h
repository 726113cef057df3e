// The sorts of index entries: a stable merge sort, bottom-up, so its work is bounded by
// n log n steps whatever the comparison answers (equal items keep their order); and a
// stable radix sort by a 64-bit number, which orders entries by their weight prefixes.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace crv {

template <class T, class A, class Cmp>
void StableMergeSort(std::vector<T, A>& items, Cmp cmp, void (*step)(void*, std::size_t),
                     void* stepData) {
    const std::size_t n = items.size();
    if (n < 2)
        return;
    // Short runs by insertion first: fewer passes, and cheap on nearly sorted input.
    constexpr std::size_t kRun = 16;
    for (std::size_t lo = 0; lo < n; lo += kRun) {
        std::size_t hi = std::min(n, lo + kRun);
        for (std::size_t i = lo + 1; i < hi; ++i) {
            for (std::size_t j = i; j > lo && cmp(items[j - 1], items[j]) > 0; --j)
                std::swap(items[j - 1], items[j]);
        }
    }
    std::vector<T, A> buffer(n, items.get_allocator());
    std::vector<T, A>* from = &items;
    std::vector<T, A>* to = &buffer;
    for (std::size_t width = kRun; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            std::size_t mid = std::min(n, lo + width);
            std::size_t hi = std::min(n, lo + 2 * width);
            std::size_t i = lo, j = mid, k = lo;
            // A run already in order across the seam is copied whole.
            if (mid < hi && cmp((*from)[mid - 1], (*from)[mid]) <= 0) {
                std::move((*from).begin() + lo, (*from).begin() + hi, (*to).begin() + lo);
                continue;
            }
            while (i < mid && j < hi) {
                // Take from the right only when strictly less: equal items keep order.
                if (cmp((*from)[j], (*from)[i]) < 0)
                    (*to)[k++] = std::move((*from)[j++]);
                else
                    (*to)[k++] = std::move((*from)[i++]);
            }
            while (i < mid)
                (*to)[k++] = std::move((*from)[i++]);
            while (j < hi)
                (*to)[k++] = std::move((*from)[j++]);
        }
        std::swap(from, to);
        if (step)
            step(stepData, n);
    }
    if (from != &items)
        items = std::move(*from);
}

// Stable least-significant-byte-first radix sort by key(item), a 64-bit number; a byte
// that every item has alike costs one counting pass.
template <class T, class A, class Key> void StableRadixSort(std::vector<T, A>& items, Key key) {
    const std::size_t n = items.size();
    if (n < 2)
        return;
    std::vector<T, A> buffer(n, items.get_allocator());
    for (int shift = 0; shift < 64; shift += 8) {
        std::array<std::size_t, 256> count{};
        for (const T& item : items)
            ++count[(key(item) >> shift) & 0xFF];
        if (count[(key(items[0]) >> shift) & 0xFF] == n)
            continue;
        std::size_t sum = 0;
        for (std::size_t& c : count) {
            std::size_t here = c;
            c = sum;
            sum += here;
        }
        for (T& item : items)
            buffer[count[(key(item) >> shift) & 0xFF]++] = std::move(item);
        items.swap(buffer);
    }
}

} // namespace crv
