#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_fileserver.h"
#include "orvo/gfx/a_theoravideo.h"
#include "support/zip_writer.h"
#include "theoragen.h"

namespace {

using theoragen::Yuv;

constexpr Yuv kGray{128, 128, 128}; // 0xFF808080
constexpr Yuv kTeal{100, 150, 90};  // 0xFF22788A
constexpr Yuv kPink{200, 60, 200};  // 0xFFFFAD52

// Gray frames 40, 55, 70 ... so a picture tells which frame it is.
std::vector<theoragen::Frame> numberedFrames(int count)
{
    std::vector<theoragen::Frame> frames;
    for (int i = 0; i < count; ++i)
        frames.emplace_back(Yuv{static_cast<uint8_t>(40 + 15 * i), 128, 128});
    return frames;
}

class TheoraVideoTest : public ::testing::Test {
protected:
    std::string clip(const std::string& name, const std::vector<theoragen::Frame>& frames,
                     theoragen::Options options = {})
    {
        const std::string bytes = theoragen::clip(options, frames);
        EXPECT_FALSE(bytes.empty()) << "the encoder refused the clip";
        return rig.write(name, bytes);
    }

    // The image as it stands in its texture.
    std::vector<uint32_t> shown() const
    {
        const aImage& image = video.getImage();
        if (!image.hasTexture())
            return {};
        return kbtest::texturePixels(*image.getRecord()->surfaces[aImage::SURFACE_PLAIN].texture);
    }

    // What the image shows after each update ("gray", "teal", "pink" or "?"), " (closed)" once closed.
    std::string play(std::initializer_list<float> times)
    {
        std::string out;
        for (float t : times) {
            video.update(t);
            const std::vector<uint32_t> pixels = shown();
            const char* name = "?";
            for (auto [argb, colour] : {std::pair{0xFF808080u, "gray"}, {0xFF22788Au, "teal"}, {0xFFFFAD52u, "pink"}})
                if (kbtest::allNear(pixels.data(), pixels.size(), argb))
                    name = colour;
            out += (out.empty() ? "" : ", ") + std::string(name) + (video.getWidth() ? "" : " (closed)");
        }
        return out;
    }

    // Which of numberedFrames the image shows (its first pixel's gray level).
    int shownFrame() const
    {
        const std::vector<uint32_t> pixels = shown();
        return pixels.empty() ? -1 : (static_cast<int>(pixels[0] & 0xFF) - 40 + 7) / 15;
    }

    kbtest::GraphRig rig;
    kbtest::LogCapture log;
    aTheoraVideo video;
};

TEST_F(TheoraVideoTest, PlaysFrameByFrameThenClosesOrLoops)
{
    ASSERT_TRUE(video.open(clip("three.ogv", {kGray, kTeal, kPink}), false));

    // The first frame comes at once, the next after a whole frame's time; at the end of
    // the file the video closes (its width reads 0) and keeps its last frame.
    EXPECT_EQ(play({0.0f, 0.02f, 0.02f, 0.04f, 0.04f, 1.0f}), "gray, gray, teal, pink, pink (closed), pink (closed)");

    ASSERT_TRUE(video.open(clip("two.ogv", {kTeal, kPink}), true));
    EXPECT_EQ(play({0.04f, 0.04f, 0.04f, 0.04f, 0.04f, 0.04f}), "teal, pink, teal, pink, teal, pink") << "looping";
}

// 25 frames per second at 60 turns per second: a new frame every second or third turn, one at a time;
// at 10 turns per second a frame every turn, so the video runs at 10 frames per second of playing time.
TEST_F(TheoraVideoTest, AtMostOneFramePerTurn)
{
    ASSERT_TRUE(video.open(clip("numbered.ogv", numberedFrames(12)), true));
    video.update(1.0f / 60.0f);
    int frame = shownFrame(), sinceChange = 0, changes = 0;
    EXPECT_EQ(frame, 0);
    for (int turn = 1; turn < 60; ++turn) {
        video.update(1.0f / 60.0f);
        ++sinceChange;
        const int now = shownFrame();
        if (now == frame)
            continue;
        EXPECT_EQ(now, (frame + 1) % 12) << "turn " << turn;
        EXPECT_TRUE(sinceChange == 2 || sinceChange == 3) << "turn " << turn << " after " << sinceChange;
        frame = now;
        sinceChange = 0;
        ++changes;
    }
    // A second of turns plays a second of video (the end of the second may
    // fall a rounding error either side of the 25th frame).
    EXPECT_TRUE(changes == 24 || changes == 25) << changes;

    ASSERT_TRUE(video.open(rig.dir.file("numbered.ogv"), true));
    for (int turn = 0; turn < 15; ++turn) {
        video.update(0.1f);
        EXPECT_EQ(shownFrame(), turn % 12) << "turn " << turn;
    }
}

TEST_F(TheoraVideoTest, PlaysFromAnArchiveAndAFailedOpenLeavesNothingPlaying)
{
    const std::string junk = rig.write("junk.ogv", "OggS but nothing more");
    EXPECT_FALSE(video.open(junk, true));
    video.update(1.0f);
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(log.contains("aTheoraVideo. No Theora stream in '" + junk + "'")) << log.raw();

    kbtest::writeFile(rig.dir.file("movies.zip"),
                      kbtest::makeZip({{"intro.ogv", theoragen::clip({}, {kTeal, kPink})}}));
    aFileServer::getSingletonPtr()->setAssign("movies", rig.dir.path() + "/movies/");
    ASSERT_TRUE(video.open("movies:intro.ogv", false));
    EXPECT_EQ(play({0.04f, 0.04f}), "teal, pink");
    EXPECT_FALSE(video.open("movies:missing.ogv", false));
    EXPECT_TRUE(log.contains("file_readFullAndMalloc. Error open file: movies:missing.ogv")) << log.raw();
    file_closeArchives();

    // Opening again closes the video that plays.
    theoragen::Options wide;
    wide.width = 48;
    wide.height = 16;
    ASSERT_TRUE(video.open(clip("narrow.ogv", {kGray}), false));
    ASSERT_TRUE(video.open(clip("wide.ogv", {kPink}, wide), false));
    EXPECT_EQ(video.getImage().getWidth(), 48);
    EXPECT_EQ(play({0.0f}), "pink");
}

} // namespace
