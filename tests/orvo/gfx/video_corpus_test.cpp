// Replays the committed corpus of the video fuzz program, so inputs that
// once failed keep being checked.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/video_entry.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

TEST(VideoCorpus, EveryFileOpensOrIsRefusedSafely)
{
    kbtest::LogCapture log; // keeps the lines of refused files out of the way
    const std::filesystem::path dir = std::filesystem::path(KB_TEST_DATA_DIR) / "fuzz" / "video";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(dir)) {
        if (!item.is_regular_file())
            continue;
        const std::string bytes = kbtest::readFile(item.path().string());
        EXPECT_TRUE(kbfuzz::video(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << item.path();
        ++files;
    }
    EXPECT_GT(files, 0) << "no corpus in " << dir;
}
