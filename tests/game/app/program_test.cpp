// The kesterby program as a desktop starts and ends it: a termination signal
// at several moments of its start ends it with the settings written, and a
// second start while it runs ends at once with code 0 and touches no file.
// Also in-process: a quit while a loading routine waits is seen by it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <map>

#include "game/support/harness.h"
#include "game/support/test_screen.h"

using namespace kbtest;

namespace {

// The program started headless, in the home of the TempHome alive (the child inherits its variables).
class Program {
public:
    Program() : m_pid(fork())
    {
        if (m_pid == 0) {
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            execl(KB_GAME_PROGRAM, KB_GAME_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Program()
    {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    void terminate() { kill(m_pid, SIGTERM); }
    // The exit code, -1 for a kill by a signal, -2 when it did not end in a minute.
    int wait()
    {
        int status = 0;
        for (int waited = 0; waited < 60000; waited += 5, usleep(5000))
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_ended = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
        return -2;
    }

private:
    pid_t m_pid;
    bool m_ended = false;
};

// Waits (a minute at most) until the log holds `marker`.
bool waitForLog(const TempHome& home, const std::string& marker)
{
    for (int i = 0; i < 12000; ++i, usleep(5000))
        if (readFile(home.userDir() + "orvo.log").find(marker) != std::string::npos)
            return true;
    return false;
}

// Every file below `folder` with its bytes, but the graphics driver's shader
// cache, which a running program may still fill.
std::map<std::string, std::string> snapshot(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().string().find("/.cache/") == std::string::npos)
            files[entry.path().string()] = readFile(entry.path().string());
    return files;
}

constexpr const char* kWindowUp = "aGraphServer: HARDWARE_VERTEXPROCESSING";

} // namespace

TEST(Program, ATerminationSignalEndsItWithTheSettingsWritten)
{
    // The signal comes once the log shows the marker, and this much later.
    const std::pair<const char*, int> moments[] = {
        {"Application: Kesterby", 0}, {kWindowUp, 0}, {kWindowUp, 300}, {kWindowUp, 1500}};
    for (const auto& [marker, afterMs] : moments) {
        SCOPED_TRACE(std::string(marker) + " +" + std::to_string(afterMs));
        TempHome home;
        Program game;
        ASSERT_TRUE(waitForLog(home, marker));
        usleep(afterMs * 1000);
        game.terminate();
        EXPECT_EQ(game.wait(), 0);
        EXPECT_TRUE(readFile(home.userDir() + "config.ini").starts_with("[VIDEO]\r\nScreenWidth=1024\r\n"));
        EXPECT_NE(readFile(home.userDir() + "orvo.log").find("\torvo Engine stopped\n"), std::string::npos);
    }
}

TEST(Program, ASecondStartEndsAtOnceAndChangesNoFile)
{
    TempHome home;
    Program first;
    ASSERT_TRUE(waitForLog(home, kWindowUp));
    usleep(300 * 1000);
    // The first one keeps running: only its log may grow meanwhile.
    auto before = snapshot(home.path());
    before.erase(home.userDir() + "orvo.log");
    EXPECT_EQ(Program().wait(), 0);
    auto after = snapshot(home.path());
    const std::string log = after[home.userDir() + "orvo.log"];
    after.erase(home.userDir() + "orvo.log");
    EXPECT_EQ(after, before);
    EXPECT_EQ(log.find("started", log.find("started") + 1), std::string::npos) << "one engine banner only";
    first.terminate();
    EXPECT_EQ(first.wait(), 0);
}

namespace {
std::atomic<bool> g_loaderSawQuit{false};

// A routine that, like the click wait, waits for frames until the game ends.
uint32_t waitUntilQuit(void* parameter)
{
    auto* game = static_cast<cGame*>(parameter);
    game->setFlags(cGame::FLAG_DRAW);
    while (!game->isQuitting() && game->getLoaderEvent()->wait()) {
    }
    g_loaderSawQuit = true;
    return 0;
}
} // namespace

TEST(Program, AQuitDuringALoadEndsTheLoadBeforeShutdown)
{
    GameHarness h;
    StateCalls calls;
    ScopedStateClass menu(STATE_MENU, [&] { return new TestScreen(STATE_MENU, calls); });
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    h.game().startLoader(&waitUntilQuit);
    h.frames(5);
    EXPECT_TRUE(h.game().loadingThreadRuns());
    h.closeWindow();
    h.frame();
    EXPECT_TRUE(h.quitPosted()) << "nothing could answer a question during a load";
    EXPECT_FALSE(cMessageBox::isShown());
    h.stop();
    EXPECT_TRUE(g_loaderSawQuit);
    EXPECT_FALSE(h.game().loadingThreadRuns());
    EXPECT_FALSE(readFile(h.home().userDir() + "config.ini").empty());
}
