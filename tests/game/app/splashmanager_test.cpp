// The splash sequence inside a running game: the skip rules, the records that count, odd times, and
// a clip that neither touches the player's volume nor divides by its size once it has closed.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "game/support/harness.h"
#include "orvo/app/a_fileserver.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_graphserver.h"

using namespace kbtest;

namespace {

constexpr float kDt = 1.0f / 64.0f; // exact in binary: the midpoints fall on frames

std::string splash(const std::string& skip)
{
    return "[splash]\nimage=missing.png\nfadeincolor=FF000000\nfadeoutcolor=FFFFFFFF\n"
           "fadeintime=1.0\nshowtime=2.0\nfadeouttime=1.0\nskip=" +
           skip + "\n";
}

} // namespace

TEST(Splash, FadesSkipsRecordsOddTimesAndAClipThatEndsEarly)
{
    TempDir dir{"splash"};
    GameHarness h{GameHarness::Options{.recording = true}};
    auto make = [&](const std::string& text) {
        writeFile(dir.file("settings.ini"), text);
        auto manager = std::make_unique<SplashManager>(dir.file("settings.ini"));
        manager->start(true);
        return manager;
    };
    // Frames until the sequence ends; a click (or Escape) before frame `inputAt`.
    auto run = [&](SplashManager& s, int inputAt = -1, bool escape = false) {
        aInputServer& in = *h.game().getInputServer();
        int frames = 0;
        for (bool going = true; going && frames < 2000; ++frames) {
            (escape ? in.keyStates[A_KEY_ESCAPE] : in.buttonStates[0]) =
                frames == inputAt ? A_STATE_PRESSED : A_STATE_UP;
            going = s.update(kDt);
            in.keyStates[A_KEY_ESCAPE] = in.buttonStates[0] = A_STATE_UP;
        }
        return frames;
    };
    ASSERT_EQ(h.start(), 0);
    auto one = make(splash("1"));
    ASSERT_EQ(one->records().size(), 1u);
    const int frames = run(*one);
    EXPECT_FALSE(one->update(kDt));
    // A click during the fade-in changes nothing; during the show it starts the fade-out.
    EXPECT_EQ(run(*make(splash("1")), 10), frames);
    EXPECT_EQ(run(*make(splash("1")), 64 + 20), 64 + 20 + 1 + 64 + 1);
    // Skip 2: Escape in the first of two splashes fades it out and ends the sequence.
    EXPECT_EQ(run(*make(splash("2") + splash("2")), 64 + 5, true), 64 + 5 + 1 + 64 + 1);
    // Skip 1: a click cuts only the current one; the next splash follows.
    EXPECT_EQ(run(*make(splash("1") + splash("0")), 64 + 5), 64 + 5 + 1 + 64 + 1 + 257);
    // Only sections named exactly "splash"; none at all ends at the first update.
    auto others = make("[splashes]\nimage=a.png\n[Splash]\nimage=b.png\n[intro]\nshowtime=3\n");
    EXPECT_TRUE(others->records().empty());
    EXPECT_FALSE(others->update(kDt));
    EXPECT_TRUE(SplashManager(dir.file("nothing_here.ini")).records().empty());
    // Times that are negative or not numbers count as none: only the half second of show remains.
    EXPECT_EQ(run(*make("[splash]\nfadeintime=-5\nshowtime=0.5\nfadeouttime=nan\nskip=1\n")), 32 + 1);
    // A clip shorter than its show time closes itself: drawing it afterwards places nothing
    // (no division by its size), and the player's stored sound volume is left alone.
    h.makePlayer(L"Ann");
    h.game().getCurrentProfile()->setSoundVolume(0.7f);
    std::filesystem::copy_file(aFileServer::getModulePath() + "branding/savanna.ogv", dir.file("clip.ogv"));
    auto video = make("[splash]\nimage=clip.ogv\nvideo=1\ncentered=0\nfadeintime=0.25\nshowtime=8\n"
                      "fadeouttime=0.25\nfadeincolor=FF000000\nfadeoutcolor=FF000000\nskip=0\n"
                      "[splash]\nimage=clip.ogv\nvideo=1\ncentered=1\nshowtime=8\n");
    aGraphServer* graph = h.game().getGraphServer();
    int clipFrames = 0;
    for (; clipFrames < 2000 && video->update(kDt); ++clipFrames)
        if (clipFrames % 50 == 0 && graph->beginScene()) {
            video->draw();
            graph->endScene();
        }
    EXPECT_FLOAT_EQ(h.game().getCurrentProfile()->getSoundVolume(), 0.7f);
}

TEST(Splash, FadesRunOnTheFadingSplashsOwnTimesAfterASkipToTheLast)
{
    TempDir dir{"splash"};
    GameHarness h{GameHarness::Options{.recording = true}};
    ASSERT_EQ(h.start(), 0);
    aInputServer& in = *h.game().getInputServer();
    auto record = [](const char* fadeOut, const char* skip) {
        return std::string(
                   "[splash]\nimage=missing.png\nfadeincolor=FF000000\nfadeoutcolor=FFFFFFFF\nfadeintime=0.5\n") +
               "showtime=1.0\nfadeouttime=" + fadeOut + "\nskip=" + skip + "\nsound=nothing.ogg\n";
    };
    // Fade-out times of 1 s, 1 s and 2 s, and a last record without any fade-out.
    for (const std::string& text : {record("1.0", "2") + record("1.0", "0") + record("2.0", "0"),
                                    record("1.0", "2") + record("1.0", "0") + record("0", "0")}) {
        writeFile(dir.file("settings.ini"), text);
        SplashManager s(dir.file("settings.ini"));
        s.start(true);
        float last = s.getFade();
        int frames = 0;
        for (bool going = true; going && frames < 2000; ++frames) {
            // Escape in the first splash's show.
            in.keyStates[A_KEY_ESCAPE] = frames == 40 ? A_STATE_PRESSED : A_STATE_UP;
            going = s.update(kDt);
            const float fade = s.getFade();
            ASSERT_TRUE(std::isfinite(fade)) << "frame " << frames;
            // No fade time is below 0.5 s: one frame moves the fade by at most kDt / 0.5 (or restarts it at 0).
            EXPECT_TRUE(std::fabs(fade - last) <= kDt / 0.5f + 1e-5f || fade == 0.0f)
                << "frame " << frames << ": " << last << " -> " << fade;
            last = fade;
        }
        in.keyStates[A_KEY_ESCAPE] = A_STATE_UP;
        // Fade-in, show up to the key, then the first splash's own fade-out of 1 s, and the end.
        EXPECT_EQ(frames, 40 + 1 + 64 + 1);
    }
}
