// The splash sequence on its own, inside a running game (recording device):
// the timings and colours of one black-to-white splash, the skip rules, the
// records that count, and a clip that neither touches the player's volume
// nor divides by its size once it has closed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/support/harness.h"
#include "orvo/app/a_fileserver.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_graphserver.h"
#include "support/temp_dir.h"

using namespace kbtest;

namespace {

constexpr float kDt = 1.0f / 64.0f; // exact in binary: the midpoints fall on frames

std::string splash(const std::string& extra)
{
    return "[splash]\nimage=missing.png\nfadeincolor=FF000000\nfadeoutcolor=FFFFFFFF\n"
           "fadeintime=1.0\nshowtime=2.0\nfadeouttime=1.0\n" +
           extra + "\n";
}

class SplashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameHarness::Options options;
        options.recording = true;
        h = std::make_unique<GameHarness>(options);
        ASSERT_EQ(h->start(), 0);
    }

    std::unique_ptr<SplashManager> make(const std::string& text)
    {
        std::ofstream(dir.file("settings.ini"), std::ios::binary) << text;
        auto manager = std::make_unique<SplashManager>(dir.file("settings.ini"));
        manager->start(true);
        return manager;
    }

    // Frames until the sequence ends; `input` runs before the frame of that number.
    int run(SplashManager& s, int inputFrame = -1, uint32_t* colourAt = nullptr, int colourFrame = -1,
            std::function<void(aInputServer&)> input = nullptr)
    {
        aInputServer& in = *h->game().getInputServer();
        int frames = 0;
        for (; frames < 2000; ++frames) {
            if (frames == inputFrame && input)
                input(in);
            const bool going = s.update(kDt);
            std::fill(std::begin(in.buttonStates), std::end(in.buttonStates), A_STATE_UP);
            in.keyStates[A_KEY_SPACE] = in.keyStates[A_KEY_ESCAPE] = A_STATE_UP;
            if (frames == colourFrame && colourAt)
                *colourAt = h->game().getGraphServer()->getClearColor();
            if (!going)
                break;
        }
        return frames + 1;
    }

    TempDir dir{"splash"};
    std::unique_ptr<GameHarness> h;
};

void click(aInputServer& in)
{
    in.buttonStates[0] = A_STATE_PRESSED;
}

void escape(aInputServer& in)
{
    in.keyStates[A_KEY_ESCAPE] = A_STATE_PRESSED;
}

} // namespace

TEST_F(SplashTest, OneSplashFadesFromBlackToWhiteInFourSecondsAndIgnoresClicksWhileFading)
{
    auto s = make(splash("skip=1"));
    ASSERT_EQ(s->records().size(), 1u);
    EXPECT_EQ(s->records()[0].picture, dir.file("missing.png"));
    EXPECT_EQ(h->game().getGraphServer()->getClearColor(), 0xFF000000u);

    // 1 s in, 2 s shown, 1 s out: the fade-out's midpoint is frame 64 + 128 + 32.
    uint32_t middle = 0;
    const int frames = run(*s, -1, &middle, 64 + 128 + 32 - 1);
    EXPECT_NEAR(frames * kDt, 4.0, 0.05);
    EXPECT_EQ(middle, 0xFF808080u);
    EXPECT_EQ(h->game().getGraphServer()->getClearColor(), 0xFF000000u) << "black again after the end";
    EXPECT_EQ(s->getIndex(), -1);
    EXPECT_FALSE(s->update(kDt));

    // A click during the fade-in or the fade-out changes nothing; during the show it starts the fade-out.
    for (const auto& [frame, expected] : {std::pair{10, frames}, std::pair{64 + 128 + 10, frames},
                                          std::pair{64 + 20, 64 + 20 + 1 + 64 + 1}}) {
        auto again = make(splash("skip=1"));
        EXPECT_EQ(run(*again, frame, nullptr, -1, click), expected) << "click before frame " << frame;
    }
    // Not skippable: a click in the show is ignored.
    auto fixed = make(splash("skip=0"));
    EXPECT_EQ(run(*fixed, 64 + 20, nullptr, -1, click), frames);
}

TEST_F(SplashTest, SkipRulesRecordsAndAClipThatEndsEarly)
{
    // Skip 2: Escape in the first of three splashes fades it out and ends the sequence.
    auto three = make(splash("skip=2") + splash("skip=2") + splash("skip=2"));
    ASSERT_EQ(three->records().size(), 3u);
    EXPECT_EQ(run(*three, 64 + 5, nullptr, -1, escape), 64 + 5 + 1 + 64 + 1);
    // Skip 1: a click cuts only the current one; the next splash follows.
    auto two = make(splash("skip=1") + splash("skip=0"));
    EXPECT_EQ(run(*two, 64 + 5, nullptr, -1, click), 64 + 5 + 1 + 64 + 1 + 257);

    // Only sections named exactly "splash"; none at all ends at the first update.
    auto others = make("[splashes]\nimage=a.png\n[Splash]\nimage=b.png\n[intro]\nshowtime=3\n");
    EXPECT_TRUE(others->records().empty());
    EXPECT_FALSE(others->update(kDt));
    SplashManager missing(dir.file("nothing_here.ini"));
    EXPECT_TRUE(missing.records().empty());
    // Times that are negative or not numbers count as none: only the half second of show remains.
    auto odd = make("[splash]\nfadeintime=-5\nshowtime=0.5\nfadeouttime=nan\nskip=1\n");
    EXPECT_EQ(run(*odd), 32 + 1);

    // A clip shorter than its show time closes itself: drawing it afterwards places nothing
    // (no division by its size), and the player's stored sound volume is left alone.
    h->makePlayer(L"Ann");
    h->game().getCurrentProfile()->setSoundVolume(0.7f);
    const std::string clip = aFileServer::getModulePath() + "branding/savanna.ogv";
    std::filesystem::copy_file(clip, dir.file("clip.ogv"));
    auto video = make("[splash]\nimage=clip.ogv\nvideo=1\ncentered=0\nfadeintime=0.25\nshowtime=8\n"
                      "fadeouttime=0.25\nfadeincolor=FF000000\nfadeoutcolor=FF000000\nskip=0\n"
                      "[splash]\nimage=clip.ogv\nvideo=1\ncentered=1\nshowtime=8\n");
    aGraphServer* graph = h->game().getGraphServer();
    int frames = 0;
    while (frames < 2000 && video->update(kDt)) {
        if (frames % 50 == 0 && graph->beginScene()) {
            video->draw();
            graph->endScene();
        }
        ++frames;
    }
    EXPECT_NEAR(frames * kDt, 0.25 + 8 + 0.25 + 8, 0.05);
    EXPECT_FLOAT_EQ(h->game().getCurrentProfile()->getSoundVolume(), 0.7f);
    EXPECT_FLOAT_EQ(h->game().getSoundVolume(), 0.7f);
}
