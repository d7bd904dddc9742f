// Replays every committed fuzz corpus file through the entries the fuzz
// programs use, so inputs that once failed keep being checked.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/text_format_entries.h"
#include "support/temp_dir.h"

namespace {

using Entry = bool (*)(const uint8_t*, size_t);

void replay(const std::string& reader, Entry entry)
{
    const std::filesystem::path dir = std::filesystem::path(KB_TEST_DATA_DIR) / "fuzz" / reader;
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    // Like the fuzz programs, work in the scratch folder so that includes of
    // bare names reach the files the entries write.
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(kbfuzz::scratchDir());
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(dir)) {
        if (!item.is_regular_file())
            continue;
        const std::string bytes = kbtest::readFile(item.path().string());
        EXPECT_TRUE(entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << item.path();
        ++files;
    }
    std::filesystem::current_path(home);
    EXPECT_GT(files, 0) << "no corpus in " << dir;
}

} // namespace

TEST(TextFormatsCorpus, StringList)
{
    replay("stringlist", kbfuzz::stringList);
}
TEST(TextFormatsCorpus, OptionsFile)
{
    replay("optionsfile", kbfuzz::optionsFile);
}
TEST(TextFormatsCorpus, LocaleFile)
{
    replay("localefile", kbfuzz::localeFile);
}
TEST(TextFormatsCorpus, ScriptLoader)
{
    replay("scriptloader", kbfuzz::scriptLoader);
}
