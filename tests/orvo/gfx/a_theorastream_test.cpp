#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audiogen.h"
#include "orvo/gfx/a_theorastream.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"
#include "theoragen.h"

namespace {

using theoragen::Yuv;

constexpr Yuv kGray{128, 128, 128};
constexpr Yuv kTeal{100, 150, 90}; // 0xFF22788A
constexpr Yuv kPink{200, 60, 200}; // 0xFFFFAD52
constexpr Yuv kGreen{90, 60, 60};  // a border colour far from the others

// Each channel within `tolerance`: the encoder is lossy, even on flat frames.
::testing::AssertionResult near(uint32_t actual, uint32_t expected, int tolerance = 2)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[64];
            std::snprintf(text, sizeof(text), "0x%08X is not near 0x%08X", actual, expected);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

class TheoraStreamTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.file(name);
        kbtest::writeFile(path, bytes);
        return path;
    }
    std::string clip(const std::string& name, const std::vector<theoragen::Frame>& frames,
                     theoragen::Options options = {})
    {
        const std::string bytes = theoragen::clip(options, frames);
        EXPECT_FALSE(bytes.empty()) << "the encoder refused the clip";
        return write(name, bytes);
    }
    // Every pixel of the last picture near one colour.
    ::testing::AssertionResult flat(const aTheoraStream& s, uint32_t colour)
    {
        if (!s.getPixels())
            return ::testing::AssertionFailure() << "no picture";
        const int count = s.getPixelsWidth() * s.getPixelsHeight();
        for (int i = 0; i < count; ++i) {
            auto result = near(s.getPixels()[i], colour);
            if (!result)
                return result << " at pixel " << i;
        }
        return ::testing::AssertionSuccess();
    }

    kbtest::TempDir dir{"video"};
    kbtest::LogCapture log;
};

// The picture sits inside a larger coded frame; its first row is the top of
// the image, and nothing of the border around it may show.
TEST_F(TheoraStreamTest, PictureOffsetAndOrientationForEveryChromaLayout)
{
    for (auto chroma : {theoragen::Chroma::k420, theoragen::Chroma::k422, theoragen::Chroma::k444}) {
        SCOPED_TRACE(static_cast<int>(chroma));
        theoragen::Options o;
        o.width = 20;
        o.height = 18;
        o.picX = 6;
        o.picY = 10;
        o.chroma = chroma;
        o.border = kGreen;
        o.quality = 63;
        aTheoraStream s;
        ASSERT_TRUE(s.open(clip("offset.ogv", {theoragen::Frame(kTeal, kPink)}, o)));
        ASSERT_EQ(s.getWidth(), 20);
        ASSERT_EQ(s.getHeight(), 18);
        ASSERT_TRUE(s.decodeFrame(false));
        ASSERT_EQ(s.getPixelsWidth(), 20);
        ASSERT_EQ(s.getPixelsHeight(), 18);
        // Colour edges inside a block come out a little blurred, hence the
        // wider margin; a misplaced picture would show the border (0xFF00A000)
        // or the other half.
        for (int row : {0, 1, 6, 11, 16, 17})
            for (int col : {0, 1, 10, 18, 19}) {
                const uint32_t want = row < 9 ? 0xFF22788A : 0xFFFFAD52;
                EXPECT_TRUE(near(s.getPixels()[row * 20 + col], want, 12)) << "row " << row << " col " << col;
            }
    }
}

TEST_F(TheoraStreamTest, FrameRateAndSoundTrackPages)
{
    theoragen::Options o;
    o.fpsNumerator = 30000;
    o.fpsDenominator = 1001;
    o.foreignStream = true;
    aTheoraStream s;
    ASSERT_TRUE(s.open(clip("ntsc.ogv", {kGray, kPink}, o)));
    EXPECT_EQ(s.getFpsNumerator(), 30000u);
    EXPECT_EQ(s.getFpsDenominator(), 1001u);
    ASSERT_TRUE(s.decodeFrame(false));
    EXPECT_TRUE(flat(s, 0xFF808080));
    ASSERT_TRUE(s.decodeFrame(false));
    EXPECT_TRUE(flat(s, 0xFFFFAD52));
    EXPECT_FALSE(s.decodeFrame(false));
}

