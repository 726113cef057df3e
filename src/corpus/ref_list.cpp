#include "corpus/ref_list.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace crv {

namespace {

enum : unsigned char { kNewFile = 1, kBook = 2, kChap = 4, kVerse = 8 };

unsigned char* PutVarint(unsigned char* out, std::uint32_t v) {
    while (v >= 0x80) {
        *out++ = static_cast<unsigned char>((v & 0x7F) | 0x80);
        v >>= 7;
    }
    *out++ = static_cast<unsigned char>(v);
    return out;
}

bool GetVarint(const unsigned char*& p, const unsigned char* end, std::uint32_t& v) {
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

CRefList::~CRefList() { std::free(m_data); }

void CRefList::Append(const unsigned char* bytes, std::size_t n) {
    if (n == 0)
        return;
    if (m_size + n > m_capacity) {
        std::size_t capacity = std::max<std::size_t>({16, 2 * std::size_t{m_capacity}, m_size + n});
        if (capacity > 0xFFFFFFFFu)
            throw std::bad_alloc();
        void* grown = std::realloc(m_data, capacity);
        if (!grown)
            throw std::bad_alloc();
        m_data = static_cast<unsigned char*>(grown);
        m_capacity = static_cast<std::uint32_t>(capacity);
    }
    std::memcpy(m_data + m_size, bytes, n);
    m_size += static_cast<std::uint32_t>(n);
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

bool CRefList::Decode(const unsigned char*& p, const unsigned char* end, CWordRef& last) {
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
    for (auto [flag, field] : {std::pair{kBook, &last.book}, {kChap, &last.chap}, {kVerse, &last.verse}})
        if (flags & flag) {
            if (p >= end)
                return false;
            *field = *p++;
        }
    return true;
}

} // namespace crv
