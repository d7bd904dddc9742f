#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/app/a_cursoranim.h"
#include "orvo/gfx/a_anim.h"
#include "orvo/gfx/a_sprite.h"

namespace {

using SpriteTest = kbtest::GfxTest;

// An animation of frames of 8 x 8 with these holds, 0.1 s a step.
aAnim strip(const std::vector<uint16_t>& holds)
{
    aAnim a;
    for (size_t i = 0; i < holds.size(); ++i)
        a.addFrame(holds[i], nullptr, aRect(static_cast<int16_t>(8 * i), 0, 8, 8));
    a.setFrameTime(0.1f);
    return a;
}

// The frame after each of `steps` steps of 0.1 s, the start included; -1 once stopped.
std::vector<int> frames(aAnim& a, int steps)
{
    std::vector<int> shown{a.getFrame()};
    for (int i = 0; i < steps; ++i) {
        a.update(0.1f);
        shown.push_back(a.isStopped() ? -1 : a.getFrame());
    }
    return shown;
}

} // namespace

TEST_F(SpriteTest, CopiesShareOneFrameSetAndNoImageHandles)
{
    aImage image = picture(32, 32);
    const uint32_t base = image.getReferenceCount();
    {
        aSprite a;
        a.addFrame(2, &image, aRect(0, 0, 16, 16));
        a.addFrame(1, &image, aRect(16, 0, 16, 16));
        EXPECT_EQ(image.getReferenceCount(), base + 2) << "each frame holds a handle of its own";
        aSprite b(a), c;
        c = a;
        EXPECT_TRUE(b.sharesFramesWith(a));
        EXPECT_EQ(image.getReferenceCount(), base + 2) << "sharing copies no handles";

        b.addFrame(1, nullptr, aRect(0, 16, 4, 4));
        EXPECT_EQ(a.getFrameCount(), 3u) << "added for every sharer";
        b.clearFrames();
        EXPECT_EQ(a.getFrameCount(), 3u) << "a shared set stays with the others";
        c = c; // assignment to itself changes nothing
        EXPECT_EQ(c.getFrameCount(), 3u);
        c.clearFrames();
        a.clearFrames();
        EXPECT_EQ(image.getReferenceCount(), base) << "the last sprite's clear frees the frames";
    }
    EXPECT_EQ(image.getReferenceCount(), base);
}

TEST_F(SpriteTest, GridAndStripFramesCutTheImageAndZeroSizesAddNone)
{
    kbtest::LogCapture log;
    aImage image = picture(64, 32);
    aSprite s;
    s.addGridFrames(3, &image, 100, 4, 2);
    ASSERT_EQ(s.getFrameCount(), 8u) << "no more than columns x rows";
    EXPECT_EQ(s.getFrameData(5)->rect, aRect(16, 16, 16, 16));
    EXPECT_EQ(s.getFrameData(5)->hold, 3);
    s.setStripFrames(&image, nullptr, 20, 10, 5);
    ASSERT_EQ(s.getFrameCount(), 5u) << "replaces the frames";
    EXPECT_EQ(s.getFrameData(3)->rect, aRect(0, 10, 20, 10)) << "three frames fit in a row of 64";
    const aRect base(4, 2, 40, 30);
    s.setStripFrames(&image, &base, 16, 8, 3);
    EXPECT_EQ(s.getFrameData(2)->rect, aRect(4, 10, 16, 8)) << "within the base rectangle";
    EXPECT_EQ(s.getFrameData(3), nullptr);
    s.setStripFrames(nullptr, nullptr, 16, 8, 3);
    EXPECT_EQ(s.getFrameCount(), 0u) << "no image: cleared and nothing more";

    // Zero columns, rows or frame widths, or frames wider than the base, add no frames.
    s.addGridFrames(1, &image, 4, 0, 2);
    s.addGridFrames(1, &image, 4, 2, 0);
    s.setStripFrames(&image, nullptr, 0, 8, 4);
    EXPECT_EQ(s.getFrameCount(), 0u);
    s.setStripFrames(&image, nullptr, 65, 8, 4);
    EXPECT_EQ(s.getFrameCount(), 0u);
    EXPECT_TRUE(log.contains("aSprite::addGridFrames. A grid of 0 x 2 cells has no frames"));
    // A grid finer than the picture's pixels keeps one pixel a cell; without a picture it keeps a bound.
    s.addGridFrames(1, &image, 4000000000u, 65535, 65535);
    EXPECT_EQ(s.getFrameCount(), 64u * 32u);
    EXPECT_EQ(s.getFrameWidth(), 1u);
    EXPECT_TRUE(
        log.contains("aSprite::addGridFrames. A grid of 65535 x 65535 cells is finer than its 64 x 32 picture"));
    aSprite blind;
    blind.addGridFrames(1, nullptr, 4000000000u, 100000, 3);
    EXPECT_EQ(blind.getFrameCount(), 256u * 3u);
    EXPECT_TRUE(log.contains("aSprite::setStripFrames. Frame width 0 does not fit in 64 pixels"));
}

