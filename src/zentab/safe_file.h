// Writing a file safely: everything goes to a new temporary file in the same folder, which
// replaces the target only when complete (flushed and synced), so a failure or a crash
// never leaves a half-written file in place of a good one.
#pragma once

#include <string>

namespace crv::zt {

class SafeFileWriter {
public:
    SafeFileWriter() = default;
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    ~SafeFileWriter() { Abort(); }

    // Creates the temporary file; with append it starts as a copy of the existing target.
    bool Open(const std::string& path, bool append);
    bool Write(const char* data, std::size_t length);
    // Syncs and renames over the target; false (and the target untouched) on failure.
    bool Commit();
    // Removes the temporary file.
    void Abort();
    const std::string& TempPath() const { return m_temp; }

private:
    std::string m_path, m_temp;
    int m_fd = -1;
    bool m_failed = false;
};

// True when both names lead to the same existing file.
bool SameFile(const std::string& a, const std::string& b);

} // namespace crv::zt
