#include "base/safe_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_names.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

bool WriteAll(int fd, const char* data, std::size_t n, int& error) {
    while (n > 0) {
        ssize_t put = ::write(fd, data, n);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            error = put < 0 ? errno : EIO;
            return false;
        }
        data += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

// Copies from to the new file to and flushes it; to is removed when anything fails.
bool CopyFileDurably(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat st {};
    mode_t mode = ::fstat(in, &st) == 0 ? (st.st_mode & 07777) : 0644;
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    int error = 0;
    static constexpr std::size_t kBlock = 256 * 1024;
    std::unique_ptr<char[]> buf(new char[kBlock]);
    for (;;) {
        ssize_t got = ::read(in, buf.get(), kBlock);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        if (!WriteAll(out, buf.get(), static_cast<std::size_t>(got), error)) {
            ok = false;
            break;
        }
    }
    ok = ok && ::fsync(out) == 0;
    ok = (::close(out) == 0) && ok;
    ::close(in);
    if (!ok)
        ::unlink(to.c_str());
    return ok;
}

// Flushes a folder's entries (a completed rename) to disk.
void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The new file gets the old one's owner (where the system allows: a save by an
// administrator) and permission bits, so that a rewritten file keeps who may use it.
void KeepOwnerAndMode(int fd, const struct stat& old) {
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Not ours to give away: the file belongs to whoever saves it.
    }
    ::fchmod(fd, old.st_mode & 07777);
}

std::string TempCandidate(const std::string& target, TempNaming naming, int number) {
    std::string stem =
        naming == TempNaming::ShortName ? ShortStem(target) : fs::path(target).stem().string();
    return NumberedSibling(target, stem.empty() ? "file" : stem, number, ".tmp");
}

// A name for the copy of the old file on its way to the backup that no other writer
// uses, so that a copy still there after the rename is certainly this write's.
std::string StagedCandidate(const std::string& target, int number) {
    static std::atomic<unsigned> counter{0};
    std::string stem = fs::path(target).stem().string() + "-" + std::to_string(::getpid()) + "-" +
                       std::to_string(counter++);
    return NumberedSibling(target, stem, number, ".tmp");
}

constexpr int kMaxNameTries = 10000;

SafeWriteResult Succeeded() {
    SafeWriteResult r;
    r.ok = true;
    return r;
}

// A stream buffer over a sink, for writers that fill a std::ostream.
class SinkBuf : public std::streambuf {
public:
    explicit SinkBuf(ByteSink& sink) : m_sink(sink) { setp(m_buf, m_buf + sizeof m_buf); }

protected:
    int_type overflow(int_type ch) override {
        if (!Pass())
            return traits_type::eof();
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }
    int sync() override { return Pass() ? 0 : -1; }

private:
    bool Pass() {
        std::size_t n = static_cast<std::size_t>(pptr() - pbase());
        setp(m_buf, m_buf + sizeof m_buf);
        return n == 0 || m_sink.Write(m_buf, n);
    }

    ByteSink& m_sink;
    char m_buf[64 * 1024];
};

} // namespace

int FileOps::CreateNew(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

bool FileOps::Rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool FileOps::MakeDurableCopy(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0)
        return true;
    // File systems without hard links (or a link count at its limit) get a real copy.
    if (errno == ENOENT || errno == EEXIST)
        return false;
    return CopyFileDurably(from, to);
}

FileOps& DefaultFileOps() {
    static FileOps ops;
    return ops;
}

SafeFileWriter::~SafeFileWriter() { Abandon(); }

SafeWriteResult SafeFileWriter::Failed(SafeWriteResult::Failure failure, int error) {
    Abandon();
    SafeWriteResult r;
    r.failure = failure;
    r.error = std::strerror(error ? error : EIO);
    return r;
}