TEST_F(TheoraStreamTest, ZeroFrameRateIsRefused)
{
    for (auto [numerator, denominator] : {std::pair{0u, 1u}, std::pair{25u, 0u}, std::pair{0u, 0u}}) {
        theoragen::Options o;
        o.fpsNumerator = numerator;
        o.fpsDenominator = denominator;
        aTheoraStream s;
        EXPECT_FALSE(s.open(clip("zero.ogv", {kGray}, o))) << numerator << "/" << denominator;
        EXPECT_FALSE(s.isOpen());
        EXPECT_EQ(s.getWidth(), 0);
        EXPECT_FALSE(s.decodeFrame(true));
    }
    EXPECT_EQ(log.messages().size(), 3u) << log.raw();
    EXPECT_TRUE(log.contains("aTheoraVideo. Broken Theora headers in '" + dir.file("zero.ogv") + "'")) << log.raw();
}

// The clip up to its first page that carries frames (granule position above 0).
std::string headersOnly(const std::string& bytes)
{
    size_t pos = 0;
    while (pos + 27 <= bytes.size()) {
        int64_t granule = 0;
        for (int i = 7; i >= 0; --i)
            granule = granule << 8 | static_cast<uint8_t>(bytes[pos + 6 + static_cast<size_t>(i)]);
        if (granule > 0)
            break;
        const size_t segments = static_cast<uint8_t>(bytes[pos + 26]);
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i)
            body += static_cast<uint8_t>(bytes[pos + 27 + i]);
        pos += 27 + segments + body;
    }
    return bytes.substr(0, pos);
}

TEST_F(TheoraStreamTest, FilesThatCannotPlayAreRefusedWithALogLine)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* line; // what the log says, with the path appended in quotes
    };
    const std::string good = theoragen::clip({}, {kGray, kPink});
    const Case cases[] = {
        {"empty.ogv", "", "aTheoraVideo. No Theora stream in "},
        {"text.ogv", "just some text, no pages in here\n", "aTheoraVideo. No Theora stream in "},
        {"sound.ogg", audiogen::ogg(audiogen::sine(4410, 1, 44100, 440.0, 8000), 1, 44100),
         "aTheoraVideo. No Theora stream in "},
        {"first-page.ogv", good.substr(0, 70), "aTheoraVideo. Broken Theora headers in "},
        {"half-headers.ogv", good.substr(0, 1500), "aTheoraVideo. Broken Theora headers in "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kbtest::LogCapture caseLog;
        const std::string path = write(c.name, c.bytes);
        aTheoraStream s;
        EXPECT_FALSE(s.open(path));
        EXPECT_FALSE(s.isOpen());
        EXPECT_EQ(s.getWidth(), 0);
        EXPECT_FALSE(s.decodeFrame(true));
        EXPECT_TRUE(caseLog.contains(std::string(c.line) + "'" + path + "'")) << caseLog.raw();
    }
    kbtest::LogCapture missingLog;
    aTheoraStream s;
    EXPECT_FALSE(s.open(dir.file("missing.ogv")));
    EXPECT_TRUE(missingLog.contains("File open error!"));
}

// Headers and no frame: looping must not search the file for ever.
TEST_F(TheoraStreamTest, LoopingClipWithoutFramesClosesItself)
{
    const std::string path = write("no-frames.ogv", headersOnly(theoragen::clip({}, {kGray, kPink})));
    aTheoraStream s;
    ASSERT_TRUE(s.open(path));
    EXPECT_FALSE(s.decodeFrame(true));
    EXPECT_FALSE(s.isOpen());
    EXPECT_EQ(s.getPixels(), nullptr);
    EXPECT_TRUE(log.contains("aTheoraVideo. No frames in '" + path + "'")) << log.raw();
}

TEST_F(TheoraStreamTest, ClipCutShortPlaysWhatItHasAndSaysSo)
{
    const std::string whole = theoragen::clip({}, {kGray, kPink, kTeal});
    const std::string path = write("cut.ogv", whole.substr(0, whole.size() - 5));
    aTheoraStream s;
    ASSERT_TRUE(s.open(path));
    int frames = 0;
    while (s.decodeFrame(false))
        ++frames;
    EXPECT_LT(frames, 3);
    EXPECT_FALSE(s.isOpen());
    EXPECT_TRUE(log.contains("aTheoraVideo. '" + path + "' ends before its video stream does")) << log.raw();
}

} // namespace
