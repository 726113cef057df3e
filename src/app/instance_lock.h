// One running desktop program per user: the running instance holds a lock file in the
// configuration folder for as long as it runs.
#pragma once

#include <string>

namespace crv {

class InstanceLock {
public:
    explicit InstanceLock(const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock; false when another running instance holds it.
    bool TryAcquire();
    bool Held() const { return m_fd >= 0; }
    void ReleaseLock();

private:
    std::string m_path;
    int m_fd = -1;
};

class Preferences;

enum class StartupDecision { Run, AnotherInstanceRunning };

// Start-up and exit of the desktop program: a second instance (the lock is held
// elsewhere) must bring the first forward and end, leaving LastWndTitle alone; the
// running instance keeps its window title in LastWndTitle and clears it at exit.
StartupDecision CheckSingleInstance(InstanceLock& lock);
void RecordWindowTitle(Preferences& prefs, const std::string& title);
void ClearWindowTitleAtExit(Preferences& prefs, const InstanceLock& lock);

} // namespace crv
