// A file as a byte source: large reads straight into the caller's buffer, without a
// second buffer in between.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/byte_stream.h"

namespace crv {

class FileSource : public ByteSource {
public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // False when the file cannot be opened for reading.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }
    // The file's length when it was opened (-1 when unknown).
    std::int64_t Size() const { return m_size; }
    // Back to the first byte, as reopening would.
    bool Rewind();

    std::size_t Read(char* buffer, std::size_t n) override;
    bool Failed() const override { return m_failed; }
    std::int64_t SizeHint() const override { return m_size; }

private:
    std::FILE* m_file = nullptr;
    std::int64_t m_size = -1;
    bool m_failed = false;
};

} // namespace crv
