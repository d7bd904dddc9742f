// Damaged clips made from one good clip, and the video fuzz corpus (inputs that once failed):
// none may crash or hang, and every refused file leaves a log line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "audiogen.h"
#include "fuzz/video_entry.h"
#include "orvo/gfx/a_theorastream.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"
#include "theoragen.h"

namespace {

// One good clip with bytes changed throughout, checksums mended so the damage reaches the decoder
// instead of costing the page: each opens and plays (looping, so a damaged end also exercises
// the restart) or is refused with a log line.
TEST(TheoraDamage, BytesChangedThroughoutTheFile)
{
    theoragen::Options o;
    o.width = 48;
    o.height = 32;
    o.keyframeInterval = 3;
    o.foreignStream = true;
    std::vector<theoragen::Frame> frames;
    for (int i = 0; i < 6; ++i) {
        theoragen::Frame f({uint8_t(60 + 20 * i), uint8_t(90 + 10 * i), 140}, {120, 128, uint8_t(70 + 9 * i)});
        f.textured = true;
        frames.push_back(f);
    }
    const std::string good = theoragen::clip(o, frames);
    kbtest::TempDir dir("video-damage");
    kbtest::LogCapture log;
    const std::string path = dir.file("damaged.ogv");
    int refused = 0;
    for (size_t pos = 0; pos < good.size(); pos += pos < 200 ? 1 : 11) {
        for (uint8_t change : {uint8_t{0xFF}, uint8_t{0x5A}}) {
            std::string bytes = good;
            bytes[pos] = static_cast<char>(static_cast<uint8_t>(bytes[pos]) ^ change);
            kbtest::writeFile(path, audiogen::fixOggChecksums(bytes));
            const auto logged = std::filesystem::file_size(log.path());
            aTheoraStream s;
            if (!s.open(path)) {
                ++refused;
                EXPECT_GT(std::filesystem::file_size(log.path()), logged) << "byte " << pos << ": refused silently";
            }
            for (int i = 0; i < 12 && s.isOpen(); ++i)
                (void)s.decodeFrame(true);
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(VideoCorpus, EveryFileOpensOrIsRefusedSafely)
{
    kbtest::LogCapture log; // keeps the lines of refused files out of the way
    const std::filesystem::path dir = std::filesystem::path(KB_TEST_DATA_DIR) / "fuzz" / "video";
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = kbtest::readFile(item.path().string());
        EXPECT_TRUE(kbfuzz::video(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << item.path();
        ++files;
    }
    EXPECT_GT(files, 0) << "no corpus in " << dir;
}

} // namespace
