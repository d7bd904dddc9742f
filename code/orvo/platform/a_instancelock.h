// The single-instance guard: an exclusive advisory lock on a file named after
// the application in the per-user runtime folder (or the data folder). The
// lock goes with the process, so a crash never leaves a stale guard.
// Main thread.
#pragma once

#include <string>

class aInstanceLock {
public:
    aInstanceLock() = default;
    ~aInstanceLock() { release(); }
    aInstanceLock(const aInstanceLock&) = delete;
    aInstanceLock& operator=(const aInstanceLock&) = delete;

    enum class Result {
        Acquired,      // this object holds the lock now
        HeldElsewhere, // another instance holds it
        Unavailable,   // no lock file can be made here: nothing guards the instance
    };

    // `folder` empty: the per-user default folder.
    [[nodiscard]] Result acquire(const std::string& name, const std::string& folder = {});
    void release();
    bool held() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }

    // Where the lock file of `name` lives by default.
    static std::string defaultPath(const std::string& name);

private:
    int m_fd = -1;
    std::string m_path;
};
