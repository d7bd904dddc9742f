// Replays the committed corpora of the toolkit's fuzz programs (layout
// scripts, region masks) through the entries the programs use.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/gui_entries.h"
#include "support/temp_dir.h"

TEST(LayoutCorpora, TheServerAndTheRegionTakeEveryFileOfTheirCorpus)
{
    kbfuzz::GuiStage rig;
    // Like the fuzz programs, work in the scratch folder so that includes of
    // bare names reach the files the entries write.
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(kbfuzz::scratchDir());
    for (const char* corpus : {"layout", "region"}) {
        const std::filesystem::path dir = std::filesystem::path(KB_TEST_DATA_DIR) / "fuzz" / corpus;
        int files = 0;
        std::error_code ec;
        for (const auto& item : std::filesystem::directory_iterator(dir, ec)) {
            const std::string bytes = kbtest::readFile(item.path().string());
            const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
            EXPECT_TRUE(corpus == std::string("layout") ? kbfuzz::layout(rig, data, bytes.size())
                                                        : kbfuzz::region(data, bytes.size()))
                << item.path();
            ++files;
        }
        EXPECT_GT(files, 0) << "no corpus in " << dir;
    }
    std::filesystem::current_path(home);
}
