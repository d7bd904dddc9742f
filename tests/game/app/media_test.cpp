// Music tracks, money texts and the accessors that read the current profile
// (which may be absent).
#include <gtest/gtest.h>

#include "game/game.h"
#include "orvo/app/a_localeserver.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

using namespace kbtest;

namespace {

class Media : public ::testing::Test {
protected:
    void playlist(const std::string& lines)
    {
        writeFile(dir.file("Music/playlist.list"), lines);
        game.getFileServer().setAssign("sounds", dir.path() + "/");
        game.loadMusic();
    }

    LogCapture log;
    TempDir dir{"media"};
    cGame game;
};

} // namespace

TEST_F(Media, PlaylistLinesBecomeStreamNamesAndTracksCycleFromOne)
{
    // No playlist: silence.
    game.getFileServer().setAssign("sounds", dir.path() + "/");
    game.loadMusic();
    EXPECT_TRUE(game.getPlaylist().empty());
    game.nextMusicTrack();
    game.playCurrentMusic();
    EXPECT_EQ(game.getCurrentTrack(), 0);

    playlist("menu_theme.ogg\r\nLevels/savanna_noon.ogg\n");
    EXPECT_EQ(game.getPlaylist(), (std::vector<std::string>{"menu_theme", "savanna_noon"}));

    const struct {
        const char* list;
        std::vector<int> tracks; // after each nextMusicTrack
    } cases[] = {
        {"a.ogg\n", {0, 0, 0}},
        {"a.ogg\nb.ogg\n", {1, 1, 1}},
        {"a.ogg\nb.ogg\nc.ogg\n", {1, 2, 1, 2}},
    };
    for (const auto& c : cases) {
        playlist(c.list);
        game.playMusicTrack(0);
        std::vector<int> seen;
        for (size_t i = 0; i < c.tracks.size(); ++i) {
            game.nextMusicTrack();
            seen.push_back(game.getCurrentTrack());
        }
        EXPECT_EQ(seen, c.tracks) << c.list;
        game.playMusicTrack(0);
        EXPECT_EQ(game.getCurrentTrack(), 0);
    }
    game.playMusicTrack(7);
    EXPECT_EQ(game.getCurrentTrack(), 0) << "no such track";
}

TEST_F(Media, APercentInTheMoneySignIsText)
{
    aLocaleServer locale;
    writeFile(dir.file("Main.txt"), "money_sign = \" %s%%d\"\n");
    locale.load(dir.file("Main.txt"));
    EXPECT_EQ(game.getMoneySign(), L" %s%%d");
    EXPECT_EQ(game.formatMoney(250), L"250 %s%%d");
    EXPECT_EQ(game.formatMoneyGain(-3), L"+-3 %s%%d");
}

TEST_F(Media, WithoutAProfileEveryAccessorHasASafeDefault)
{
    EXPECT_EQ(game.getCurrentProfile(), nullptr);
    EXPECT_FLOAT_EQ(game.getSoundVolume(), 0.4f);
    EXPECT_FLOAT_EQ(game.getMusicVolume(), 0.4f);
    EXPECT_FALSE(game.isFullscreen());
    EXPECT_FALSE(game.isWidescreen());
    EXPECT_TRUE(game.getFxQuality());
    game.setSoundVolume(0.9f);
    game.setFxQuality(false);
    game.setFullscreen(true);
    EXPECT_FALSE(game.playSound("open_dialog"));

    cPlayerProfile& profile = *game.getProfiles().createProfile(L"Ann", false);
    game.getProfiles().select(&profile, false);
    const struct {
        float in, stored;
    } volumes[] = {{0.5f, 0.5f}, {2.0f, 1.0f}, {-1.0f, 0.0f}};
    for (const auto& v : volumes) {
        game.setMusicVolume(v.in);
        game.setSoundVolume(v.in);
        EXPECT_FLOAT_EQ(profile.getMusicVolume(), v.stored);
        EXPECT_FLOAT_EQ(game.getSoundVolume(), v.stored);
    }
    EXPECT_TRUE(game.isFullscreen()) << "a profile's default";
}
