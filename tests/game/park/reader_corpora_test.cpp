// Replays the committed corpora of the game readers' fuzz programs (level files; food, coin, ability,
// animal and poacher kind files) through the entries the programs use, inside a started game.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "fuzz/game_entries.h"
#include "game/support/harness.h"

using namespace kbtest;

TEST(GameReaderCorpora, EveryLevelAndKindFileOfTheCorporaKeepsItsBounds)
{
    GameHarness h(GameHarness::Options{.recording = true});
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(h.waitForLoad());
    kbfuzz::GameStage stage{h.game(), h.recorder()};
    using Entry = std::function<bool(kbfuzz::GameStage&, const uint8_t*, size_t)>;
    const std::pair<const char*, Entry> readers[] = {{"level", kbfuzz::level}, {"kinds", kbfuzz::kinds}};
    for (const auto& [corpus, entry] : readers) {
        int files = 0;
        std::error_code ec;
        for (const auto& item :
             std::filesystem::directory_iterator(std::filesystem::path(KB_TEST_DATA_DIR) / "fuzz" / corpus, ec)) {
            const std::string bytes = readFile(item.path().string());
            EXPECT_TRUE(entry(stage, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << item.path();
            ++files;
        }
        EXPECT_GT(files, 0) << "no corpus for " << corpus;
    }
}
