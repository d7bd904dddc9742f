// Music tracks, money texts and the accessors that read the current profile
// when there is none, on a game that was not started.
#include <gtest/gtest.h>

#include "game/game.h"
#include "orvo/app/a_localeserver.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

using namespace kbtest;

TEST(Media, PlaylistsMoneyTextsAndTheAccessorsWithoutAProfile)
{
    LogCapture log;
    TempDir dir{"media"};
    cGame game;
    game.getFileServer().setAssign("sounds", dir.path() + "/");
    // No playlist: silence.
    game.loadMusic();
    game.nextMusicTrack();
    game.playCurrentMusic();
    EXPECT_EQ(game.getCurrentTrack(), 0);
    // Lines become stream names; after the first, tracks cycle from the second on.
    writeFile(dir.file("Music/playlist.list"), "menu.ogg\r\nLevels/noon.ogg\n");
    game.loadMusic();
    EXPECT_EQ(game.getPlaylist(), (std::vector<std::string>{"menu", "noon"}));
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"a.ogg\n", {0, 0, 0}}, {"a.ogg\nb.ogg\n", {1, 1, 1}}, {"a.ogg\nb.ogg\nc.ogg\n", {1, 2, 1, 2}}};
    for (const auto& [list, tracks] : cases) {
        writeFile(dir.file("Music/playlist.list"), list);
        game.loadMusic();
        game.playMusicTrack(0);
        std::vector<int> seen;
        for (size_t i = 0; i < tracks.size(); ++i) {
            game.nextMusicTrack();
            seen.push_back(game.getCurrentTrack());
        }
        EXPECT_EQ(seen, tracks) << list;
    }
    game.playMusicTrack(7);
    EXPECT_EQ(game.getCurrentTrack(), 2) << "no such track: the current one plays on";
    // A percent in the money sign is text, not a format.
    aLocaleServer locale;
    writeFile(dir.file("Main.txt"), "money_sign = \" %s%%d\"\n");
    locale.load(dir.file("Main.txt"));
    EXPECT_EQ(game.formatMoney(250), L"250 %s%%d");
    EXPECT_EQ(game.formatMoneyGain(-3), L"+-3 %s%%d");
    // Without a profile every accessor has a safe default and every setter is harmless.
    EXPECT_FLOAT_EQ(game.getSoundVolume(), 0.4f);
    EXPECT_FALSE(game.isFullscreen());
    EXPECT_TRUE(game.getFxQuality());
    game.setSoundVolume(0.9f);
    game.setFxQuality(false);
    game.setFullscreen(true);
    EXPECT_FALSE(game.playSound("open_dialog"));
}
