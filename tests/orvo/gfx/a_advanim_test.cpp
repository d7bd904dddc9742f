#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_imagemanager.h"

namespace {

// Counts the notifications and notes the frame counter at each frame change.
struct Watched : aAdvAnim {
    int stepStarts = 0;
    int sequenceEnds = 0;
    std::vector<uint32_t> counters;

    void onFrameChange() override { counters.push_back(getFrameCounter()); }
    void onStepStart() override { ++stepStarts; }
    void onSequenceEnd() override { ++sequenceEnds; }
};

class AdvAnimTest : public kbtest::GfxTest {
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        // A 64 x 32 picture: frames of 16 x 16 make two rows of four.
        write("strip.png", kbtest::encodePng(kbtest::solidPixels(64, 32, 0xFF336699), 64, 32));
        images.loadItem(dir.path() + "/", "strip.png 8888 8888", "");
    }

    // Loads `text` as "<name>.anim" into `a`.
    void load(aAdvAnim& a, const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(a.Load(write(name + ".anim", text), &images));
    }
    static constexpr const char* kGeneral = "[_General_]\nWidth=16\nHeight=16\nAutoStart=1\n";
    // Blocks A (3 frames) and B (2 frames) played once each at 10 fps.
    void twoSteps(aAdvAnim& a, const std::string& general = "")
    {
        load(a, "two",
             kGeneral + general +
                 "\n[A]\nTexture=strip\nAutoFrames=3\n[B]\nTexture=strip\nAutoFrames=2\n[_Play_]\nA=(Fps=10)\nB=(Fps="
                 "10)\n");
    }

    aImageManager images;
};

const advAnim::aAdvAnimBlock& block(const aAdvAnim& a, const std::string& name)
{
    return a.getBlocks().at(name);
}

// A block's frames as "x y w h" each, "+dx,dy" for a displacement, "!" without an image; "; " between.
std::string frames(const aAdvAnim& a, const std::string& name)
{
    std::string out;
    for (const auto& f : block(a, name).getFrames())
        out += (out.empty() ? "" : "; ") + std::to_string(f.rect.x) + " " + std::to_string(f.rect.y) + " " +
               std::to_string(f.rect.width) + " " + std::to_string(f.rect.height) +
               (f.dispX || f.dispY ? " +" + std::to_string(f.dispX) + "," + std::to_string(f.dispY) : "") +
               (f.image ? "" : " !");
    return out;
}

} // namespace

TEST_F(AdvAnimTest, PlayStepsReadTheirGroupsAndAMissingFileIsLogged)
{
    aAdvAnim a;
    load(a, "bird", "[_Play_]\nall=x(NLoops=3)y(Reverse=1)(Other=5)(junk\nopen=(Fps=12\n");
    ASSERT_EQ(a.getSteps().size(), 2u);
    EXPECT_EQ(a.getSteps()[0].nloops, 3u);
    EXPECT_TRUE(a.getSteps()[0].reverse);
    EXPECT_EQ(a.getSteps()[1].fps, 30u) << "an unclosed group is no group";
    kbtest::LogCapture log;
    EXPECT_FALSE(a.Load(dir.file("none.anim"), &images));
    EXPECT_TRUE(log.contains("aAdvAnim::Load(). File '" + dir.file("none.anim") + "' not exist!"));
}

TEST_F(AdvAnimTest, FramesAreCutReadAndResequenced)
{
    kbtest::LogCapture log;
    aAdvAnim a;
    load(a, "frames",
         "[early]\nAutoFrames=2\nTexture=strip\nAutoFrames=4\n[_General_]\nWidth=16\nHeight=16\n"
         "[cut]\nTexture=strip\nAutoFrames=100\n"
         "[seq]\nTexture=strip\nAutoFrames=3\nFramesSequence=0 1 2 1 7 -1\n[lost]\nTexture=nothing\n"
         "Frame=(Rect=1 1 4 4)\n");
    EXPECT_EQ(frames(a, "early"), "") << "Width and Height come later in the file";
    EXPECT_TRUE(log.contains("aAdvAnim. AutoFrames without a texture in block 'early' of 'frames'"));
    EXPECT_TRUE(log.contains("aAdvAnim. AutoFrames of 0 x 0 pixels in block 'early' of 'frames' cut no frames"));
    // As many as the picture holds, two rows of four; 7 and -1 are skipped.
    EXPECT_EQ(frames(a, "cut"), "0 0 16 16; 16 0 16 16; 32 0 16 16; 48 0 16 16; "
                                "0 16 16 16; 16 16 16 16; 32 16 16 16; 48 16 16 16");
    EXPECT_EQ(frames(a, "seq"), "0 0 16 16; 16 0 16 16; 32 0 16 16; 16 0 16 16");
    EXPECT_EQ(frames(a, "lost"), "1 1 4 4 !") << "no such texture";

    // Frame trim drops the top row and the right column; an empty rectangle does not wrap round.
    aAdvAnim::ms_frameTrim = true;
    aAdvAnim trimmed;
    load(trimmed, "trim", "[b]\nFrame=(Rect=10 20 30 40)(Disp=1 2)\nFrame=(Rect=0 0 0 0)\n");
    aAdvAnim::ms_frameTrim = false;
    EXPECT_EQ(frames(trimmed, "b"), "10 21 29 39 +1,3 !; 0 1 0 0 +0,1 !");
}

