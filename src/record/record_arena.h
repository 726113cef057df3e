// Where the reader puts records and fields: large blocks, each aligned to its size, that
// take each record and its fields in file order with every field's text right behind
// it. Reading then allocates per block rather than per field and string, and walking a
// database (indexing, saving) reads memory in order.
//
// A block counts the objects in it and goes back to the system when the last of them is
// deleted, wherever they went meanwhile (another record, another database). Nothing in
// a block ever moves: a text that is edited moves out into a string of its field's own.
// Like the rest of the record store, blocks are used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Under the address sanitizer the free parts of a block and the objects that went are
// marked unreadable, so that a field used after its delete is still caught.
#if defined(__SANITIZE_ADDRESS__)
#define CRV_ARENA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CRV_ARENA_ASAN 1
#endif
#endif
#ifdef CRV_ARENA_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace crv {

class CField;
class CMarker;
class CRecord;

class RecordArena {
public:
    // A block is one large page (base/large_memory.h), aligned to its size.
    static constexpr std::size_t kBlockSize = std::size_t{2} << 20;

    // sizeHint: how many bytes of file are to be read (-1: unknown); a large read gets
    // large pages.
    explicit RecordArena(std::int64_t sizeHint = -1);
    ~RecordArena();
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;

    // A field of marker whose text is text followed by trailingLFs LFs.
    CField* NewField(CMarker* marker, std::string_view text, std::size_t trailingLFs = 0);
    // A record made from its first field.
    CRecord* NewRecord(CField* first);

    // The bytes a field with a text of length bytes takes in a block.
    static std::size_t FieldFootprint(std::size_t length);
    // Blocks alive in the process (for tests: reading and then deleting everything
    // leaves none behind).
    static std::size_t BlocksInUse();
    // Whether Release needs the size of what went (a sanitizer build marks it unreadable).
#ifdef CRV_ARENA_ASAN
    static constexpr bool kWantsSizes = true;
#else
    static constexpr bool kWantsSizes = false;
#endif
    // An object of size bytes in a block has gone (its destructor has run).
    static void Release(void* object, std::size_t size) {
        auto* block = reinterpret_cast<Block*>(reinterpret_cast<std::uintptr_t>(object) &
                                               ~(std::uintptr_t{kBlockSize} - 1));
        MarkFree(object, size);
        if (--block->live == 0)
            UnmapBlock(block);
    }

private:
    struct Block {
        // Objects in the block, plus one while an arena fills it.
        std::size_t live;
    };
    void* Allocate(std::size_t size) {
        if (static_cast<std::size_t>(m_end - m_next) < size)
            NextBlock();
        void* p = m_next;
        m_next += size;
        ++m_block->live;
        MarkUsed(p, size);
        return p;
    }
    static void MarkUsed([[maybe_unused]] void* p, [[maybe_unused]] std::size_t n) {
#ifdef CRV_ARENA_ASAN
        ASAN_UNPOISON_MEMORY_REGION(p, n);
#endif
    }
    static void MarkFree([[maybe_unused]] void* p, [[maybe_unused]] std::size_t n) {
#ifdef CRV_ARENA_ASAN
        ASAN_POISON_MEMORY_REGION(p, n);
#endif
    }
    static void UnmapBlock(Block* block);
    void NextBlock();
    void LetGo();

    Block* m_block = nullptr; // the block being filled; the arena holds one count on it
    char* m_next = nullptr;
    char* m_end = nullptr;
    bool m_largePages = false;
};

} // namespace crv
