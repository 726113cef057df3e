// Shared test helpers: a fixture with recording platform services that fails a test on
// any internal error, and scratch folders under the build tree.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "base/recording_platform.h"

namespace crv::test {

class PlatformTest : public ::testing::Test {
protected:
    PlatformTest() : m_scope(rec) {}
    void TearDown() override {
        EXPECT_TRUE(rec.InternalErrors().empty()) << rec.InternalErrors()[0];
    }

    RecordingPlatform rec;

private:
    ScopedPlatform m_scope;
};

// A fresh empty folder for the current test, removed when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// While it lives, files cannot grow past limit bytes (writes fail as on a full disk).
class FileSizeLimit {
public:
    explicit FileSizeLimit(long limit);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    long m_oldSoft;
    void (*m_oldHandler)(int);
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Text with LF line ends written as CR LF, as the settings and database writers write it.
std::string Crlf(const std::string& text);

} // namespace crv::test
