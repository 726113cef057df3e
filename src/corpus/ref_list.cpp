#include "corpus/ref_list.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace crv {

namespace {

unsigned char* PutVarint(unsigned char* out, std::uint32_t v) {
    while (v >= 0x80) {
        *out++ = static_cast<unsigned char>((v & 0x7F) | 0x80);
        v >>= 7;
    }
    *out++ = static_cast<unsigned char>(v);
    return out;
}

} // namespace

CRefList::CRefList(const CRefList& other) : m_count(other.m_count), m_last(other.m_last) {
    Append(other.m_data, other.m_size);
}

CRefList::CRefList(CRefList&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)), m_count(std::exchange(other.m_count, 0)),
      m_last(std::exchange(other.m_last, {})) {}

CRefList& CRefList::operator=(CRefList other) noexcept {
    std::swap(m_data, other.m_data);
    std::swap(m_size, other.m_size);
    std::swap(m_capacity, other.m_capacity);
    std::swap(m_count, other.m_count);
    std::swap(m_last, other.m_last);
    return *this;
}

CRefList::~CRefList() {
    if (m_capacity)
        std::free(m_data);
}

void CRefList::Reserve(std::size_t n) {
    if (n <= m_capacity || n > 0xFFFFFFFFu)
        return;
    bool borrowed = m_data && !m_capacity;
    void* grown = std::realloc(borrowed ? nullptr : m_data, n);
    if (!grown)
        throw std::bad_alloc();
    if (borrowed)
        std::memcpy(grown, m_data, m_size);
    m_data = static_cast<unsigned char*>(grown);
    m_capacity = static_cast<std::uint32_t>(n);
}

void CRefList::Append(const unsigned char* bytes, std::size_t n) {
    if (n == 0)
        return;
    if (m_size + n > m_capacity) {
        std::size_t capacity =
            std::max<std::size_t>({16, 2 * std::size_t{m_capacity}, 2 * std::size_t{m_size} + n});
        if (capacity > 0xFFFFFFFFu)
            throw std::bad_alloc();
        Reserve(capacity);
    }
    std::memcpy(m_data + m_size, bytes, n);
    m_size += static_cast<std::uint32_t>(n);
}

void CRefList::AppendPacked(const unsigned char* bytes, std::size_t n, std::uint32_t count,
                            const CWordRef& last) {
    Append(bytes, n);
    m_count += count;
    if (count)
        m_last = last;
}

void CRefList::Add(const CWordRef& r) {
    unsigned char flags = 0;
    bool newFile = r.file != m_last.file || r.offset < m_last.offset || m_count == 0;
    if (newFile)
        flags |= kNewFile;
    if (r.book != m_last.book)
        flags |= kBook;
    if (r.chap != m_last.chap)
        flags |= kChap;
    if (r.verse != m_last.verse)
        flags |= kVerse;
    unsigned char buf[16];
    unsigned char* p = buf;
    *p++ = flags;
    if (newFile) {
        p = PutVarint(p, r.file);
        p = PutVarint(p, r.offset);
    } else {
        p = PutVarint(p, r.offset - m_last.offset);
    }
    if (flags & kBook)
        *p++ = r.book;
    if (flags & kChap)
        *p++ = r.chap;
    if (flags & kVerse)
        *p++ = r.verse;
    Append(buf, static_cast<std::size_t>(p - buf));
    m_last = r;
    ++m_count;
}

void CRefList::Assign(std::initializer_list<CWordRef> refs) {
    *this = CRefList();
    for (const CWordRef& r : refs)
        Add(r);
}

void CRefList::Assign(const std::vector<CWordRef>& refs) {
    *this = CRefList();
    for (const CWordRef& r : refs)
        Add(r);
}

void CRefList::Unpack(std::vector<CWordRef>& out) const {
    out.reserve(out.size() + m_count);
    ForEach([&](const CWordRef& r) { out.push_back(r); });
}

} // namespace crv
