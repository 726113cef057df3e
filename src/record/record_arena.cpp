#include "record/record_arena.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "record/field.h"
#include "record/record.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>
#define CRV_MAP_BLOCKS 1
#endif

#if defined(__SANITIZE_ADDRESS__)
#define CRV_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CRV_ASAN 1
#endif
#endif
#ifdef CRV_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace crv {

namespace {

// Under the address sanitizer the free parts of a block and the objects that went are
// marked unreadable, so that a field used after its delete is still caught.
void MarkFree([[maybe_unused]] void* p, [[maybe_unused]] std::size_t n) {
#ifdef CRV_ASAN
    ASAN_POISON_MEMORY_REGION(p, n);
#endif
}

void MarkUsed([[maybe_unused]] void* p, [[maybe_unused]] std::size_t n) {
#ifdef CRV_ASAN
    ASAN_UNPOISON_MEMORY_REGION(p, n);
#endif
}

std::size_t g_blocksInUse = 0;

constexpr std::size_t RoundUp(std::size_t n) { return (n + 7) & ~std::size_t{7}; }

// Reads this large get large pages: a few hundred page faults instead of tens of
// thousands. Small ones stay in small pages, so that a small database costs little.
constexpr std::int64_t kLargePagesFrom = 16 << 20;

void* MapBlock(bool largePages) {
    const std::size_t size = RecordArena::kBlockSize;
#ifdef CRV_MAP_BLOCKS
    // Twice the size, then the ends cut off, leaves a block aligned to its size.
    void* p = mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    auto start = reinterpret_cast<std::uintptr_t>(p);
    std::uintptr_t aligned = (start + size - 1) & ~(size - 1);
    if (aligned > start)
        munmap(p, aligned - start);
    if (start + 2 * size > aligned + size)
        munmap(reinterpret_cast<void*>(aligned + size), start + 2 * size - (aligned + size));
#ifdef MADV_HUGEPAGE
    if (largePages)
        madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
#else
    (void)largePages;
    void* p = std::aligned_alloc(size, size);
    if (!p)
        throw std::bad_alloc();
    return p;
#endif
}

void UnmapBlock(void* block) {
    --g_blocksInUse;
    MarkUsed(block, RecordArena::kBlockSize);
#ifdef CRV_MAP_BLOCKS
    munmap(block, RecordArena::kBlockSize);
#else
    std::free(block);
#endif
}

} // namespace

#ifdef CRV_ASAN
const bool RecordArena::kWantsSizes = true;
#else
const bool RecordArena::kWantsSizes = false;
#endif

struct RecordArena::Block {
    // Objects in the block, plus one while an arena fills it.
    std::size_t live;
};

RecordArena::RecordArena(std::int64_t sizeHint) : m_largePages(sizeHint >= kLargePagesFrom) {}

RecordArena::~RecordArena() { LetGo(); }

void RecordArena::LetGo() {
    if (m_block && --m_block->live == 0)
        UnmapBlock(m_block);
    m_block = nullptr;
    m_next = m_end = nullptr;
}

void RecordArena::NextBlock() {
    LetGo();
    void* p = MapBlock(m_largePages);
    ++g_blocksInUse;
    m_block = new (p) Block{1};
    m_next = static_cast<char*>(p) + RoundUp(sizeof(Block));
    m_end = static_cast<char*>(p) + kBlockSize;
    MarkFree(m_next, static_cast<std::size_t>(m_end - m_next));
}

void* RecordArena::Allocate(std::size_t size) {
    if (static_cast<std::size_t>(m_end - m_next) < size)
        NextBlock();
    void* p = m_next;
    m_next += size;
    ++m_block->live;
    MarkUsed(p, size);
    return p;
}

std::size_t RecordArena::BlocksInUse() { return g_blocksInUse; }

std::size_t RecordArena::FieldFootprint(std::size_t length) {
    return RoundUp(sizeof(CField) + length + 1);
}

CField* RecordArena::NewField(CMarker* marker, std::string_view text, std::size_t trailingLFs) {
    const std::size_t length = text.size() + trailingLFs;
    const std::size_t size = FieldFootprint(length);
    // Nothing the reader makes comes near this; anything that did gets a field of its own.
    if (size > kBlockSize / 4) {
        std::string s(text);
        s.append(trailingLFs, '\n');
        return new CField(marker, std::move(s));
    }
    auto* field = new (Allocate(size)) CField(marker, length, CField::InBlock{});
    char* out = field->InlineText();
    if (!text.empty())
        std::memcpy(out, text.data(), text.size());
    if (trailingLFs)
        std::memset(out + text.size(), '\n', trailingLFs);
    out[length] = '\0';
    return field;
}

CRecord* RecordArena::NewRecord(CField* first) {
    auto* record = new (Allocate(RoundUp(sizeof(CRecord)))) CRecord(first);
    record->m_inBlock = true;
    return record;
}

void RecordArena::Release(void* object, std::size_t size) {
    auto* block = reinterpret_cast<Block*>(reinterpret_cast<std::uintptr_t>(object) &
                                           ~(std::uintptr_t{kBlockSize} - 1));
    MarkFree(object, size);
    if (--block->live == 0)
        UnmapBlock(block);
}

} // namespace crv
