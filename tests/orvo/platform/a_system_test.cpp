#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "orvo/platform/a_instancelock.h"
#include "orvo/platform/a_system.h"
#include "orvo/platform/a_systemfacts.h"
#include "support/temp_dir.h"

TEST(InstanceLock, ASecondHolderIsRefusedUntilTheFirstLetsGo)
{
    kbtest::TempDir dir("lock");
    aInstanceLock first;
    aInstanceLock second;
    ASSERT_EQ(first.acquire("Kesterby", dir.path()), aInstanceLock::Result::Acquired);
    EXPECT_TRUE(first.held());
    EXPECT_EQ(second.acquire("Kesterby", dir.path()), aInstanceLock::Result::HeldElsewhere);
    EXPECT_FALSE(second.held());
    // Another name is another application.
    aInstanceLock other;
    EXPECT_EQ(other.acquire("Other", dir.path()), aInstanceLock::Result::Acquired);
    first.release();
    EXPECT_EQ(second.acquire("Kesterby", dir.path()), aInstanceLock::Result::Acquired);
}

TEST(InstanceLock, NamesWithSeparatorsStayInsideTheFolder)
{
    kbtest::TempDir dir("lock");
    aInstanceLock lock;
    ASSERT_EQ(lock.acquire("../up/../../x", dir.path()), aInstanceLock::Result::Acquired);
    EXPECT_EQ(lock.path().rfind(dir.path() + "/", 0), 0u);
    EXPECT_EQ(lock.path().find('/', dir.path().size() + 1), std::string::npos) << lock.path();
}

TEST(InstanceLock, AFolderWithoutALockFileGuardsNothingButRefusesNobody)
{
    aInstanceLock lock;
    EXPECT_EQ(lock.acquire("Kesterby", "/nonexistent-folder-for-locks"), aInstanceLock::Result::Unavailable);
    EXPECT_FALSE(lock.held());
}

TEST(SystemFacts, MountTableKeepsDrivesAndSkipsPseudoFileSystems)
{
    const std::string mounts = "overlay / overlay rw,relatime 0 0\n"
                               "proc /proc proc rw 0 0\n"
                               "tmpfs /run tmpfs rw 0 0\n"
                               "/dev/sda1 /boot ext4 rw 0 0\n"
                               "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
                               "server:/export /mnt/nfs nfs4 rw 0 0\n"
                               "/dev/sr0 /media/cd iso9660 ro 0 0\n"
                               "/dev/sdb1 /media/my\\040disk vfat rw 0 0\n"
                               "/dev/sdc1 /boot xfs rw 0 0\n"
                               "broken line\n";
    const auto drives = systemfacts_parseMounts(mounts);
    ASSERT_EQ(drives.size(), 5u);
    EXPECT_EQ(drives[0].mountPoint, "/");
    EXPECT_EQ(drives[0].type, aDriveFact::Type::Fixed);
    EXPECT_EQ(drives[0].fileSystem, "overlay");
    EXPECT_EQ(drives[1].mountPoint, "/mnt/nfs");
    EXPECT_EQ(drives[1].type, aDriveFact::Type::Remote);
    EXPECT_EQ(drives[2].type, aDriveFact::Type::CdRom);
    EXPECT_EQ(drives[3].mountPoint, "/media/my disk");
    EXPECT_EQ(drives[3].device, "/dev/sdb1");
    // A later mount over /boot hides the earlier one.
    EXPECT_EQ(drives[4].mountPoint, "/boot");
    EXPECT_EQ(drives[4].fileSystem, "xfs");

    const auto ram = systemfacts_parseMounts("rootfs / tmpfs rw 0 0\n");
    ASSERT_EQ(ram.size(), 1u);
    EXPECT_EQ(ram[0].type, aDriveFact::Type::RamDisk);
    EXPECT_TRUE(systemfacts_parseMounts("").empty());
}

TEST(SystemFacts, MeminfoValuesByKey)
{
    const std::string meminfo = "MemTotal:       16314460 kB\n"
                                "MemFree:         1000 kB\n"
                                "MemAvailable:   8000000 kB\n"
                                "HugePages_Total:       0\n"
                                "SwapTotal:      2097148 kB\n";
    EXPECT_EQ(systemfacts_meminfoValue(meminfo, "MemTotal"), 16314460u);
    EXPECT_EQ(systemfacts_meminfoValue(meminfo, "MemAvailable"), 8000000u);
    EXPECT_EQ(systemfacts_meminfoValue(meminfo, "SwapTotal"), 2097148u);
    EXPECT_EQ(systemfacts_meminfoValue(meminfo, "Mem"), 0u);
    EXPECT_EQ(systemfacts_meminfoValue(meminfo, "CommitLimit"), 0u);
}

TEST(SystemFacts, ThisMachineGivesPlausibleFacts)
{
    const aSystemFacts f = systemfacts_gather();
    EXPECT_FALSE(f.operatingSystem.empty());
    EXPECT_FALSE(f.computerName.empty());
    EXPECT_GT(f.physicalTotal, 0u);
    EXPECT_LE(f.physicalAvailable, f.physicalTotal);
    EXPECT_LE(f.memoryLoad, 100u);
    ASSERT_FALSE(f.drives.empty());
    EXPECT_EQ(f.drives[0].mountPoint, "/");
}

TEST(SystemDoubleClick, TheHintWhenItHoldsATimeElse500)
{
    unsetenv("SDL_MOUSE_DOUBLE_CLICK_TIME");
    EXPECT_EQ(system_doubleClickTimeMs(), 500u);
    setenv("SDL_MOUSE_DOUBLE_CLICK_TIME", "350", 1);
    EXPECT_EQ(system_doubleClickTimeMs(), 350u);
    for (const char* bad : {"junk", "0", "-20", "999999"}) {
        setenv("SDL_MOUSE_DOUBLE_CLICK_TIME", bad, 1);
        EXPECT_EQ(system_doubleClickTimeMs(), 500u) << bad;
    }
    unsetenv("SDL_MOUSE_DOUBLE_CLICK_TIME");
}
