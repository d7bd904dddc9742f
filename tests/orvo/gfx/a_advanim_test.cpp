#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_imagemanager.h"
#include "support/image_files.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

// Counts the notifications and notes the frame counter at each frame change.
struct Watched : aAdvAnim {
    int frameChanges = 0;
    int stepStarts = 0;
    int sequenceEnds = 0;
    std::vector<uint32_t> counters;

    void onFrameChange() override
    {
        ++frameChanges;
        counters.push_back(getFrameCounter());
    }
    void onStepStart() override { ++stepStarts; }
    void onSequenceEnd() override { ++sequenceEnds; }
};

class AdvAnimTest : public kbtest::GfxTest {
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        aAdvAnim::ms_frameTrim = false;
        // A 64 x 32 picture: frames of 16 x 16 make two rows of four.
        std::vector<uint32_t> pixels(64 * 32, 0xFF336699);
        kbtest::writeFile(dir.file("strip.png"), kbtest::encodePng(pixels, 64, 32));
        images.loadItem(dir.path() + "/", "strip.png 8888 8888", "");
    }
    void TearDown() override
    {
        aAdvAnim::ms_frameTrim = false;
        GfxTest::TearDown();
    }

    std::string write(const std::string& name, const std::string& text)
    {
        kbtest::writeFile(dir.file(name), text);
        return dir.file(name);
    }

    // Blocks A (3 frames) and B (2 frames) played once each at 10 fps.
    std::string twoSteps(const std::string& general = "")
    {
        return write("two.anim", "[_General_]\nWidth=16\nHeight=16\nAutoStart=1\n" + general +
                                     "\n[A]\nTexture=strip\nAutoFrames=3\n[B]\nTexture=strip\nAutoFrames=2\n"
                                     "[_Play_]\nA=(Fps=10)\nB=(Fps=10)\n");
    }

    kbtest::TempDir dir{"advanim"};
    aImageManager images;
};

const advAnim::aAdvAnimBlock& block(const aAdvAnim& a, const std::string& name)
{
    return a.getBlocks().at(name);
}

} // namespace

TEST_F(AdvAnimTest, PlayLinesReadTheirGroupsWithoutTrimming)
{
    aAdvAnim a;
    ASSERT_TRUE(a.Load(write("groups.anim", "[_Play_]\n"
                                            "plain=no groups here\n"
                                            "spaced=(Fps = 24)\n"
                                            "tight=(Fps=24)\n"
                                            "blank=(Fps= 24)\n"
                                            "all=x(NLoops=3)y(Reverse=1)(PingPong=2)(Other=5)(junk\n"
                                            "open=(Fps=12\n"),
                       &images));
    const auto& s = a.getSteps();
    ASSERT_EQ(s.size(), 6u);
    EXPECT_EQ(s[0].block, "plain");
    EXPECT_EQ(s[0].fps, 30u);
    EXPECT_EQ(s[0].nloops, 1u);
    EXPECT_FALSE(s[0].reverse);
    EXPECT_FALSE(s[0].pingpong);
    EXPECT_EQ(s[1].fps, 30u) << "the key is \"Fps \"";
    EXPECT_EQ(s[2].fps, 24u);
    EXPECT_EQ(s[3].fps, 24u);
    EXPECT_EQ(s[4].nloops, 3u);
    EXPECT_TRUE(s[4].reverse);
    EXPECT_TRUE(s[4].pingpong);
    EXPECT_EQ(s[5].fps, 30u) << "an unclosed group is no group";
    EXPECT_EQ(a.getBlocks().size(), 6u) << "every step's block exists, if empty";
}