TEST_F(AdvAnimTest, AnAnimationHoldsAtMostTheFrameCapWithOneLogLine)
{
    // 1 x 1 cells of a 512 x 256 picture would cut 131,072 frames from one
    // line, and every block may cut as many again: the animation keeps the
    // first MAX_FRAMES of them, whatever block or line gives them.
    write("wide.png", kbtest::encodePng(kbtest::solidPixels(512, 256, 0xFF336699), 512, 256));
    images.loadItem(dir.path() + "/", "wide.png 8888 8888", "");
    constexpr uint32_t kCap = advAnim::aAdvAnimBlock::MAX_FRAMES;
    std::string text = "[_General_]\nWidth=1\nHeight=1\n[a]\nTexture=wide\nAutoFrames=1000\n"
                       "[b]\nTexture=wide\nAutoFrames=2000000000\n[c]\nTexture=wide\nAutoFrames=2000000000\n"
                       "[d]\nFrame=(Rect=0 0 1 1)\nFramesSequence=0 0 0\n[_Play_]\na=\nb=\nc=\nd=\n";
    kbtest::LogCapture log;
    aAdvAnim a;
    load(a, "many", text);
    EXPECT_EQ(block(a, "a").getFrames().size(), 1000u);
    EXPECT_EQ(block(a, "b").getFrames().size(), kCap - 1000);
    EXPECT_EQ(a.getTotalFrames(), kCap) << "c and d get none";
    EXPECT_EQ(log.messages(), std::vector<std::string>{"aAdvAnim. More than " + std::to_string(kCap) +
                                                       " frames in 'many', the rest ignored"});

    // Frame lines and a sequence that repeats frames count against the cap too.
    std::string lines = "[a]\n";
    for (uint32_t i = 0; i < kCap + 10; ++i)
        lines += "Frame=(Rect=0 0 1 1)\n";
    lines += "[b]\nFrame=(Rect=0 0 1 1)\nFramesSequence=0 0 0\n";
    aAdvAnim b;
    load(b, "lines", lines);
    EXPECT_EQ(block(b, "a").getFrames().size(), kCap);
    EXPECT_EQ(block(b, "b").getFrames().size(), 0u);
    std::string sequence = "[a]\n";
    for (uint32_t i = 0; i < kCap - 2; ++i)
        sequence += "Frame=(Rect=0 0 1 1)\n";
    sequence += "[b]\nFrame=(Rect=0 0 1 1)\nFrame=(Rect=0 0 1 1)\nFramesSequence=0 1 0 1 0\n";
    aAdvAnim c;
    load(c, "sequence", sequence);
    EXPECT_EQ(block(c, "b").getFrames().size(), 2u) << "a sequence keeps what fits";
}

TEST_F(AdvAnimTest, TimeUsedUpExactlyAtTheEndOfAStepStillStartsTheNext)
{
    Watched b;
    twoSteps(b);
    for (int i = 0; i < 3; ++i)
        b.update(0.1f);
    EXPECT_EQ(b.getStepIndex(), 1u);
    EXPECT_EQ(b.stepStarts, 0);
    b.update(0.05f);
    EXPECT_EQ(b.stepStarts, 1);
    EXPECT_TRUE(block(b, "B").isPlaying());
}

TEST_F(AdvAnimTest, TwoStepsCountFramesNotifyOnceStopHiddenUnlessShowStopedAndPlayAgain)
{
    for (bool show : {false, true}) {
        Watched a;
        twoSteps(a, show ? "ShowStoped=1" : "");
        for (int i = 0; i < 4; ++i)
            a.update(0.1f);
        EXPECT_FALSE(a.isFinished()) << "B's last frame is still showing";
        a.update(0.1f);
        EXPECT_TRUE(a.isFinished());
        a.update(0.1f);
        EXPECT_EQ(a.stepStarts, 1) << "B's start; play() starts A without a notification";
        EXPECT_EQ(a.sequenceEnds, 1);
        device->clearRecords();
        a.draw(10, 10);
        EXPECT_EQ(sprites().size(), show ? 1u : 0u);
        a.play();
        EXPECT_FALSE(a.isFinished()) << "play clears the flag";
    }
}

TEST_F(AdvAnimTest, PingPongRunsTheSecondPassBackwards)
{
    Watched a;
    twoSteps(a, "PingPong=1\nNLoops=2");
    std::vector<std::pair<uint32_t, uint32_t>> seen; // (step, frame in block)
    for (int i = 0; i < 12 && a.isPlaying(); ++i) {
        a.update(0.1f);
        seen.emplace_back(a.getStepIndex(), a.getCurrentBlock()->getIndex());
    }
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {0, 1}, {0, 2}, {1, 0}, {1, 1}, // A, then B (its start waits for the next update)
        {1, 1},                         // the first pass ends: B's last frame stays a step
        {1, 0}, {0, 2}, {0, 1}, {0, 0}, // B, then A, backwards
        {0, 0}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(a.counters, (std::vector<uint32_t>{1, 2, 3, 4, 3, 2, 1, 0}));
    EXPECT_EQ(a.sequenceEnds, 2);
}