SafeWriteResult SafeFileWriter::Open(const std::string& path, const SafeWriteOptions& options) {
    Abandon();
    m_ops = options.ops ? options.ops : &DefaultFileOps();
    m_backup = options.backup;
    m_writeError = 0;
    m_direct = false;
    // What the system opens under the name decides (/dev/stdout leads to a pipe through a
    // link that names no file).
    struct stat st {};
    const bool regular = ::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
    m_target = regular ? ResolvedFilePath(path) : path;
    if (regular && ::lstat(m_target.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        return Failed(SafeWriteResult::Failure::Create, ELOOP);
    const bool exists = ::stat(m_target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        // A device or a pipe cannot be replaced by a file: what is written goes to it.
        m_direct = true;
        m_fd = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (m_fd < 0)
            return Failed(SafeWriteResult::Failure::Create, errno);
        return Succeeded();
    }
    // Created exclusively: a name another writer took meanwhile is never shared.
    for (int n = 0; m_fd < 0; ++n) {
        std::string candidate = TempCandidate(m_target, options.naming, n);
        if (candidate == m_target)
            continue;
        errno = 0;
        m_fd = m_ops->CreateNew(candidate);
        if (m_fd >= 0)
            m_temp = candidate;
        else if (errno != EEXIST || n >= kMaxNameTries)
            return Failed(SafeWriteResult::Failure::Create, errno);
    }
    if (exists)
        KeepOwnerAndMode(m_fd, st);
    return Succeeded();
}

bool SafeFileWriter::Write(const char* data, std::size_t n) {
    if (m_fd < 0 || m_writeError)
        return false;
    return WriteAll(m_fd, data, n, m_writeError);
}

SafeWriteResult SafeFileWriter::Commit() {
    if (m_fd < 0)
        return Failed(SafeWriteResult::Failure::Create, EBADF);
    if (m_writeError)
        return Failed(SafeWriteResult::Failure::Write, m_writeError);
    // A pipe or a terminal cannot be flushed; its writes were checked one by one.
    if (!m_direct && ::fsync(m_fd) != 0)
        return Failed(SafeWriteResult::Failure::Write, errno);
    int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0)
        return Failed(SafeWriteResult::Failure::Write, errno);
    if (m_direct)
        return Succeeded();
    if (!m_backup.empty()) {
        SafeWriteResult kept = KeepBackup();
        if (!kept)
            return kept;
    }
    if (!m_ops->Rename(m_temp, m_target)) {
        // The old file is still in place: the temporary one holds nothing it lacks.
        return Failed(SafeWriteResult::Failure::Rename, errno);
    }
    m_temp.clear();
    SyncFolder(fs::path(m_target).parent_path().string());
    return Succeeded();
}

// The old file stays where it is until the new one replaces it; a durable copy of it goes
// over the backup in one rename, so that the backup is always a complete version.
SafeWriteResult SafeFileWriter::KeepBackup() {
    struct stat old {};
    if (::stat(m_target.c_str(), &old) != 0)
        return Succeeded(); // a new file: nothing to keep
    struct stat bak {};
    if (::stat(m_backup.c_str(), &bak) == 0) {
        if (!FileIsWritable(m_backup))
            return Failed(SafeWriteResult::Failure::Backup, EACCES);
        // Already a name of the old file (a hard link): it keeps the old version when the
        // new one takes the target's name.
        if (bak.st_dev == old.st_dev && bak.st_ino == old.st_ino)
            return Succeeded();
    }
    std::string staged;
    for (int n = 0; staged.empty(); ++n) {
        std::string candidate = StagedCandidate(m_target, n);
        errno = 0;
        if (m_ops->MakeDurableCopy(m_target, candidate)) {
            staged = candidate;
            continue;
        }
        // A link to a file that another save just renamed a new one over fails as if
        // the file were missing: the name still holds a whole version, linked next time.
        int error = errno;
        struct stat now {};
        bool replacedMeanwhile = error == ENOENT && ::stat(m_target.c_str(), &now) == 0;
        if ((error != EEXIST && !replacedMeanwhile) || n >= kMaxNameTries)
            return Failed(SafeWriteResult::Failure::OldFile, error);
    }
    if (!m_ops->Rename(staged, m_backup)) {
        int error = errno;
        ::unlink(staged.c_str());
        return Failed(SafeWriteResult::Failure::Backup, error);
    }
    // A rename between two names of one file does nothing: when the backup became a name
    // of the old file meanwhile (another save of it), the copy's name is still there.
    struct stat left {};
    if (::lstat(staged.c_str(), &left) == 0)
        ::unlink(staged.c_str());
    return Succeeded();
}

void SafeFileWriter::Abandon() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) // never a file that was there before: it was created for this write
        ::unlink(m_temp.c_str());
    m_temp.clear();
}

SafeWriteResult WriteFileSafely(const std::string& path,
                                const std::function<bool(std::ostream&)>& write,
                                const SafeWriteOptions& options) {
    SafeFileWriter file;
    SafeWriteResult opened = file.Open(path, options);
    if (!opened)
        return opened;
    bool wrote;
    {
        SinkBuf buf(file);
        std::ostream out(&buf);
        wrote = write(out);
        out.flush();
        wrote = wrote && out.good();
    }
    if (!wrote) {
        // The failed write's own error, when there was one, is the one to tell.
        int error = file.WriteError();
        file.Abandon();
        SafeWriteResult r;
        r.failure = SafeWriteResult::Failure::Write;
        r.error = std::strerror(error ? error : EIO);
        return r;
    }
    return file.Commit();
}

} // namespace crv
