// Temporary-file-then-rename writing with POSIX calls (the rename is atomic on one volume).
#include "zentab/safe_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace crv::zt {

namespace {

bool WriteAll(int fd, const char* data, std::size_t length) {
    while (length > 0) {
        ssize_t n = ::write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool SafeFileWriter::Open(const std::string& path, bool append) {
    Abort();
    m_path = path;
    m_failed = false;
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        m_temp = path + ".zt" + std::to_string(::getpid()) + "-" +
                 std::to_string((static_cast<unsigned long long>(tick) + counter++) % 1000000) +
                 ".tmp";
        m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_temp.clear();
        return false;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        (void)::fchmod(m_fd, st.st_mode & 07777);
        if (append) {
            int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (in < 0) {
                Abort();
                return false;
            }
            char buffer[65536];
            ssize_t n;
            while ((n = ::read(in, buffer, sizeof buffer)) > 0)
                if (!WriteAll(m_fd, buffer, static_cast<std::size_t>(n)))
                    n = -1;
            ::close(in);
            if (n < 0) {
                Abort();
                return false;
            }
        }
    }
    return true;
}

bool SafeFileWriter::Write(const char* data, std::size_t length) {
    if (m_fd < 0 || m_failed)
        return false;
    if (!WriteAll(m_fd, data, length))
        m_failed = true;
    return !m_failed;
}

bool SafeFileWriter::Commit() {
    if (m_fd < 0)
        return false;
    bool ok = !m_failed && ::fsync(m_fd) == 0;
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    if (ok && std::rename(m_temp.c_str(), m_path.c_str()) == 0) {
        m_temp.clear();
        return true;
    }
    Abort();
    return false;
}

void SafeFileWriter::Abort() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
    m_temp.clear();
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace crv::zt
