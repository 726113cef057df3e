// The references of one word, packed. A corpus of millions of words holds millions of
// references; as plain structures they would take several times the corpus's size, and
// touching that much fresh memory costs more than reading the corpus. Each reference is
// kept as what changed since the one before it (in the order they were added):
//   a flag byte: 1 another file (or an offset before the last), 2 book, 4 chapter,
//     8 verse; the other bits are 0
//   with flag 1: the file number (LEB128), then the offset (LEB128)
//   without it: the offset's distance from the last one (LEB128)
//   with 2, 4, 8: the new book, chapter, verse, one byte each
// The first reference is taken against file 0, offset 0, book 0, chapter 0, verse 0. The
// word index file holds these bytes as they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace crv {

// One occurrence: the file (by its number in the index), the offset of the word's first
// byte in that file, and its book (an entry of the name table), chapter and verse.
struct CWordRef {
    std::uint32_t offset = 0;
    std::uint16_t file = 0;
    std::uint8_t book = 0;
    std::uint8_t chap = 0;
    std::uint8_t verse = 0;
    bool operator==(const CWordRef&) const = default;
};

class CRefList {
public:
    CRefList() = default;
    CRefList(std::initializer_list<CWordRef> refs) { Assign(refs); }
    CRefList(const CRefList& other);
    CRefList(CRefList&& other) noexcept;
    CRefList& operator=(CRefList other) noexcept;
    ~CRefList();

    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::string_view Bytes() const { return {reinterpret_cast<const char*>(m_data), m_size}; }

    void Add(const CWordRef& ref);
    void Assign(std::initializer_list<CWordRef> refs);
    void Assign(const std::vector<CWordRef>& refs);
    // Calls fn(ref) for each reference in order.
    template <class Fn> void ForEach(Fn fn) const;
    // The same while fn returns true.
    template <class Fn> void ForEachWhile(Fn fn) const;
    // Takes out the references gone(ref) accepts; the others keep their order. The
    // packed bytes of the rest are copied as they are, each run after a gap packed anew
    // from its first reference only. True when any went.
    template <class Gone> bool RemoveIf(Gone gone);
    // Puts the references of run (all of one place in corpus order, in order) before the
    // first reference after(ref) accepts, or at the end. Only the bytes around the place
    // are packed anew.
    template <class After> void InsertBefore(const CRefList& run, After after);
    // The references, appended to out.
    void Unpack(std::vector<CWordRef>& out) const;
    std::vector<CWordRef> Unpacked() const {
        std::vector<CWordRef> out;
        Unpack(out);
        return out;
    }

    // Takes packed bytes (from the index file): false unless they are exactly count
    // references, each of which valid(ref) accepts. With borrow, the list points into
    // bytes, which must outlive it (or its first change, which makes it a copy).
    template <class Valid>
    bool Take(std::string_view bytes, std::uint32_t count, Valid valid, bool borrow = false);

    enum : unsigned char { kNewFile = 1, kBook = 2, kChap = 4, kVerse = 8 };

private:
    // Decodes the reference at p against last; false for bytes that are not one.
    static bool Decode(const unsigned char*& p, const unsigned char* end, CWordRef& last);
    static bool GetVarint(const unsigned char*& p, const unsigned char* end, std::uint32_t& v);
    // Appends bytes that pack count references, the last of them last.
    void AppendPacked(const unsigned char* bytes, std::size_t n, std::uint32_t count,
                      const CWordRef& last);
    // Room for n bytes in all, owned.
    void Reserve(std::size_t n);
    void Append(const unsigned char* bytes, std::size_t n);

    // Grown with realloc, which can extend a block in place: a word's references grow by a
    // few bytes millions of times. A capacity of 0 with data: borrowed bytes.
    unsigned char* m_data = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0;
    std::uint32_t m_count = 0;
    CWordRef m_last;
};

inline bool CRefList::GetVarint(const unsigned char*& p, const unsigned char* end,
                                std::uint32_t& v) {
    if (p < end && *p < 0x80) {
        v = *p++;
        return true;
    }
    std::uint64_t value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (p >= end)
            return false;
        unsigned char b = *p++;
        value |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) {
            if (value > 0xFFFFFFFFu)
                return false;
            v = static_cast<std::uint32_t>(value);
            return true;
        }
    }
    return false;
}

