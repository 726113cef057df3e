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
    std::string_view Bytes() const {
        return {reinterpret_cast<const char*>(m_data), m_size};
    }

    void Add(const CWordRef& ref);
    void Assign(std::initializer_list<CWordRef> refs);
    void Assign(const std::vector<CWordRef>& refs);
    // Calls fn(ref) for each reference in order.
    template <class Fn> void ForEach(Fn fn) const;
    // The references, appended to out.
    void Unpack(std::vector<CWordRef>& out) const;
    std::vector<CWordRef> Unpacked() const {
        std::vector<CWordRef> out;
        Unpack(out);
        return out;
    }

    // Takes packed bytes (from the index file): false unless they are exactly count
    // references, each of which valid(ref) accepts.
    template <class Valid> bool Take(std::string_view bytes, std::uint32_t count, Valid valid);

private:
    // Decodes the reference at p against last; false for bytes that are not one.
    static bool Decode(const unsigned char*& p, const unsigned char* end, CWordRef& last);
    void Append(const unsigned char* bytes, std::size_t n);

    // Grown with realloc, which can extend a block in place: a word's references grow by a
    // few bytes millions of times.
    unsigned char* m_data = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0;
    std::uint32_t m_count = 0;
    CWordRef m_last;
};

template <class Fn> void CRefList::ForEach(Fn fn) const {
    const unsigned char* p = m_data;
    const unsigned char* end = p + m_size;
    CWordRef r;
    while (p < end && Decode(p, end, r))
        fn(r);
}

template <class Valid>
bool CRefList::Take(std::string_view bytes, std::uint32_t count, Valid valid) {
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
    Append(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    m_count = count;
    m_last = r;
    return true;
}

} // namespace crv
