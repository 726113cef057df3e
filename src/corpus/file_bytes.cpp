#include "corpus/file_bytes.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

namespace crv {

void CFileBytes::Reserve(std::size_t n) {
    if (n <= m_capacity)
        return;
    auto grown = std::make_unique_for_overwrite<char[]>(n);
    if (m_size)
        std::memcpy(grown.get(), m_data.get(), m_size);
    m_data = std::move(grown);
    m_capacity = n;
}

bool CFileBytes::Read(const std::string& path) {
    m_size = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    struct stat st {};
    bool ok = ::fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        // One byte more than the file's size: the end of the file is then met within it.
        Reserve(static_cast<std::size_t>(st.st_size) + 1);
        for (;;) {
            std::size_t got = std::fread(m_data.get() + m_size, 1, m_capacity - m_size, f);
            m_size += got;
            if (m_size < m_capacity)
                break;
            Reserve(2 * m_capacity); // the file grew while it was read
        }
        ok = !std::ferror(f);
    }
    std::fclose(f);
    if (!ok)
        m_size = 0;
    return ok;
}

} // namespace crv
