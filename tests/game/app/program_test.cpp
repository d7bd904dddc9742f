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
#include "orvo/platform/a_system.h"
#include "support/temp_dir.h"
#include "support/text_lines.h"

using namespace kbtest;

namespace {

// The program started headless.
class Program {
public:
    // In the home of the TempHome alive (the child inherits its variables).
    Program()
    {
        m_pid = fork();
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
        for (int waited = 0; waited < 60000; waited += 5) {
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_ended = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(5000);
        }
        return -2;
    }

private:
    pid_t m_pid = -1;
    bool m_ended = false;
};

// Waits (a minute at most) until the log holds a line containing `marker`.
bool waitForLog(const TempHome& home, const std::string& marker)
{
    for (int i = 0; i < 12000; ++i) {
        if (readFile(home.userDir() + "orvo.log").find(marker) != std::string::npos)
            return true;
        usleep(5000);
    }
    return false;
}

// Every file under the folder with its bytes.
// Every file below `folder` but the graphics driver's shader cache, which a
// running program may still fill.
std::map<std::string, std::string> snapshot(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().string().find("/.cache/") == std::string::npos)
            files[entry.path().string()] = readFile(entry.path().string());
    return files;
}

} // namespace

TEST(Program, ATerminationSignalEndsItWithTheSettingsWritten)
{
    const struct {
        const char* marker; // the signal comes once the log shows this
        int afterMs;        // and this much later
    } moments[] = {
        {"Application: Kesterby", 0},                     // start-up, before the window
        {"aGraphServer: HARDWARE_VERTEXPROCESSING", 0},   // the window is there
        {"aGraphServer: HARDWARE_VERTEXPROCESSING", 300}, // first frames
        {"aGraphServer: HARDWARE_VERTEXPROCESSING", 1500},
    };
    for (const auto& m : moments) {
        TempHome home;
        Program game;
        ASSERT_TRUE(waitForLog(home, m.marker)) << m.marker;
        usleep(m.afterMs * 1000);
        game.terminate();
        EXPECT_EQ(game.wait(), 0) << m.marker << " +" << m.afterMs;
        EXPECT_TRUE(readFile(home.userDir() + "config.ini").starts_with("[VIDEO]\r\nScreenWidth=1024\r\n"))
            << m.marker << " +" << m.afterMs;
        const std::vector<std::string> log = splitLines(readFile(home.userDir() + "orvo.log"), true);
        EXPECT_TRUE(std::find(log.begin(), log.end(), "orvo Engine stopped") != log.end())
            << m.marker << " +" << m.afterMs;
    }
}

TEST(Program, ASecondStartEndsAtOnceAndChangesNoFile)
{
    TempHome home;
    Program first;
    ASSERT_TRUE(waitForLog(home, "aGraphServer: HARDWARE_VERTEXPROCESSING"));
    usleep(300 * 1000);
    // The first one keeps running: only its log may grow meanwhile.
    auto before = snapshot(home.path());
    before.erase(home.userDir() + "orvo.log");
    {
        Program second;
        EXPECT_EQ(second.wait(), 0);
    }
    auto after = snapshot(home.path());
    const std::string log = after[home.userDir() + "orvo.log"];
    after.erase(home.userDir() + "orvo.log");
    EXPECT_EQ(after, before);
    EXPECT_EQ(log.find("started", log.find("started") + 1), std::string::npos) << "one engine banner only";

    first.terminate();
    EXPECT_EQ(first.wait(), 0);
}

namespace {
std::atomic<int> g_loaderSawQuit{0};

// A routine that, like the click wait, waits for frames until the game ends.
uint32_t waitUntilQuit(void* parameter)
{
    auto* game = static_cast<cGame*>(parameter);
    game->setFlags(cGame::FLAG_DRAW);
    while (!game->isQuitting())
        if (!game->getLoaderEvent()->wait())
            break;
    g_loaderSawQuit = 1;
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

    g_loaderSawQuit = 0;
    h.game().startLoader(&waitUntilQuit);
    h.frames(5);
    EXPECT_TRUE(h.game().loadingThreadRuns());
    h.closeWindow();
    h.frame();
    EXPECT_TRUE(h.quitPosted()) << "nothing could answer a question during a load";
    EXPECT_FALSE(cMessageBox::isShown());
    h.stop();
    EXPECT_EQ(g_loaderSawQuit.load(), 1);
    EXPECT_FALSE(h.game().loadingThreadRuns());
    EXPECT_FALSE(readFile(h.home().userDir() + "config.ini").empty());
}
