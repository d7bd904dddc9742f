#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "orvo/platform/a_instancelock.h"
#include "orvo/platform/a_system.h"
#include "orvo/platform/a_systemfacts.h"
#include "support/hang_guard.h"
#include "support/temp_dir.h"

TEST(InstanceLock, ASecondHolderIsRefusedAndAsksTheHolderToRaiseUntilItLetsGo)
{
    kbtest::TempDir dir("lock");
    aInstanceLock first, second, odd, nowhere;
    ASSERT_EQ(first.acquire("Kesterby", dir.path()), aInstanceLock::Result::Acquired);
    EXPECT_FALSE(first.takeRaiseRequest());
    ASSERT_EQ(second.acquire("Kesterby", dir.path()), aInstanceLock::Result::HeldElsewhere);
    EXPECT_FALSE(second.held());

    // Each raise request is heard once. The listener's thread hears it when it
    // runs: each is waited for before the next, or a late second one could
    // land between the checks below.
    for (int request = 0; request < 2; ++request) {
        ASSERT_TRUE(second.requestRaise());
        EXPECT_TRUE(kbtest::waitInRealTime([&first] { return first.takeRaiseRequest(); })) << request;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // time for a request heard twice to show
    EXPECT_FALSE(first.takeRaiseRequest());

    first.release();
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/Kesterby.sock"));
    EXPECT_FALSE(second.requestRaise());
    EXPECT_EQ(second.acquire("Kesterby", dir.path()), aInstanceLock::Result::Acquired);

    // Names with separators stay inside the folder.
    ASSERT_EQ(odd.acquire("../up/../../x", dir.path()), aInstanceLock::Result::Acquired);
    EXPECT_EQ(odd.path().rfind(dir.path() + "/", 0), 0u);
    EXPECT_EQ(odd.path().find('/', dir.path().size() + 1), std::string::npos) << odd.path();
    // A folder without a lock file guards nothing but refuses nobody.
    EXPECT_EQ(nowhere.acquire("Kesterby", "/nonexistent-folder-for-locks"), aInstanceLock::Result::Unavailable);
    EXPECT_FALSE(nowhere.held());
}

TEST(SystemFacts, MountsAndMeminfoAreParsedAndThisMachineGivesPlausibleFacts)
{
    // Pseudo file systems and broken lines are skipped, a later mount over /boot hides the earlier one,
    // escaped blanks are read back, fixed drives keep their file system and device.
    const std::string mounts = "overlay / overlay rw 0 0\nproc /proc proc rw 0 0\n/dev/sda1 /boot ext4 rw 0 0\n"
                               "server:/export /mnt/nfs nfs4 rw 0 0\n/dev/sr0 /media/cd iso9660 ro 0 0\n"
                               "/dev/sdb1 /media/my\\040disk vfat rw 0 0\n/dev/sdc1 /boot xfs rw 0 0\nbroken line\n";
    std::vector<std::string> drives;
    for (const aDriveFact& d : systemfacts_parseMounts(mounts))
        drives.push_back(d.mountPoint + " " + d.fileSystem + " " + d.device + " " + std::to_string(int(d.type)));
    using T = aDriveFact::Type;
    auto drive = [](const char* text, T type) { return text + std::to_string(int(type)); };
    EXPECT_EQ(drives, (std::vector<std::string>{drive("/ overlay overlay ", T::Fixed), drive("/mnt/nfs   ", T::Remote),
                                                drive("/media/cd   ", T::CdRom),
                                                drive("/media/my disk vfat /dev/sdb1 ", T::Fixed),
                                                drive("/boot xfs /dev/sdc1 ", T::Fixed)}));

    // A root file system in memory is a RAM disk; no mounts, no drives.
    const auto ram = systemfacts_parseMounts("rootfs / tmpfs rw 0 0\n");
    EXPECT_TRUE(ram.size() == 1 && ram[0].type == T::RamDisk);
    EXPECT_TRUE(systemfacts_parseMounts("").empty());

    const std::string meminfo = "MemFree:         1000 kB\nMemTotal:       16314460 kB\n";
    EXPECT_EQ(systemfacts_meminfoValue(meminfo, "MemTotal"), 16314460u);
    EXPECT_EQ(systemfacts_meminfoValue(meminfo, "Mem"), 0u);
    const aSystemFacts f = systemfacts_gather();
    EXPECT_TRUE(f.physicalTotal > 0 && !f.drives.empty() && f.drives[0].mountPoint == "/");
}

TEST(SystemPriority, TheClassSetsTheBaseNicenessThreadPrioritiesCountFromOnTheCallingThreadOnly)
{
    // On a thread of its own: niceness is per thread, and lowering it again is not for everyone.
    std::vector<int> nices;
    bool refused = false;
    std::thread([&] {
        const id_t self = static_cast<id_t>(syscall(SYS_gettid));
        auto nice = [self] { return getpriority(PRIO_PROCESS, self); };
        if (system_setPriorityClass(A_PRIORITY_BELOW_NORMAL))
            nices.push_back(nice());
        for (int32_t priority : {A_THREAD_LOWEST, A_THREAD_IDLE})
            if (system_setThreadPriority(priority))
                nices.push_back(nice());
        refused = !system_setPriorityClass(0x1234) && !system_setThreadPriority(7);
    }).join();
    // The base goes back to normal from a thread still at the process's own niceness, which needs no privilege.
    std::thread([] { (void)system_setPriorityClass(A_PRIORITY_NORMAL); }).join();
    EXPECT_EQ(nices, (std::vector<int>{10, 14, 19}));
    EXPECT_TRUE(refused) << "unknown values";
}

TEST(SystemDoubleClick, TheHintWhenItHoldsATimeElse500)
{
    for (const char* value : {"350", "junk", "0", "-20", "999999", ""}) {
        setenv("SDL_MOUSE_DOUBLE_CLICK_TIME", value, 1);
        EXPECT_EQ(system_doubleClickTimeMs(), *value == '3' ? 350u : 500u) << value;
    }
    unsetenv("SDL_MOUSE_DOUBLE_CLICK_TIME");
    EXPECT_EQ(system_doubleClickTimeMs(), 500u);
}

namespace {

// An opener that writes how many arguments it got and the first one into a
// file (made complete by a rename, so a reader never sees half of it).
std::string fakeOpener(const kbtest::TempDir& dir)
{
    const std::string script = dir.file("opener.sh"), tmp = dir.file("got.tmp");
    kbtest::writeFile(script, "#!/bin/sh\nprintf '%s\\n%s' \"$#\" \"$1\" > \"" + tmp + "\"\nmv \"" + tmp + "\" \"" +
                                  dir.file("got") + "\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    return script;
}

std::string waitForFile(const std::string& path)
{
    kbtest::waitInRealTime([&path] { return std::filesystem::exists(path); });
    const std::string text = kbtest::readFile(path);
    std::filesystem::remove(path);
    return text;
}

} // namespace

TEST(OpenUrl, TheOpenerGetsTheAddressAsItsOneArgumentAndRefusedAddressesRunNothing)
{
    kbtest::TempDir dir("url");
    system_setUrlOpener(fakeOpener(dir).c_str());
    const std::string got = dir.file("got");
    for (const char* url : {"https://example.org/park?a=1&b=2", "http://x.test/';touch${IFS}pwned;'\"$(id)\"`id`"}) {
        ASSERT_TRUE(system_openUrl(url)) << url;
        EXPECT_EQ(waitForFile(got), std::string("1\n") + url);
    }
    for (const char* url :
         std::initializer_list<const char*>{"file:///etc/passwd", "javascript:alert(1)", "https://a.test/\nrm -rf ~",
                                            "https://a.test/ b", "http://", "", "-h", nullptr})
        EXPECT_FALSE(system_openUrl(url)) << (url ? url : "null");
    // A good address still comes through afterwards: nothing refused above left a file.
    ASSERT_TRUE(system_openUrl("https://example.org/"));
    EXPECT_EQ(waitForFile(got), "1\nhttps://example.org/");
    EXPECT_FALSE(std::filesystem::exists(dir.file("pwned")));
    EXPECT_FALSE(std::filesystem::exists("pwned"));

    system_setUrlOpener((dir.path() + "/no-such-opener").c_str());
    EXPECT_FALSE(system_openUrl("https://example.org/"));
    system_setUrlOpener(nullptr);
}
