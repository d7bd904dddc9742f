#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audiogen.h"
#include "gfx_fixture.h"
#include "orvo/gfx/a_theorastream.h"
#include "theoragen.h"

namespace {

using theoragen::Yuv;

constexpr Yuv kGray{128, 128, 128};
constexpr Yuv kTeal{100, 150, 90}; // 0xFF22788A
constexpr Yuv kPink{200, 60, 200}; // 0xFFFFAD52

class TheoraStreamTest : public ::testing::Test, public kbtest::GraphRig {
protected:
    std::string clip(const std::string& name, const std::vector<theoragen::Frame>& frames,
                     theoragen::Options options = {})
    {
        const std::string bytes = theoragen::clip(options, frames);
        EXPECT_FALSE(bytes.empty()) << "the encoder refused the clip";
        return write(name, bytes);
    }
    // The last picture all near one colour.
    static testing::AssertionResult flat(const aTheoraStream& s, uint32_t colour)
    {
        return kbtest::allNear(s.getPixels(), size_t(s.getPixelsWidth()) * s.getPixelsHeight(), colour);
    }

    kbtest::LogCapture log;
};

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
        o.border = {90, 60, 60}; // far from the picture's colours
        o.quality = 63;
        o.foreignStream = true; // sound pages between the video pages are skipped
        aTheoraStream s;
        ASSERT_TRUE(s.open(clip("offset.ogv", {theoragen::Frame(kTeal, kPink)}, o)));
        ASSERT_TRUE(s.decodeFrame(false));
        EXPECT_FALSE(s.decodeFrame(false)) << "one frame";
        ASSERT_EQ(s.getPixelsWidth() * s.getPixelsHeight(), 20 * 18);
        // Colour edges inside a block come out a little blurred, hence the wider margin; a
        // misplaced picture would show the border (0xFF00A000) or the other half.
        for (int row : {0, 1, 6, 11, 16, 17})
            for (int col : {0, 1, 10, 18, 19})
                EXPECT_TRUE(kbtest::allNear(&s.getPixels()[row * 20 + col], 1, row < 9 ? 0xFF22788A : 0xFFFFAD52, 12))
                    << "row " << row << " col " << col;
    }
}

TEST_F(TheoraStreamTest, FilesThatCannotPlayAreRefusedWithALogLine)
{
    const std::string good = theoragen::clip({}, {kGray, kPink});
    auto zeroRate = [](uint32_t numerator, uint32_t denominator) {
        theoragen::Options o;
        o.fpsNumerator = numerator;
        o.fpsDenominator = denominator;
        return theoragen::clip(o, {kGray});
    };
    const std::string noStream = "aTheoraVideo. No Theora stream in ",
                      broken = "aTheoraVideo. Broken Theora headers in ";
    const std::pair<std::string, std::string> cases[] = {
        {"", noStream},
        {audiogen::ogg(audiogen::sine(4410, 1, 44100, 440.0, 8000), 1, 44100), noStream},
        {good.substr(0, 1500), broken}, // half the headers
        {zeroRate(0, 1), broken},       // a frame rate with a zero part
        {zeroRate(25, 0), broken},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        kbtest::LogCapture caseLog;
        const std::string path = write("bad" + std::to_string(i) + ".ogv", cases[i].first);
        aTheoraStream s;
        EXPECT_FALSE(s.open(path)) << i;
        EXPECT_FALSE(s.decodeFrame(true));
        EXPECT_EQ(caseLog.messages(), std::vector<std::string>{cases[i].second + "'" + path + "'"}) << i;
    }
    kbtest::LogCapture missingLog;
    aTheoraStream s;
    EXPECT_FALSE(s.open(dir.file("missing.ogv")));
    EXPECT_TRUE(missingLog.contains("File open error!"));
}

TEST_F(TheoraStreamTest, ClipsWithoutFramesOrCutShortCloseThemselvesAndSaySo)
{
    // Headers and no frame: looping must not search the file for ever.
    const std::string none = write("no-frames.ogv", headersOnly(theoragen::clip({}, {kGray, kPink})));
    aTheoraStream s;
    ASSERT_TRUE(s.open(none));
    EXPECT_FALSE(s.decodeFrame(true));
    EXPECT_FALSE(s.isOpen());
    EXPECT_EQ(s.getPixels(), nullptr);
    EXPECT_TRUE(log.contains("aTheoraVideo. No frames in '" + none + "'")) << log.raw();

    const std::string whole = theoragen::clip({}, {kGray, kPink, kTeal});
    const std::string cut = write("cut.ogv", whole.substr(0, whole.size() - 5));
    ASSERT_TRUE(s.open(cut));
    int frames = 0;
    while (s.decodeFrame(false))
        ++frames;
    EXPECT_LT(frames, 3);
    EXPECT_FALSE(s.isOpen());
    EXPECT_TRUE(log.contains("aTheoraVideo. '" + cut + "' ends before its video stream does")) << log.raw();
}

} // namespace