TEST_F(AdvAnimTest, NameGeneralSectionAndMissingFile)
{
    aAdvAnim a;
    ASSERT_TRUE(
        a.Load(write("dir/bird.fly.anim", "[_General_]\nWidth=16\nHeight=8\nSpeed=1.5\nPingPong=1\n"), &images));
    EXPECT_EQ(a.getName(), "bird.fly");
    EXPECT_EQ(a.getHeight(), 8u);
    EXPECT_FLOAT_EQ(a.getSpeed(), 1.5f);
    EXPECT_TRUE(a.isPingPong());
    EXPECT_EQ(a.getNLoops(), 1u) << "the default of a missing key";
    EXPECT_FALSE(a.isPlaying()) << "no AutoStart";

    kbtest::LogCapture log;
    EXPECT_FALSE(a.Load(dir.file("none.anim"), &images));
    EXPECT_TRUE(log.contains("aAdvAnim::Load(). File '" + dir.file("none.anim") + "' not exist!"));
}

TEST_F(AdvAnimTest, FramesAreCutReadAndResequenced)
{
    kbtest::LogCapture log;
    aAdvAnim a;
    ASSERT_TRUE(a.Load(write("frames.anim", "[early]\nAutoFrames=2\nTexture=strip\nAutoFrames=4\n"
                                            "[_General_]\nWidth=16\nHeight=16\n"
                                            "[cut]\nTexture=strip\nAutoFrames=100\n"
                                            "[big]\nTexture=strip\nFrame=(Rect=10 20 30 40)(Disp=-1 2)\nFrame=\n"
                                            "[seq]\nTexture=strip\nAutoFrames=3\nFramesSequence=0 1 2 1 7 -1\n"
                                            "[lost]\nTexture=nothing\nFrame=(Rect=1 1 4 4)\n"),
                       &images));
    EXPECT_TRUE(block(a, "early").getFrames().empty()) << "Width and Height come later in the file";
    const auto& cut = block(a, "cut").getFrames();
    ASSERT_EQ(cut.size(), 8u) << "the picture holds two rows of four";
    EXPECT_EQ(cut[5].rect, aRect(16, 16, 16, 16));
    EXPECT_NE(cut[0].image, nullptr);
    const auto& big = block(a, "big").getFrames();
    ASSERT_EQ(big.size(), 2u);
    EXPECT_EQ(big[0].rect, aRect(10, 20, 30, 40));
    EXPECT_EQ(big[0].dispX, -1);
    EXPECT_EQ(big[0].dispY, 2);
    EXPECT_EQ(big[1].rect, aRect()) << "missing groups leave 0";
    const auto& seq = block(a, "seq").getFrames();
    ASSERT_EQ(seq.size(), 4u) << "7 and -1 are skipped";
    EXPECT_EQ(seq[3].rect, aRect(16, 0, 16, 16));
    EXPECT_EQ(block(a, "lost").getFrames()[0].image, nullptr);
    EXPECT_TRUE(log.contains("aAdvAnim. AutoFrames without a texture in block 'early' of 'frames'"));
    EXPECT_TRUE(log.contains("aAdvAnim. AutoFrames of 0 x 0 pixels in block 'early' of 'frames' cut no frames"));

    aAdvAnim indent;
    ASSERT_TRUE(indent.Load(write("indent.anim", "[_General_]\nWidth=16\nHeight=16\nPixelIndent=1\n"
                                                 "[b]\nTexture=strip\nAutoFrames=100\n[wide]\nTexture=strip\n"
                                                 "AutoFrames=1\n"),
                            &images));
    const auto& b = block(indent, "b").getFrames();
    ASSERT_EQ(b.size(), 8u);
    EXPECT_EQ(b[1].rect.x, 17);
    EXPECT_EQ(b[4].rect, aRect(0, 17, 16, 16));
}

TEST_F(AdvAnimTest, FrameTrimDropsTheTopRowAndRightColumn)
{
    aAdvAnim::ms_frameTrim = true;
    aAdvAnim a;
    ASSERT_TRUE(a.Load(write("trim.anim", "[b]\nFrame=(Rect=10 20 30 40)(Disp=1 2)\nFrame=(Rect=0 0 0 0)\n"), &images));
    const auto& f = block(a, "b").getFrames();
    EXPECT_EQ(f[0].rect, aRect(10, 21, 29, 39));
    EXPECT_EQ(f[0].dispY, 3);
    EXPECT_EQ(f[1].rect, aRect(0, 1, 0, 0)) << "an empty rectangle does not wrap round";
}

