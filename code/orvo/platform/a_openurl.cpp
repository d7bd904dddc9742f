#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "orvo/platform/a_system.h"
#include "orvo/util/a_log.h"

extern char** environ;

namespace {

constexpr const char* kDefaultOpener = "xdg-open";

std::mutex g_openerMutex;
std::string g_opener = kDefaultOpener;

bool startsWithNoCase(const char* text, const char* prefix)
{
    for (; *prefix; ++text, ++prefix)
        if (!*text || (*text | 0x20) != *prefix)
            return false;
    return true;
}

// A web address and nothing an opener could take for something else: other
// schemes (file:, javascript:) open local things, blanks and control
// characters split or end lines in the tools the opener hands on to.
bool acceptable(const char* url)
{
    size_t rest = 0;
    if (startsWithNoCase(url, "http://"))
        rest = 7;
    else if (startsWithNoCase(url, "https://"))
        rest = 8;
    else
        return false;
    if (url[rest] == '\0')
        return false;
    for (const char* p = url; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c <= 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

} // namespace

void system_setUrlOpener(const char* program)
{
    std::lock_guard lock(g_openerMutex);
    g_opener = program && *program ? program : kDefaultOpener;
}

bool system_openUrl(const char* url)
{
    if (!url || !acceptable(url)) {
        a_log("platform. Web address refused: \"%s\"", url ? url : "");
        return false;
    }
    std::string opener;
    {
        std::lock_guard lock(g_openerMutex);
        opener = g_opener;
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own session and the default signal handling: closing the game's
    // terminal or the game's own handlers never reach the browser.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    std::string argument = url;
    char* argv[] = {opener.data(), argument.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, opener.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) {
        a_log("platform. Cannot start \"%s\" for \"%s\" (%s)", opener.c_str(), url, std::strerror(rc));
        return false;
    }
    // The opener hands the address on and ends; someone has to reap it.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}
