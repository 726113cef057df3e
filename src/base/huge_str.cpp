#include "base/huge_str.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "base/platform.h"

namespace crv {

void HugeStr::FreeBytes::operator()(unsigned char* p) const { std::free(p); }

void HugeStr::Reserve(std::uint32_t n) {
    if (n <= m_capacity)
        return;
    std::uint64_t cap = (static_cast<std::uint64_t>(n) / 128) * 128 + 128;
    CRV_ASSERT(cap <= UINT32_MAX);
    if (cap > UINT32_MAX)
        cap = UINT32_MAX;
    void* grown = std::realloc(m_data.get(), static_cast<std::size_t>(cap));
    if (!grown)
        throw std::bad_alloc();
    (void)m_data.release();
    m_data.reset(static_cast<unsigned char*>(grown));
    m_capacity = static_cast<std::uint32_t>(cap);
}

bool HugeStr::InRange(std::uint32_t i, std::uint32_t n) const {
    bool ok = static_cast<std::uint64_t>(i) + n <= m_length;
    CRV_ASSERT(ok);
    return ok;
}

void HugeStr::SetLength(std::uint32_t n) {
    if (n == 0) {
        Free();
        return;
    }
    Reserve(n);
    if (n > m_length)
        std::memset(m_data.get() + m_length, 0, n - m_length);
    m_length = n;
}

void HugeStr::Free() {
    m_data.reset();
    m_length = 0;
    m_capacity = 0;
}

void HugeStr::Assign(const HugeStr& other) {
    Free();
    AppendBytes(other.m_data.get(), other.m_length);
}

void HugeStr::AppendBytes(const void* bytes, std::uint32_t n) {
    if (n == 0)
        return;
    CRV_ASSERT(static_cast<std::uint64_t>(m_length) + n <= UINT32_MAX);
    Reserve(m_length + n);
    std::memcpy(m_data.get() + m_length, bytes, n);
    m_length += n;
}

void HugeStr::AppendByte(std::uint8_t v) { AppendBytes(&v, 1); }

void HugeStr::AppendWord(std::uint16_t v) {
    unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    AppendBytes(b, 2);
}

void HugeStr::AppendDword(std::uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    AppendBytes(b, 4);
}

std::uint8_t HugeStr::GetByte(std::uint32_t i) const { return InRange(i, 1) ? m_data.get()[i] : 0; }

std::uint16_t HugeStr::GetWord(std::uint32_t i) const {
    if (!InRange(i, 2))
        return 0;
    return static_cast<std::uint16_t>(m_data.get()[i] | m_data.get()[i + 1] << 8);
}

std::uint32_t HugeStr::GetDword(std::uint32_t i) const {
    if (!InRange(i, 4))
        return 0;
    return static_cast<std::uint32_t>(m_data.get()[i]) |
           static_cast<std::uint32_t>(m_data.get()[i + 1]) << 8 |
           static_cast<std::uint32_t>(m_data.get()[i + 2]) << 16 |
           static_cast<std::uint32_t>(m_data.get()[i + 3]) << 24;
}

void HugeStr::SetDword(std::uint32_t i, std::uint32_t v) {
    if (!InRange(i, 4))
        return;
    for (int k = 0; k < 4; ++k)
        m_data.get()[i + static_cast<std::uint32_t>(k)] = static_cast<unsigned char>(v >> (8 * k));
}

void HugeStr::Delete(std::uint32_t i, std::uint32_t n) {
    if (!InRange(i, n))
        return;
    std::memmove(m_data.get() + i, m_data.get() + i + n, m_length - i - n);
    m_length -= n;
}

void HugeStr::Insert(std::uint32_t i, const HugeStr& other) {
    if (!InRange(i, 0) || other.m_length == 0)
        return;
    if (&other == this) {
        // NOLINTNEXTLINE(performance-unnecessary-copy-initialization): inserting into itself
        HugeStr copy(other);
        Insert(i, copy);
        return;
    }
    std::uint32_t n = other.m_length;
    Reserve(m_length + n);
    std::memmove(m_data.get() + i + n, m_data.get() + i, m_length - i);
    std::memcpy(m_data.get() + i, other.m_data.get(), n);
    m_length += n;
}

bool HugeStr::WriteTo(std::FILE* file) const {
    if (m_length == 0)
        return true;
    return std::fwrite(m_data.get(), 1, m_length, file) == m_length;
}

void HugeStr::ReadFrom(std::FILE* file, std::uint32_t n) {
    Free();
    if (n == 0)
        return;
    Reserve(n);
    m_length = static_cast<std::uint32_t>(std::fread(m_data.get(), 1, n, file));
}

} // namespace crv
