// A cap on the size of the files this process writes, for a full disk in a
// test: a write past it fails with EFBIG (SIGXFSZ is ignored meanwhile, so
// the process lives), and root is held to it too, where permissions are not.
// Both are put back at the end of the scope. Keep the scope short: every
// thread's writes to regular files are capped.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>

namespace kbtest {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_ignoring = sigaction(SIGXFSZ, &ignore, &m_oldAction) == 0;
        if (!m_ignoring || getrlimit(RLIMIT_FSIZE, &m_old) != 0)
            return;
        const rlimit cap{std::min(bytes, m_old.rlim_max), m_old.rlim_max};
        m_active = setrlimit(RLIMIT_FSIZE, &cap) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_active)
            setrlimit(RLIMIT_FSIZE, &m_old);
        if (m_ignoring)
            sigaction(SIGXFSZ, &m_oldAction, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // False when the cap could not be set: the test cannot make its full disk.
    bool active() const { return m_active; }

private:
    rlimit m_old = {};
    struct sigaction m_oldAction = {};
    bool m_ignoring = false;
    bool m_active = false;
};

} // namespace kbtest
