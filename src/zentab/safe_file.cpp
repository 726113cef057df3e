// Temporary-file-then-rename writing with POSIX calls (the rename is atomic on one volume).
#include "zentab/safe_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace crv::zt {

namespace {

bool WriteAll(int fd, const char* data, std::size_t length, int& error) {
    while (length > 0) {
        ssize_t n = ::write(fd, data, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            return false;
        }
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

// The file a path names, its symbolic links followed (also to a file not there yet).
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
        ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0)
            break;
        target.resize(static_cast<std::size_t>(n));
        std::size_t slash = path.rfind('/');
        path = target[0] == '/' || slash == std::string::npos ? target
                                                              : path.substr(0, slash + 1) + target;
    }
    return path;
}

} // namespace

bool SafeFileWriter::Fail(int error) {
    Abort();
    errno = error ? error : EIO;
    return false;
}

bool SafeFileWriter::Open(const std::string& path, bool append) {
    Abort();
    m_error = 0;
    m_direct = false;
    // What the system opens under the name decides (/dev/stdout leads to a pipe through a
    // link that names no file).
    struct stat st {};
    const bool regular = ::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
    m_path = regular ? FollowLinks(path) : path;
    if (::lstat(m_path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && regular)
        return Fail(ELOOP);
    const bool exists = ::stat(m_path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        // A device or a pipe cannot be replaced by a file: what is written goes to it.
        m_direct = true;
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (append ? O_APPEND : 0));
        return m_fd >= 0 || Fail(errno);
    }
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; m_fd < 0; ++attempt) {
        m_temp =
            m_path + ".zt" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
        m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt >= 10000)) {
            m_temp.clear();
            return Fail(errno);
        }
    }
    if (!exists)
        return true;
    // The new file keeps the old one's owner (where allowed) and permission bits.
    if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(m_fd, st.st_uid, st.st_gid) != 0) {
        // Not ours to give away: the file belongs to whoever writes it.
    }
    ::fchmod(m_fd, st.st_mode & 07777);
    if (append) {
        int in = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0)
            return Fail(errno);
        char buffer[65536];
        ssize_t n;
        int error = 0;
        while ((n = ::read(in, buffer, sizeof buffer)) != 0) {
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                error = errno;
                break;
            }
            if (!WriteAll(m_fd, buffer, static_cast<std::size_t>(n), error))
                break;
        }
        ::close(in);
        if (error)
            return Fail(error);
    }
    return true;
}

bool SafeFileWriter::Write(const char* data, std::size_t length) {
    if (m_fd < 0 || m_error)
        return false;
    return WriteAll(m_fd, data, length, m_error);
}

bool SafeFileWriter::Commit() {
    if (m_fd < 0)
        return Fail(EBADF);
    if (m_error)
        return Fail(m_error);
    // A pipe or a terminal cannot be flushed; its writes were checked one by one.
    if (!m_direct && ::fsync(m_fd) != 0)
        return Fail(errno);
    int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0)
        return Fail(errno);
    if (m_direct)
        return true;
    if (std::rename(m_temp.c_str(), m_path.c_str()) != 0)
        return Fail(errno);
    m_temp.clear();
    return true;
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
