#include "base/safe_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace crv {

namespace fs = std::filesystem;

std::string UnusedSiblingName(const std::string& path, const std::string& ext) {
    fs::path p(path);
    fs::path folder = p.parent_path();
    std::string stem = p.stem().string();
    if (stem.empty())
        stem = "file";
    for (int n = 0;; ++n) {
        std::string name = stem + (n ? std::to_string(n) : std::string()) + ext;
        fs::path candidate = folder / name;
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec)) && candidate != p)
            return candidate.string();
    }
}

bool SyncFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

SafeWriteResult WriteFileSafely(const std::string& path,
                                const std::function<bool(std::ostream&)>& write) {
    SafeWriteResult r;
    std::string tmp = UnusedSiblingName(path, ".tmp");
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            r.failure = SafeWriteResult::Failure::Create;
            r.error = std::strerror(errno);
            return r;
        }
        bool wrote = write(out);
        out.flush();
        if (!wrote || !out) {
            r.failure = SafeWriteResult::Failure::Write;
            r.error = std::strerror(errno ? errno : EIO);
            out.close();
            std::remove(tmp.c_str());
            return r;
        }
        out.close();
        if (!out) {
            r.failure = SafeWriteResult::Failure::Write;
            r.error = std::strerror(errno ? errno : EIO);
            std::remove(tmp.c_str());
            return r;
        }
    }
    if (!SyncFile(tmp)) {
        r.failure = SafeWriteResult::Failure::Write;
        r.error = std::strerror(errno ? errno : EIO);
        std::remove(tmp.c_str());
        return r;
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        r.failure = SafeWriteResult::Failure::Rename;
        r.error = std::strerror(errno);
        std::remove(tmp.c_str());
        return r;
    }
    SyncFolder(fs::path(path).parent_path().string());
    r.ok = true;
    return r;
}

} // namespace crv
