// The game's own use of the profiles file: read at start, written at exit.
#include <gtest/gtest.h>

#include "game/app/profilesfile.h"
#include "game/support/harness.h"
#include "game/support/test_screen.h"

using namespace kbtest;

namespace {

std::string profilesPath(const GameHarness& h)
{
    return h.home().userDir() + "Profiles/profiles.dat";
}

} // namespace

TEST(ProfilesInTheGame, StartReadsThePlayersAndExitWritesThem)
{
    GameHarness h;
    StateCalls calls;
    ScopedStateClass menu(STATE_MENU, [&] { return new TestScreen(STATE_MENU, calls); });
    writeFile(profilesPath(h), profilesfile_widen("[Anna]\r\nStars=12\r\nActive=0\r\nMusicVolume=70\r\n\r\n"
                                                  "[Boris]\r\nStars=3\r\nActive=1\r\nSoundVolume=25\r\n"
                                                  "Levels=Level01\r\nRewards=2\r\n\r\n"));
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    cGame& game = h.game();
    ASSERT_EQ(game.getProfiles().count(), 2u);
    ASSERT_NE(game.getCurrentProfile(), nullptr);
    EXPECT_EQ(game.getCurrentProfile()->getName(), L"Boris");
    EXPECT_FLOAT_EQ(game.getSoundVolume(), 0.25f);

    game.getCurrentProfile()->stars = 40;
    h.stop();
    cProfiles saved;
    saved.load(profilesPath(h));
    ASSERT_EQ(saved.count(), 2u);
    EXPECT_EQ(saved.current()->getName(), L"Boris");
    EXPECT_EQ(saved.current()->stars, 40);
    EXPECT_EQ(saved.current()->getLevelReward("Level01"), 2);
    EXPECT_FLOAT_EQ(saved.at(0)->getMusicVolume(), 0.7f);
}
