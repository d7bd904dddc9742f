// Replays every committed fuzz corpus file through the fuzz programs' entries: inputs that once failed stay checked.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/text_format_entries.h"
#include "support/temp_dir.h"

TEST(TextFormatsCorpus, EveryReaderTakesEveryFileOfItsCorpus)
{
    using Entry = bool (*)(const uint8_t*, size_t);
    const std::pair<const char*, Entry> readers[] = {{"stringlist", kbfuzz::stringList},
                                                     {"optionsfile", kbfuzz::optionsFile},
                                                     {"localefile", kbfuzz::localeFile},
                                                     {"scriptloader", kbfuzz::scriptLoader}};
    // Like the fuzz programs, work in the scratch folder: includes of bare names reach the entries' files.
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(kbfuzz::scratchDir());
    for (const auto& [reader, entry] : readers) {
        const std::filesystem::path dir = std::filesystem::path(KB_TEST_DATA_DIR) / "fuzz" / reader;
        EXPECT_FALSE(std::filesystem::is_empty(dir)) << "no corpus in " << dir;
        for (const auto& item : std::filesystem::directory_iterator(dir)) {
            const std::string bytes = kbtest::readFile(item.path().string());
            EXPECT_TRUE(entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << item.path();
        }
    }
    std::filesystem::current_path(home);
}
