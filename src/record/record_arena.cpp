#include "record/record_arena.h"

#include <atomic>
#include <cstring>
#include <new>

#include "base/large_memory.h"
#include "record/field.h"
#include "record/record.h"
#include "schema/marker.h"

namespace crv {

namespace {

// Atomic: databases may be read on several threads, each with blocks of its own.
std::atomic<std::size_t> g_blocksInUse{0};

constexpr std::size_t RoundUp(std::size_t n) { return (n + 7) & ~std::size_t{7}; }

// Reads this large get large pages: a few hundred page faults instead of tens of
// thousands. Small ones stay in small pages, so that a small database costs little.
constexpr std::int64_t kLargePagesFrom = 16 << 20;

} // namespace

static_assert(RecordArena::kBlockSize == kLargePage, "blocks are found by their alignment");

void RecordArena::UnmapBlock(Block* block) {
    --g_blocksInUse;
    MarkUsed(block, kBlockSize);
    UnmapLarge(block, kBlockSize);
}

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
    void* p = MapLarge(kBlockSize, m_largePages);
    ++g_blocksInUse;
    m_block = new (p) Block{1};
    m_next = static_cast<char*>(p) + RoundUp(sizeof(Block));
    m_end = static_cast<char*>(p) + kBlockSize;
    MarkFree(m_next, static_cast<std::size_t>(m_end - m_next));
}

// Defined here, where the arena makes fields, so that it is made inline.
CField::CField(CMarker* marker, std::size_t length, InBlock)
    : m_marker(marker), m_text((static_cast<std::uintptr_t>(length) << 2) | kInline | kInBlock) {
    if (m_marker)
        m_marker->IncUse();
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

} // namespace crv
