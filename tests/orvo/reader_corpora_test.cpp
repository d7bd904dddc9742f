// Replays the committed corpus of every engine reader's fuzz program through
// the entry the program uses, so inputs that once failed keep being checked.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/reader_entries.h"
#include "support/temp_dir.h"

namespace {

using Entry = bool (*)(const uint8_t*, size_t);
using StageEntry = bool (*)(kbfuzz::Stage&, const uint8_t*, size_t);

// Each file of tests/data/fuzz/<corpus>; false when the folder holds none.
template <class Run> bool replay(const char* corpus, Run run)
{
    const std::filesystem::path dir = std::filesystem::path(KB_TEST_DATA_DIR) / "fuzz" / corpus;
    int files = 0;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(dir, ec)) {
        const std::string bytes = kbtest::readFile(item.path().string());
        EXPECT_TRUE(run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << item.path();
        ++files;
    }
    return files > 0;
}

} // namespace

TEST(ReaderCorpora, EveryReaderTakesEveryFileOfItsCorpus)
{
    const std::pair<const char*, Entry> plain[] = {{"archive", kbfuzz::archive},   {"png", kbfuzz::picture},
                                                   {"jpeg", kbfuzz::picture},      {"bmp", kbfuzz::picture},
                                                   {"wav", kbfuzz::sound},         {"ogg", kbfuzz::sound},
                                                   {"particle", kbfuzz::particles}};
    const std::pair<const char*, StageEntry> staged[] = {{"anim", kbfuzz::animation},
                                                         {"font", kbfuzz::font},
                                                         {"imagelist", kbfuzz::imageList},
                                                         {"soundlist", kbfuzz::soundList}};
    kbfuzz::Stage stage;
    for (const auto& [corpus, entry] : plain)
        EXPECT_TRUE(replay(corpus, entry)) << "no corpus for " << corpus;
    for (const auto& [corpus, entry] : staged)
        EXPECT_TRUE(replay(corpus, [&, entry = entry](const uint8_t* d, size_t s) { return entry(stage, d, s); }))
            << "no corpus for " << corpus;
}
