// The kesterby program as a desktop starts and ends it: a termination signal during its start ends it
// with the settings written (also while it reads a huge profiles file, losing no player), and a second
// start while it runs ends at once and touches no file. Also in-process: a quit while a loading routine
// waits is seen by it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <map>

#include "game/app/profiles.h"
#include "game/app/profilesfile.h"
#include "game/support/harness.h"
#include "game/support/test_screen.h"
#include "support/hang_guard.h"

using namespace kbtest;

namespace {

// Looks at the program no more often: reading its log takes the processor from it.
constexpr std::chrono::milliseconds kPoll{5};

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
        if (m_status < 0)
            kill(m_pid, SIGKILL), waitpid(m_pid, nullptr, 0);
    }
    // SIGTERM (unless `signal` is 0), then the exit code; -1 for a kill by a signal, -2 when it hung.
    int end(int signal = SIGTERM)
    {
        if (signal)
            kill(m_pid, signal);
        if (!waitInRealTime([this] { return waitpid(m_pid, &m_status, WNOHANG) == m_pid; }, kPoll))
            return -2;
        return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
    }

private:
    pid_t m_pid;
    int m_status = -1;
};

// Waits until the log holds `marker` (false when the program hung).
bool waitForLog(const TempHome& home, const std::string& marker)
{
    return waitInRealTime([&] { return readFile(home.userDir() + "orvo.log").find(marker) != std::string::npos; },
                          kPoll);
}

// Every file in the home with its bytes, but the log and the graphics driver's shader cache, which a
// running program may still fill.
std::map<std::string, std::string> snapshot(const TempHome& home)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path()))
        if (entry.is_regular_file() && entry.path().string().find("/.cache/") == std::string::npos &&
            entry.path() != home.userDir() + "orvo.log")
            files[entry.path().string()] = readFile(entry.path().string());
    return files;
}

constexpr const char* kWindowUp = "aGraphServer: HARDWARE_VERTEXPROCESSING";

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

TEST(Program, ATerminationSignalWritesTheSettingsAndASecondStartChangesNoFile)
{
    // The signal comes before the window and while the first screen loads.
    for (const char* marker : {"Application: Kesterby", kWindowUp}) {
        SCOPED_TRACE(marker);
        TempHome home;
        Program game;
        ASSERT_TRUE(waitForLog(home, marker));
        EXPECT_EQ(game.end(), 0);
        EXPECT_TRUE(readFile(home.userDir() + "config.ini").starts_with("[VIDEO]\r\nScreenWidth=1024\r\n"));
        EXPECT_NE(readFile(home.userDir() + "orvo.log").find("\torvo Engine stopped\n"), std::string::npos);
        // The nameless placeholder of a first start is no player to keep.
        cProfiles saved;
        saved.load(home.userDir() + "Profiles/profiles.dat");
        EXPECT_EQ(saved.findByName(L""), nullptr);
    }
    // The first one keeps running: only its log may grow meanwhile.
    TempHome home;
    Program first;
    ASSERT_TRUE(waitForLog(home, kWindowUp));
    usleep(300 * 1000);
    const auto before = snapshot(home);
    EXPECT_EQ(Program().end(0), 0);
    EXPECT_EQ(snapshot(home), before);
    const std::string log = readFile(home.userDir() + "orvo.log");
    EXPECT_EQ(log.find("started", log.find("started") + 1), std::string::npos) << "one engine banner only";
    EXPECT_EQ(first.end(), 0);
}

TEST(Program, ATerminationSignalWhileAHugeProfilesFileIsReadEndsTheProgramAndLosesNoPlayer)
{
    TempHome home;
    std::filesystem::create_directories(home.userDir() + "Profiles");
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "[Player" + std::to_string(i) + "]\r\nStars=" + std::to_string(i) + "\r\n\r\n";
    writeFile(home.userDir() + "Profiles/profiles.dat", profilesfile_widen(text));
    Program game;
    ASSERT_TRUE(waitForLog(home, "Application: Kesterby"));
    EXPECT_EQ(game.end(), 0) << "ended, and on its own";
    cProfiles saved;
    saved.load(home.userDir() + "Profiles/profiles.dat");
    ASSERT_EQ(saved.count(), 100000u);
    EXPECT_EQ(saved.findByName(L"Player99999")->stars, 99999);
    // The log stays small however many keys the players lack.
    EXPECT_LT(readFile(home.userDir() + "orvo.log").size(), 100000u);
}

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
    h.stop();
    EXPECT_TRUE(g_loaderSawQuit);
    EXPECT_FALSE(h.game().loadingThreadRuns());
}
