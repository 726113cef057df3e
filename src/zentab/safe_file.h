// Writing a file safely, zentab's own copy of the program's safe writer (the engine
// depends on nothing else). A regular file (or a name not in use) gets its new contents
// in a temporary file created for this write alone in the same folder, with the old
// file's permission bits, flushed to disk and renamed over the target only when complete,
// so a failure or a crash never leaves a half-written file in place of a good one. A
// symbolic link is followed; a device or a pipe is written directly. Every failure is
// reported, and no temporary file outlives the write.
#pragma once

#include <string>

namespace crv::zt {

class SafeFileWriter {
public:
    SafeFileWriter() = default;
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    ~SafeFileWriter() { Abort(); }

    // Creates the temporary file; with append it starts as a copy of the existing target
    // (a device or a pipe is opened for appending). false with errno set on failure.
    bool Open(const std::string& path, bool append);
    // false once any write failed.
    bool Write(const char* data, std::size_t length);
    // Syncs and renames over the target; false (errno set, the target untouched) on
    // failure, including any earlier failed write.
    bool Commit();
    // Removes the temporary file.
    void Abort();
    // The temporary file; empty when the target is written directly.
    const std::string& TempPath() const { return m_temp; }

private:
    bool Fail(int error);

    std::string m_path, m_temp;
    int m_fd = -1;
    int m_error = 0; // errno of the first failed write
    bool m_direct = false;
};

// True when both names lead to the same existing file.
bool SameFile(const std::string& a, const std::string& b);

} // namespace crv::zt
