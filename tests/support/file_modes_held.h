// While one lives, file modes hold for the calling thread even when it runs
// as root: the capabilities that pass over them leave the thread's effective
// set and come back at the end of the scope. A file of mode 000 then refuses
// to open, as it does for any other user. Other threads keep theirs.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kbtest {

class FileModesHeld {
public:
    FileModesHeld()
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (syscall(SYS_capget, &header, m_old) != 0)
            return;
        __user_cap_data_struct held[2] = {m_old[0], m_old[1]};
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            held[CAP_TO_INDEX(cap)].effective &= ~CAP_TO_MASK(cap);
        m_active = syscall(SYS_capset, &header, held) == 0;
    }
    ~FileModesHeld()
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (m_active)
            syscall(SYS_capset, &header, m_old);
    }
    FileModesHeld(const FileModesHeld&) = delete;
    FileModesHeld& operator=(const FileModesHeld&) = delete;

    // False when the capabilities could not be changed: a mode may not hold.
    bool active() const { return m_active; }

private:
    __user_cap_data_struct m_old[2] = {};
    bool m_active = false;
};

} // namespace kbtest
