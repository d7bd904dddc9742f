// Replays the committed corpus of every engine reader's fuzz program through
// the entry the program uses, so inputs that once failed keep being checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "fuzz/reader_entries.h"
#include "support/temp_dir.h"

TEST(ReaderCorpora, EveryReaderTakesEveryFileOfItsCorpus)
{
    using Entry = std::function<bool(const uint8_t*, size_t)>;
    kbfuzz::Stage stage;
    auto staged = [&stage](bool (*entry)(kbfuzz::Stage&, const uint8_t*, size_t)) -> Entry {
        return [&stage, entry](const uint8_t* d, size_t s) { return entry(stage, d, s); };
    };
    const std::pair<const char*, Entry> readers[] = {{"archive", kbfuzz::archive},
                                                     {"png", kbfuzz::picture},
                                                     {"jpeg", kbfuzz::picture},
                                                     {"bmp", kbfuzz::picture},
                                                     {"wav", kbfuzz::sound},
                                                     {"ogg", kbfuzz::sound},
                                                     {"particle", kbfuzz::particles},
                                                     {"anim", staged(kbfuzz::animation)},
                                                     {"font", staged(kbfuzz::font)},
                                                     {"imagelist", staged(kbfuzz::imageList)},
                                                     {"soundlist", staged(kbfuzz::soundList)}};
    for (const auto& [corpus, entry] : readers) {
        // Each file of tests/data/fuzz/<corpus>; a corpus without files is a mistake.
        int files = 0;
        std::error_code ec;
        for (const auto& item :
             std::filesystem::directory_iterator(std::filesystem::path(KB_TEST_DATA_DIR) / "fuzz" / corpus, ec)) {
            const std::string bytes = kbtest::readFile(item.path().string());
            EXPECT_TRUE(entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << item.path();
            ++files;
        }
        EXPECT_GT(files, 0) << "no corpus for " << corpus;
    }
}