TEST_F(AdvAnimTest, SetFrameFindsTheStepAndSeeksItsBlockAsPlayingWould)
{
    Watched a;
    twoSteps(a);
    EXPECT_TRUE(a.setFrame(4));
    EXPECT_EQ(a.getStepIndex(), 1u);
    EXPECT_EQ(block(a, "B").getIndex(), 1u);
    EXPECT_FALSE(a.setFrame(5));
    EXPECT_TRUE(a.setFrame(1));
    a.update(0.1f);
    EXPECT_EQ(a.getFrameCounter(), 2u) << "playback goes on from there";

    aAdvAnim endless;
    load(endless, "endless",
         std::string(kGeneral) + "[A]\nTexture=strip\nAutoFrames=3\n[B]\nTexture=strip\nAutoFrames=2\n"
                                 "[_Play_]\nA=(NLoops=0)\nB=\n");
    EXPECT_FALSE(endless.setFrame(0)) << "an endless step has no frame count";

    // Every frame of a reversed, ping-pong step, reached by playing and by
    // seeking, lands on the same block frame and direction.
    const std::string seek =
        std::string(kGeneral) +
        "[A]\nTexture=strip\nAutoFrames=3\n[_Play_]\nA=(Fps=10)(NLoops=3)(Reverse=1)(PingPong=1)\n";
    aAdvAnim played;
    load(played, "seek", seek);
    for (uint32_t f = 0; f < 9; ++f) {
        aAdvAnim sought;
        load(sought, "seek", seek);
        ASSERT_TRUE(sought.setFrame(f));
        EXPECT_EQ(block(sought, "A").getIndex(), block(played, "A").getIndex()) << "frame " << f;
        EXPECT_EQ(block(sought, "A").isBackward(), block(played, "A").isBackward()) << "frame " << f;
        EXPECT_EQ(block(sought, "A").getPlayFrame(), f);
        played.update(0.1f);
    }
}

TEST_F(AdvAnimTest, StepsThatUseNoTimeStopAndOneUpdateChangesFramesABoundedNumberOfTimes)
{
    kbtest::LogCapture log;
    aAdvAnim empty, nan, still;
    load(empty, "empty", "[_General_]\nNLoops=0\nAutoStart=1\n[_Play_]\nx=\ny=\n");
    empty.update(0.1f);
    EXPECT_FALSE(empty.isPlaying());
    EXPECT_TRUE(log.contains("aAdvAnim. Animation 'empty' plays no time in a whole pass, stopped"));

    load(nan, "nan",
         std::string(kGeneral) + "Speed=nan\nNLoops=0\n[A]\nTexture=strip\nAutoFrames=2\n[_Play_]\nA=(NLoops=0)\n");
    nan.update(0.1f);
    EXPECT_FALSE(nan.isPlaying());

    load(still, "still",
         std::string(kGeneral) + "NLoops=0\n[A]\nTexture=strip\nAutoFrames=2\n[_Play_]\nA=(Fps=0)(NLoops=0)\n");
    still.update(5.0f);
    EXPECT_TRUE(still.isPlaying()) << "rate 0 stands still";
    EXPECT_EQ(still.getFrameCounter(), 0u);

    // Every frame change is a turn of the update; a huge rate or speed, or a
    // long time, would make one update a hang. The time past the bound is
    // dropped and the animation plays on.
    const std::pair<const char*, float> cases[] = {
        {"Speed=1\n", 1.0f / 60}, {"Speed=30000\n", 1.0f / 60}, {"Speed=1\n", 1e7f}};
    for (const auto& [speed, dt] : cases) {
        Watched a;
        load(a, "fast",
             std::string(kGeneral) + speed + "NLoops=0\n[A]\nTexture=strip\nAutoFrames=8\n[_Play_]\nA=(Fps=" +
                 (dt < 1 ? "10000000" : "30") + ")(NLoops=0)\n");
        a.update(dt);
        EXPECT_GE(a.counters.size(), 1u) << speed << dt;
        EXPECT_LE(a.counters.size(), aAdvAnim::MAX_FRAME_CHANGES_PER_UPDATE) << speed << dt;
        // At a speed no frame length survives, the time is never used up: that stalls.
        EXPECT_EQ(a.isPlaying(), std::string(speed) == "Speed=1\n") << speed << dt;
    }
}

TEST_F(AdvAnimTest, TheFrameTimeIsTheTimeIntoTheCurrentFrameAndStaysWithinIt)
{
    aAdvAnim a;
    twoSteps(a);
    const std::pair<float, float> kept[] = {{5.0f, 0.1f}, {-1.0f, 0.0f}, {std::nanf(""), 0.0f}};
    for (auto [set, got] : kept) {
        a.setFrameTime(set);
        EXPECT_NEAR(a.getFrameTime(), got, 1e-6f) << set;
    }
    a.update(0.1f);
    EXPECT_EQ(a.getCurrentFrameIndex(), 1u);
}