TEST_F(AdvAnimTest, SpeedScalesTheFrameTimeAndTheRestIsKept)
{
    aAdvAnim a;
    ASSERT_TRUE(a.Load(write("speed.anim", "[_General_]\nWidth=16\nHeight=16\nSpeed=2\nAutoStart=1\n"
                                           "[b]\nTexture=strip\nAutoFrames=4\n[_Play_]\nb=(Fps=10)\n"),
                       &images));
    ASSERT_TRUE(a.isPlaying());
    a.update(0.12f);
    EXPECT_EQ(block(a, "b").getIndex(), 2u);
    EXPECT_NEAR(block(a, "b").getTimer(), 0.02f * 2, 1e-6f) << "0.02 s kept, in block time";
    EXPECT_EQ(a.getFrameCounter(), 2u);
}

TEST_F(AdvAnimTest, TwoStepsCountFramesAndNotifyOnce)
{
    Watched a;
    ASSERT_TRUE(a.Load(twoSteps(), &images));
    EXPECT_EQ(a.getTotalFrames(), 5u);
    for (int i = 0; i < 6; ++i)
        a.update(0.1f);
    EXPECT_EQ(a.counters, (std::vector<uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(a.stepStarts, 1) << "B's start; play() starts A without a notification";
    EXPECT_EQ(a.sequenceEnds, 1);
    EXPECT_FALSE(a.isPlaying());
    EXPECT_EQ(block(a, "B").getIndex(), 1u);

    device->clearRecords();
    a.draw(10, 10);
    EXPECT_EQ(device->count(aGpuCall::SpriteDraw), 0u) << "a stopped animation is not drawn";
    Watched shown;
    ASSERT_TRUE(shown.Load(twoSteps("ShowStoped=1"), &images));
    for (int i = 0; i < 6; ++i)
        shown.update(0.1f);
    shown.draw(10, 10);
    ASSERT_EQ(device->count(aGpuCall::SpriteDraw), 1u) << "ShowStoped keeps the last frame";
    EXPECT_EQ(device->records(aGpuCall::SpriteDraw)[0].u[0], 16u) << "B's second frame";
}

TEST_F(AdvAnimTest, LeftoverTimeCarriesIntoTheNextStep)
{
    Watched a;
    ASSERT_TRUE(a.Load(twoSteps(), &images));
    a.update(0.35f);
    EXPECT_EQ(a.getStepIndex(), 1u);
    EXPECT_EQ(a.stepStarts, 1);
    EXPECT_EQ(block(a, "B").getIndex(), 0u);
    EXPECT_NEAR(block(a, "B").getTimer(), 0.05f, 1e-5f);
    EXPECT_EQ(a.getFrameCounter(), 3u);

    // Time used up exactly at the end of a step: the next step still starts
    // on the following update instead of being skipped.
    Watched b;
    ASSERT_TRUE(b.Load(twoSteps(), &images));
    for (int i = 0; i < 3; ++i)
        b.update(0.1f);
    EXPECT_EQ(b.getStepIndex(), 1u);
    EXPECT_EQ(b.stepStarts, 0);
    b.update(0.05f);
    EXPECT_EQ(b.stepStarts, 1);
    EXPECT_TRUE(block(b, "B").isPlaying());
    EXPECT_EQ(b.getFrameCounter(), 3u);
}

TEST_F(AdvAnimTest, PingPongRunsTheSecondPassBackwards)
{
    Watched a;
    ASSERT_TRUE(a.Load(twoSteps("PingPong=1\nNLoops=2"), &images));
    std::vector<std::pair<uint32_t, uint32_t>> seen; // (step, frame in block)
    for (int i = 0; i < 12 && a.isPlaying(); ++i) {
        a.update(0.1f);
        const auto* b = a.getCurrentBlock();
        seen.emplace_back(a.getStepIndex(), b->getIndex());
    }
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {0, 1}, {0, 2}, {1, 0}, {1, 1}, // A, then B (its start waits for the next update)
        {1, 1},                         // the first pass ends: B's last frame stays a step
        {1, 0}, {0, 2}, {0, 1}, {0, 0}, // B, then A, backwards
        {0, 0}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(a.counters, (std::vector<uint32_t>{1, 2, 3, 4, 3, 2, 1, 0}));
    EXPECT_EQ(a.sequenceEnds, 2);
    EXPECT_FALSE(a.isPlaying());
    EXPECT_TRUE(a.isReversed());
    EXPECT_TRUE(block(a, "A").isBackward());
}

TEST_F(AdvAnimTest, SetFrameFindsTheStepAndSeeksItsBlock)
{
    Watched a;
    ASSERT_TRUE(a.Load(twoSteps(), &images));
    EXPECT_TRUE(a.setFrame(4));
    EXPECT_EQ(a.getStepIndex(), 1u);
    EXPECT_EQ(a.getFrameCounter(), 4u);
    EXPECT_EQ(block(a, "B").getIndex(), 1u);
    EXPECT_FALSE(a.setFrame(5));
    EXPECT_TRUE(a.setFrame(1));
    EXPECT_EQ(a.getStepIndex(), 0u);
    a.update(0.1f);
    EXPECT_EQ(a.getFrameCounter(), 2u) << "playback goes on from there";

    a.paused = true;
    EXPECT_FALSE(a.isPlaying());
    a.update(1.0f);
    EXPECT_EQ(a.getFrameCounter(), 2u) << "paused";

    Watched stopped;
    ASSERT_TRUE(stopped.Load(write("still.anim", "[_General_]\nWidth=16\nHeight=16\n"
                                                 "[A]\nTexture=strip\nAutoFrames=3\n[_Play_]\nA=\n"),
                             &images));
    EXPECT_FALSE(stopped.setFrame(0)) << "not playing";

    Watched endless;
    ASSERT_TRUE(endless.Load(write("endless.anim", "[_General_]\nWidth=16\nHeight=16\nAutoStart=1\n"
                                                   "[A]\nTexture=strip\nAutoFrames=3\n[B]\nTexture=strip\n"
                                                   "AutoFrames=2\n[_Play_]\nA=(NLoops=0)\nB=\n"),
                             &images));
    EXPECT_FALSE(endless.setFrame(0)) << "an endless step has no frame count";
}

TEST_F(AdvAnimTest, SeekMatchesWhatPlayingWouldReach)
{
    // Every frame of a reversed, ping-pong step, reached by playing and by
    // seeking, lands on the same block frame and direction.
    const std::string file =
        write("seek.anim", "[_General_]\nWidth=16\nHeight=16\nAutoStart=1\n"
                           "[A]\nTexture=strip\nAutoFrames=3\n[_Play_]\nA=(Fps=10)(NLoops=3)(Reverse=1)(PingPong=1)\n");
    aAdvAnim played;
    ASSERT_TRUE(played.Load(file, &images));
    for (uint32_t f = 0; f < 9; ++f) {
        aAdvAnim sought;
        ASSERT_TRUE(sought.Load(file, &images));
        ASSERT_TRUE(sought.setFrame(f));
        EXPECT_EQ(block(sought, "A").getIndex(), block(played, "A").getIndex()) << "frame " << f;
        EXPECT_EQ(block(sought, "A").isBackward(), block(played, "A").isBackward()) << "frame " << f;
        EXPECT_EQ(block(sought, "A").getPlayFrame(), f);
        played.update(0.1f);
    }
}

TEST_F(AdvAnimTest, StepsThatUseNoTimeStopInsteadOfHanging)
{
    kbtest::LogCapture log;
    aAdvAnim a;
    ASSERT_TRUE(a.Load(write("empty.anim", "[_General_]\nNLoops=0\nAutoStart=1\n[_Play_]\nx=\ny=\n"), &images));
    a.play();
    EXPECT_TRUE(a.isPlaying());
    a.update(0.1f);
    EXPECT_FALSE(a.isPlaying());
    EXPECT_TRUE(log.contains("aAdvAnim. Animation 'empty' plays no time in a whole pass, stopped"));

    aAdvAnim nan;
    ASSERT_TRUE(nan.Load(write("nan.anim", "[_General_]\nWidth=16\nHeight=16\nSpeed=nan\nNLoops=0\nAutoStart=1\n"
                                           "[A]\nTexture=strip\nAutoFrames=2\n[_Play_]\nA=(NLoops=0)\n"),
                         &images));
    nan.update(0.1f);
    EXPECT_FALSE(nan.isPlaying());

    aAdvAnim still;
    ASSERT_TRUE(still.Load(write("still.anim", "[_General_]\nWidth=16\nHeight=16\nNLoops=0\nAutoStart=1\n"
                                               "[A]\nTexture=strip\nAutoFrames=2\n[_Play_]\nA=(Fps=0)(NLoops=0)\n"),
                           &images));
    still.update(5.0f);
    EXPECT_TRUE(still.isPlaying()) << "rate 0 stands still";
    EXPECT_EQ(still.getFrameCounter(), 0u);
}

TEST_F(AdvAnimTest, ReversedAnimationStartsFromTheLastStep)
{
    Watched a;
    ASSERT_TRUE(a.Load(twoSteps("Reverse=1"), &images));
    EXPECT_EQ(a.getStepIndex(), 1u);
    EXPECT_EQ(a.getFrameCounter(), 4u);
    EXPECT_TRUE(block(a, "B").isBackward());
    for (int i = 0; i < 6; ++i)
        a.update(0.1f);
    EXPECT_EQ(a.counters, (std::vector<uint32_t>{3, 2, 1, 0}));
    EXPECT_EQ(block(a, "A").getIndex(), 0u);

    // A second load replaces what the first gave.
    ASSERT_TRUE(a.Load(twoSteps(), &images));
    EXPECT_EQ(a.getSteps().size(), 2u);
    EXPECT_EQ(block(a, "A").getFrames().size(), 3u);
    EXPECT_FALSE(a.isReverse());
}

TEST_F(AdvAnimTest, DrawMovesTheDisplacementWithTheScale)
{
    aAdvAnim a;
    ASSERT_TRUE(a.Load(write("draw.anim", "[_General_]\nAutoStart=1\n[f]\nTexture=strip\n"
                                          "Frame=(Rect=16 0 16 16)(Disp=4 2)\n[_Play_]\nf=\n"),
                       &images));
    aRect rect;
    EXPECT_EQ(a.getCurrentFrame(rect), images.getImage("strip"));
    EXPECT_EQ(rect, aRect(16, 0, 16, 16));
    ASSERT_TRUE(a.getCurrentFrameRect(rect));
    EXPECT_EQ(rect, aRect(4, 2, 16, 16));

    const float mirrored[2] = {-2.0f, 2.0f};
    a.draw(100, 50, 0xFF00FF00, mirrored);
    a.draw(100, 50);
    const auto draws = device->records(aGpuCall::SpriteDraw);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].u[0], 16u);
    EXPECT_EQ(draws[0].u[2], 32u);
    EXPECT_EQ(draws[0].u[4], 0xFF00FF00u);
    EXPECT_EQ(draws[0].f[0], -2.0f);
    EXPECT_EQ(draws[0].f[5], 92.0f);
    EXPECT_EQ(draws[0].f[6], 54.0f);
    EXPECT_EQ(draws[1].f[0], 1.0f);
    EXPECT_EQ(draws[1].f[5], 104.0f);
}
