// Runs a piece of a test in a forked child process, for code that ends the
// process (the crash filters). The child never returns into the test
// program: after the body it leaves with _exit(0). It runs headless (no
// display variables) and leaves no core file behind.
#pragma once

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace kbtest {

struct ChildResult {
    bool exited = false; // ended through exit; `code` holds the exit code
    int code = -1;
    int signal = 0; // the signal that ended it, 0 when it exited
    bool hung = false;

    std::string describe() const
    {
        if (hung)
            return "child hung";
        if (exited)
            return "exit code " + std::to_string(code);
        return "killed by signal " + std::to_string(signal);
    }
};

// A child still running after `patienceSeconds` counts as hung and is killed,
// so that a deadlocked crash filter fails the test instead of stalling it.
inline ChildResult runChild(const std::function<void()>& body, int patienceSeconds = 60)
{
    ChildResult result;
    const pid_t pid = fork();
    if (pid < 0)
        return result;
    if (pid == 0) {
        prctl(PR_SET_DUMPABLE, 0);
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        body();
        _exit(0);
    }
    int status = 0;
    for (long waited = 0;; waited += 10) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0)
            return result;
        if (waited >= patienceSeconds * 1000L) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.hung = true;
            return result;
        }
        const timespec pause{0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    if (WIFEXITED(status)) {
        result.exited = true;
        result.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

} // namespace kbtest
