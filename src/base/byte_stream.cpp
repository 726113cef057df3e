#include "base/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace crv {

std::size_t MemorySource::Read(char* buffer, std::size_t n) {
    std::size_t k = std::min(n, m_bytes.size() - m_pos);
    if (k)
        std::memcpy(buffer, m_bytes.data() + m_pos, k);
    m_pos += k;
    return k;
}

} // namespace crv