TEST_F(SpriteTest, StepsHonourHoldsAndWrapAndOnlyFramesWithAnImageDraw)
{
    aSprite s;
    EXPECT_FALSE(s.nextFrame());
    s.drawAt(1, 2); // no frames: nothing, and no failure
    aImage image = picture(64, 32);
    s.addFrame(3, &image, aRect(0, 0, 5, 5));
    s.addFrame(0, &image, aRect(16, 8, 6, 6));
    s.addFrame(1, nullptr, aRect(0, 0, 7, 7));
    std::vector<int> seen;
    for (int i = 0; i < 7; ++i) {
        s.nextFrame();
        seen.push_back(s.getFrame());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 1, 2, 0, 0, 0})) << "hold 3 shows three steps, hold 0 one";
    s.setFrame(2, 1);
    s.drawFrame(1.5f, 2.5f); // no image: nothing
    s.setFrame(3, 1);
    EXPECT_EQ(s.getFrame(), 2) << "past the last frame: ignored";
    s.setFrame(1, 2);
    s.drawAt(5, 6);
    EXPECT_EQ(sprites().size(), 1u);
}

TEST(Anim, PlaySequencesEndWhereTheyShould)
{
    const uint32_t LOOP = aAnim::PLAY_LOOP, BACK = aAnim::PLAY_BACKWARD, PINGPONG = aAnim::PLAY_PINGPONG;
    const struct {
        std::vector<uint16_t> holds;
        uint32_t flags;
        std::vector<int> shown;
    } cases[] = {
        {{1, 1, 1}, 0, {0, 1, 2, -1}},
        {{1, 1, 1, 1}, PINGPONG, {0, 1, 2, 3, 3, 2, 1, 0, -1}}, // there and back once
        {{1, 1, 1, 1}, PINGPONG | LOOP, {0, 1, 2, 3, 3, 2, 1, 0, 0, 1, 2, 3, 3}},
        {{1, 1, 1}, BACK, {2, 1, 0, -1}},
        // An end frame with hold 0 never ends playback: the step wraps, played once or ping-pong.
        {{1, 1, 0}, 0, {0, 1, 2, 0, 1}},
        {{0, 1}, BACK, {1, 0, 1, 0}},
        {{0, 0, 0}, 0, {0, 1, 2, 0, 1}},
        {{0, 0, 0}, PINGPONG, {0, 1, 2, 0, 1, 2, 0}},
        {{0, 0, 0}, LOOP, {0, 1, 2, 0, 1, 2, 0}},
    };
    for (const auto& c : cases) {
        aAnim a = strip(c.holds);
        a.setPlayFlags(c.flags);
        if (c.flags & BACK)
            a.lastFrame();
        a.play();
        EXPECT_EQ(frames(a, int(c.shown.size()) - 1), c.shown) << "flags " << c.flags << ", " << c.holds.size();
    }
}

TEST(Anim, TimeAdvancesByWholeStepsAndBadTimesNeverLoopForEver)
{
    aAnim a = strip({1, 1, 1, 1});
    EXPECT_TRUE(a.isStopped());
    a.update(1.0f);
    EXPECT_EQ(a.getFrame(), 0) << "stopped until played";
    a.play();
    a.update(0.35f);
    EXPECT_EQ(a.getFrame(), 3);

    kbtest::LogCapture log;
    for (float bad : {0.0f, -1.0f, std::nanf("")})
        a.setFrameTime(bad);
    EXPECT_EQ(a.getFrameTime(), 0.1f) << "the old time stays";
    ASSERT_FALSE(log.messages().empty());
    EXPECT_EQ(log.messages()[0].rfind("aAnim::setFrameTime: t>0 ", 0), 0u) << log.messages()[0];
    a.update(1e12f); // a step no longer changes so large a time
    EXPECT_FALSE(a.isStopped());
    a.update(std::nanf(""));
    EXPECT_FALSE(std::isnan(a.getAccumulatedTime()));
}

TEST(AnimCursor, TheCursorIsACopySharingTheAnimationsFrames)
{
    cursoranim_setOps({});
    kbtest::LoopRig rig;
    aAnim arrow = strip({1, 1});
    rig.inputServer->setCursor(&arrow, 5, 6);
    aAnim* own = rig.app.getCursorAnim();
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, &arrow);
    EXPECT_TRUE(own->sharesFramesWith(arrow));
    rig.inputServer->setCursor(nullptr, 0, 0);
    EXPECT_EQ(rig.app.getCursorAnim(), nullptr);
}
