#include "base/file_source.h"

#include <filesystem>
#include <system_error>

namespace crv {

namespace fs = std::filesystem;

FileSource::~FileSource() { Close(); }

bool FileSource::Open(const std::string& path) {
    Close();
    m_failed = false;
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file)
        return false;
    // The reader reads large blocks itself; a second buffer would only copy them.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        Close();
        return false;
    }
    auto size = fs::file_size(path, ec);
    m_size = ec ? -1 : static_cast<std::int64_t>(size);
    return true;
}

void FileSource::Close() {
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

bool FileSource::Rewind() {
    if (!m_file)
        return false;
    m_failed = false;
    return std::fseek(m_file, 0, SEEK_SET) == 0;
}

std::size_t FileSource::Read(char* buffer, std::size_t n) {
    if (!m_file || n == 0)
        return 0;
    std::size_t k = std::fread(buffer, 1, n, m_file);
    if (k < n && std::ferror(m_file))
        m_failed = true;
    return k;
}

} // namespace crv
