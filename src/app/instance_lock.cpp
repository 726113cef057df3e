#include "app/instance_lock.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

#include "app/preferences.h"

namespace crv {

InstanceLock::InstanceLock(const std::string& folder)
    : m_path((std::filesystem::path(folder) / "corvane.lock").string()) {}

InstanceLock::~InstanceLock() { ReleaseLock(); }

bool InstanceLock::TryAcquire() {
    if (m_fd >= 0)
        return true;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ec);
    int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true; // no lock file possible (read-only home): do not refuse to start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void InstanceLock::ReleaseLock() {
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
}

StartupDecision CheckSingleInstance(InstanceLock& lock) {
    return lock.TryAcquire() ? StartupDecision::Run : StartupDecision::AnotherInstanceRunning;
}

void RecordWindowTitle(Preferences& prefs, const std::string& title) {
    prefs.Set(Preferences::kLastWndTitle, title);
}

void ClearWindowTitleAtExit(Preferences& prefs, const InstanceLock& lock) {
    if (lock.Held())
        prefs.Set(Preferences::kLastWndTitle, "");
}

} // namespace crv
