#include "base/file_replace.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "base/safe_file.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

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
        for (ssize_t done = 0; done < got && ok;) {
            ssize_t put = ::write(out, buf.get() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            ok = put > 0;
            done += put > 0 ? put : 0;
        }
        if (!ok)
            break;
    }
    ok = ok && ::fsync(out) == 0;
    ok = (::close(out) == 0) && ok;
    ::close(in);
    if (!ok)
        ::unlink(to.c_str());
    return ok;
}

} // namespace

int FileOps::CreateNew(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
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

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool FileIsWritable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return ::access(path.c_str(), W_OK) == 0;
}

std::int64_t FileModificationTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return 0;
    return static_cast<std::int64_t>(st.st_mtime);
}

std::string ResolvedFilePath(const std::string& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec)))
        return path;
    fs::path target = fs::canonical(path, ec);
    return ec ? path : target.string();
}

std::string DatabaseTempName(const std::string& path) {
    fs::path p(path);
    std::string base;
    for (char c : p.stem().string()) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            base += c;
        if (base.size() == 8)
            break;
    }
    if (base.empty())
        base = "crv";
    // UnusedSiblingName numbers the name made from the stem of its argument.
    return UnusedSiblingName((p.parent_path() / (base + ".x")).string(), ".tmp");
}

std::string WithExtension(const std::string& path, const std::string& ext) {
    fs::path p(path);
    p.replace_extension(ext);
    return p.string();
}

bool HasExtension(const std::string& path, const std::string& ext) {
    std::string e = fs::path(path).extension().string();
    if (e.size() != ext.size())
        return false;
    for (std::size_t i = 0; i < e.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(e[i])) !=
            std::tolower(static_cast<unsigned char>(ext[i])))
            return false;
    return true;
}

ReplaceFailure ReplaceKeepingBackup(const std::string& newFile, const std::string& path,
                                    const std::string& backup, FileOps& ops) {
    if (!backup.empty() && FileExists(path)) {
        if (FileExists(backup) && !FileIsWritable(backup)) {
            std::remove(newFile.c_str());
            return ReplaceFailure::BackupFailed;
        }
        // The old file stays where it is until the new one replaces it; its copy goes
        // over the backup in one rename.
        std::string staged = UnusedSiblingName(path, ".tmp");
        if (!ops.MakeDurableCopy(path, staged)) {
            std::remove(newFile.c_str());
            return ReplaceFailure::OldFileBusy;
        }
        if (!ops.Rename(staged, backup)) {
            std::remove(staged.c_str());
            std::remove(newFile.c_str());
            return ReplaceFailure::BackupFailed;
        }
    }
    if (!ops.Rename(newFile, path))
        return ReplaceFailure::NewFileRename;
    SyncFolder(fs::path(path).parent_path().string());
    return ReplaceFailure::None;
}

NewFile::~NewFile() {
    if (!m_finished)
        Abandon();
    else if (m_fd >= 0)
        ::close(m_fd);
}

bool NewFile::Create(const std::string& path, FileOps& ops) {
    m_path = path;
    m_fd = ops.CreateNew(path);
    m_failed = m_fd < 0;
    m_created = !m_failed;
    return m_created;
}

bool NewFile::Write(const char* data, std::size_t n) {
    while (n > 0 && !m_failed) {
        ssize_t put = ::write(m_fd, data, n);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            m_failed = true;
            break;
        }
        data += put;
        n -= static_cast<std::size_t>(put);
    }
    return !m_failed;
}

bool NewFile::Finish() {
    if (m_fd < 0)
        return false;
    bool ok = !m_failed && ::fsync(m_fd) == 0;
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    m_finished = true;
    return ok;
}

void NewFile::Abandon() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_created) // never a file of that name that was there before
        ::unlink(m_path.c_str());
    m_created = false;
    m_finished = true;
}

void CopyPermissions(const std::string& path, const std::string& newFile) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        ::chmod(newFile.c_str(), st.st_mode & 07777);
}

} // namespace crv