inline bool CRefList::Decode(const unsigned char*& p, const unsigned char* end, CWordRef& last) {
    if (p >= end)
        return false;
    unsigned char flags = *p++;
    if (flags & ~(kNewFile | kBook | kChap | kVerse))
        return false;
    std::uint32_t v = 0;
    if (flags & kNewFile) {
        if (!GetVarint(p, end, v) || v > 0xFFFF)
            return false;
        last.file = static_cast<std::uint16_t>(v);
        if (!GetVarint(p, end, last.offset))
            return false;
    } else {
        if (!GetVarint(p, end, v) || v > 0xFFFFFFFFu - last.offset)
            return false;
        last.offset += v;
    }
    if (flags & (kBook | kChap | kVerse)) {
        int extra = ((flags & kBook) != 0) + ((flags & kChap) != 0) + ((flags & kVerse) != 0);
        if (end - p < extra)
            return false;
        if (flags & kBook)
            last.book = *p++;
        if (flags & kChap)
            last.chap = *p++;
        if (flags & kVerse)
            last.verse = *p++;
    }
    return true;
}

template <class Fn> void CRefList::ForEach(Fn fn) const {
    const unsigned char* p = m_data;
    const unsigned char* end = p + m_size;
    CWordRef r;
    while (p < end && Decode(p, end, r))
        fn(r);
}

template <class Fn> void CRefList::ForEachWhile(Fn fn) const {
    const unsigned char* p = m_data;
    const unsigned char* end = p + m_size;
    CWordRef r;
    while (p < end && Decode(p, end, r) && fn(r)) {
    }
}

template <class Gone> bool CRefList::RemoveIf(Gone gone) {
    const unsigned char* p = m_data;
    const unsigned char* end = p + m_size;
    CRefList kept;
    // A run of kept references whose bytes are copied as they stand; none after a gap,
    // until the next kept reference, which is packed anew against the last kept one.
    const unsigned char* run = p;
    std::uint32_t runCount = 0;
    CWordRef r, runLast;
    bool any = false;
    bool reserved = false;
    while (p < end) {
        const unsigned char* at = p;
        if (!Decode(p, end, r)) {
            p = at;
            break;
        }
        if (gone(r)) {
            if (!reserved) {
                kept.Reserve(m_size);
                reserved = true;
            }
            if (run)
                kept.AppendPacked(run, static_cast<std::size_t>(at - run), runCount, runLast);
            run = nullptr;
            any = true;
            continue;
        }
        if (!run) {
            kept.Add(r);
            run = p;
            runCount = 0;
            continue;
        }
        ++runCount;
        runLast = r;
    }
    if (!any)
        return false;
    if (run)
        kept.AppendPacked(run, static_cast<std::size_t>(p - run), runCount, runLast);
    *this = std::move(kept);
    return true;
}

template <class After> void CRefList::InsertBefore(const CRefList& run, After after) {
    if (run.empty())
        return;
    const unsigned char* p = m_data;
    const unsigned char* end = p + m_size;
    CWordRef last, next;
    const unsigned char* at = end;
    std::uint32_t before = m_count;
    // References are in order: when the last is not after, none is.
    if (m_count && after(m_last)) {
        before = 0;
        while (p < end) {
            const unsigned char* q = p;
            next = last;
            if (!Decode(p, end, next))
                break;
            if (after(next)) {
                at = q;
                break;
            }
            last = next;
            ++before;
        }
    }
    CRefList out;
    out.Reserve(std::size_t{m_size} + run.m_size + 32);
    out.AppendPacked(m_data, static_cast<std::size_t>(at - m_data), before,
                     before ? last : CWordRef{});
    if (before == m_count)
        out.m_last = m_last;
    // The run's first reference packed against what now goes before it, the rest as they are.
    const unsigned char* r = run.m_data;
    const unsigned char* rend = r + run.m_size;
    CWordRef first;
    if (!Decode(r, rend, first))
        return;
    out.Add(first);
    out.AppendPacked(r, static_cast<std::size_t>(rend - r), run.m_count - 1, run.m_last);
    if (at < end) {
        out.Add(next);
        out.AppendPacked(p, static_cast<std::size_t>(end - p), m_count - before - 1, m_last);
    }
    *this = std::move(out);
}

template <class Valid>
bool CRefList::Take(std::string_view bytes, std::uint32_t count, Valid valid, bool borrow) {
    auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    auto* end = p + bytes.size();
    CWordRef r;
    std::uint32_t n = 0;
    while (p < end) {
        if (!Decode(p, end, r) || !valid(r) || ++n > count)
            return false;
    }
    if (n != count)
        return false;
    *this = CRefList();
    if (borrow) {
        m_data = const_cast<unsigned char*>(reinterpret_cast<const unsigned char*>(bytes.data()));
        m_size = static_cast<std::uint32_t>(bytes.size());
    } else {
        Append(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }
    m_count = count;
    m_last = r;
    return true;
}

} // namespace crv
