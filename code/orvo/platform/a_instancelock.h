// The single-instance guard: an exclusive advisory lock on a file named after
// the application in the per-user runtime folder (or the data folder). The
// lock goes with the process, so a crash never leaves a stale guard.
// The holder listens on a local socket beside the lock file, so that a later
// start can ask it to bring its window to the front; asking never waits.
// Main thread (the listener runs on a thread of its own).
#pragma once

#include <atomic>
#include <string>
#include <thread>

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
    // The holder's socket: the lock file's path with ".sock" in place of ".lock".
    std::string socketPath() const;

    // From a start that found the lock held: asks the holder to raise its
    // window. False when no holder listens (gone, hung or of another
    // kind); returns at once either way.
    bool requestRaise() const;
    // The holder: true once for any number of requests that came since the
    // last call. Each request also wakes a waiting event pump.
    bool takeRaiseRequest() { return m_raiseRequested.exchange(false); }

    // Where the lock file of `name` lives by default.
    static std::string defaultPath(const std::string& name);

private:
    void startListening();
    void stopListening();
    void listen();

    int m_fd = -1;
    std::string m_path;
    int m_socket = -1;
    int m_stopPipe[2] = {-1, -1};
    std::thread m_listener;
    std::atomic<bool> m_raiseRequested{false};
};
