// A second start raises the running instance's window and ends at once with 0, whatever the first one's state.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "orvo/platform/a_instancelock.h"
#include "support/app_fixture.h"
#include "support/child_process.h"
#include "support/hang_guard.h"
#include "support/temp_dir.h"

namespace {

// A child that is still there after the hang guard has hung.
constexpr int kPatienceSeconds = std::chrono::seconds(kbtest::kHangGuard).count();

int32_t init(aApplication& app)
{
    return app.init("Kesterby", nullptr, "", "Brindlewick");
}

// What a forked second start does with its init's answer.
kbtest::ChildResult secondStart(const std::string& lockFolder)
{
    return kbtest::runChild(
        [&] {
            kbtest::TestApp second;
            second.setLockFolder(lockFolder);
            _exit(init(second) == 1 ? 0 : 3);
        },
        kPatienceSeconds);
}

sockaddr_un addressOf(const std::string& path)
{
    sockaddr_un address{.sun_family = AF_UNIX};
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

int bindSocket(const std::string& path, int flags = 0)
{
    const sockaddr_un address = addressOf(path);
    const int s = socket(AF_UNIX, SOCK_DGRAM | flags, 0);
    EXPECT_EQ(bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    return s;
}

} // namespace

TEST(SecondStart, RaisesTheRunningWindowAndEndsWith0WhileTheFirstRunsOn)
{
    kbtest::TempDir lockDir("lock");
    kbtest::LoopRig rig;
    rig.app.setLockFolder(lockDir.path());
    ASSERT_EQ(init(rig.app), 0);
    std::vector<std::string> raised;
    window_setSink([&](const aWindowCall& call) { raised.push_back(call.name); });
    const kbtest::ChildResult child = secondStart(lockDir.path());
    EXPECT_TRUE(child.exited && child.code == 0) << child.describe();
    // The request comes in on the listener's thread, whenever it runs; the loop turns until it shows.
    int raisedAt = 0;
    const kbtest::HangGuard guard;
    rig.app.onUpdate = [&](int frame) {
        if (raisedAt == 0 && !raised.empty())
            raisedAt = frame;
        if ((raisedAt && frame > raisedAt + 3) || (!raisedAt && guard.expired()))
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 0;
    };
    EXPECT_EQ(rig.app.run(), 0);
    window_setSink({});
    ASSERT_GT(raisedAt, 0) << "the window was never raised";
    EXPECT_EQ(raised, std::vector<std::string>{"raise"}); // not minimised: nothing to restore
    aInstanceLock probe;                                  // the first instance still holds its guard
    EXPECT_EQ(probe.acquire("Kesterby", lockDir.path()), aInstanceLock::Result::HeldElsewhere);
    rig.app.shutdown();
    EXPECT_EQ(probe.acquire("Kesterby", lockDir.path()), aInstanceLock::Result::Acquired);
}

TEST(SecondStart, AHolderThatDoesNotListenNeverHoldsTheSecondStartUpNorALaterStart)
{
    kbtest::TempDir lockDir("lock");
    aInstanceLock naming;
    ASSERT_EQ(naming.acquire("Kesterby", lockDir.path()), aInstanceLock::Result::Acquired);
    const std::string lockPath = naming.path();
    const std::string socketPath = naming.socketPath();
    naming.release();
    // A holder that never answers: a socket file left by a crash, then a bound socket with a full queue.
    const int foreign = open(lockPath.c_str(), O_RDWR);
    ASSERT_GE(foreign, 0);
    ASSERT_EQ(flock(foreign, LOCK_EX | LOCK_NB), 0);
    close(bindSocket(socketPath)); // a socket file nobody listens on any more
    kbtest::ChildResult child = secondStart(lockDir.path());
    EXPECT_TRUE(child.exited && child.code == 0) << child.describe();
    unlink(socketPath.c_str());
    const int deaf = bindSocket(socketPath, SOCK_NONBLOCK);
    const sockaddr_un address = addressOf(socketPath);
    const int filler = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    for (int sent = 0; sent < 100000; ++sent)
        if (sendto(filler, "raise", 5, 0, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 5)
            break;
    close(filler);
    child = secondStart(lockDir.path());
    EXPECT_TRUE(child.exited && child.code == 0) << child.describe();
    // Once that holder is gone, a normal start takes over its files.
    close(deaf);
    close(foreign);
    kbtest::TestApp later;
    later.setLockFolder(lockDir.path());
    ASSERT_EQ(init(later), 0);
    aInstanceLock probe;
    EXPECT_EQ(probe.acquire("Kesterby", lockDir.path()), aInstanceLock::Result::HeldElsewhere);
    EXPECT_TRUE(probe.requestRaise());
    later.shutdown();
}
