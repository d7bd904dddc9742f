// Replays the committed corpus of the profiles fuzz program.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/profiles_entry.h"
#include "support/temp_dir.h"

TEST(ProfilesCorpus, TheReaderTakesEveryFileOfItsCorpus)
{
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(kbfuzz::scratchDir());
    const std::filesystem::path dir = std::filesystem::path(KB_TEST_DATA_DIR) / "fuzz" / "profiles";
    int files = 0;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(dir, ec)) {
        const std::string bytes = kbtest::readFile(item.path().string());
        EXPECT_TRUE(kbfuzz::profiles(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << item.path();
        ++files;
    }
    EXPECT_GT(files, 0) << "no corpus in " << dir;
    std::filesystem::current_path(home);
}
