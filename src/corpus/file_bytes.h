// The whole of a file in memory, in a buffer that the next file read into it uses again
// and that is not cleared first: on a large corpus, fresh memory costs more than the read.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace crv {

class CFileBytes {
public:
    // False when the file cannot be opened or read (the buffer then holds nothing).
    bool Read(const std::string& path);
    std::string_view View() const { return {m_data.get(), m_size}; }

private:
    void Reserve(std::size_t n);

    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace crv
