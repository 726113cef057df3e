// A growable byte buffer for the word-list code: bytes and little-endian 16- and 32-bit
// values, grown in steps of 128 bytes. Reading or writing past the length is a bug.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

namespace crv {

class HugeStr {
public:
    HugeStr() = default;
    HugeStr(const HugeStr& other) { Assign(other); }
    HugeStr& operator=(const HugeStr& other) {
        if (this != &other)
            Assign(other);
        return *this;
    }
    HugeStr(HugeStr&&) noexcept = default;
    HugeStr& operator=(HugeStr&&) noexcept = default;
    ~HugeStr() = default;

    std::uint32_t Length() const { return m_length; }
    std::uint32_t Capacity() const { return m_capacity; }
    const unsigned char* Data() const { return m_data.get(); }

    // Shrinks (or grows, with zero bytes) to n bytes; 0 frees the buffer.
    void SetLength(std::uint32_t n);
    void Free();
    void Assign(const HugeStr& other);

    void AppendByte(std::uint8_t v);
    void AppendWord(std::uint16_t v);
    void AppendDword(std::uint32_t v);
    void AppendBytes(const void* bytes, std::uint32_t n);

    std::uint8_t GetByte(std::uint32_t i) const;
    std::uint16_t GetWord(std::uint32_t i) const;
    std::uint32_t GetDword(std::uint32_t i) const;
    void SetDword(std::uint32_t i, std::uint32_t v);

    // Removes n bytes at i; inserts other's bytes at i.
    void Delete(std::uint32_t i, std::uint32_t n);
    void Insert(std::uint32_t i, const HugeStr& other);

    // Writes the bytes in use; whether all were written.
    bool WriteTo(std::FILE* file) const;
    // Reads up to n bytes; the length becomes the count actually read.
    void ReadFrom(std::FILE* file, std::uint32_t n);

private:
    // Makes room for n bytes: the needed size rounded down to 128, plus 128. The block
    // is grown with realloc, which extends large blocks in place, so that the small
    // steps do not make appending quadratic.
    void Reserve(std::uint32_t n);
    bool InRange(std::uint32_t i, std::uint32_t n) const;

    struct FreeBytes {
        void operator()(unsigned char* p) const;
    };
    std::uint32_t m_length = 0;
    std::uint32_t m_capacity = 0;
    std::unique_ptr<unsigned char, FreeBytes> m_data;
};

} // namespace crv
