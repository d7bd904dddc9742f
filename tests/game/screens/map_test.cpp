// The world map: statuses from a map file and a profile, the shipped map walked
// (locks, routing of Play), and missing pictures and files it carries on without.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "game/screens/parkconfig.h"
#include "game/support/map_park_game.h"
#include "game/support/player_steps.h"
#include "game/support/screen_view.h"
#include "gui/checkbox.h"
#include "gui/staticanim.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "support/image_files.h"

using namespace kbtest;

TEST(MapLevels, StatusesFromTheMapFileAndTheProfile)
{
    cPlayerProfile p(L"Tester");
    for (const auto& [level, reward] : {std::pair{"tutorial", 0}, {"Level01", 2}, {"Level02", 1}, {"Level03", 0}})
        p.setLevelReward(level, reward);
    p.setUpgradeStage(0, 2);
    const std::string text = "[tutorial]\nX=1\n[Level01]\nX=1\n[Level02]\nNeedLevelComplete=Level01\n[Level03]\nX=1\n"
                             "[Level05]\nNeedUpgradeStages=2, 2\n[Level06]\nNeedLevelComplete=Level09\n"
                             "[Bonus2]\nMiniGame=5\n[Long]\nNeedUpgradeStages=0, 0, 0, 0, 0, 0, 1\n"
                             "[Tutorial]\nX=1\n[Empty]\n";
    aOptionsFile map;
    map.parse(text.data(), text.size(), "test map");
    const auto statuses = [&map](const cPlayerProfile* profile) {
        std::string out;
        for (const auto& l : cMapState::readLevels(map, profile, true))
            out += l->name + " " + std::to_string(l->status) + ", ";
        return out;
    };
    // Level06 waits for Level09 (shown only without hiding); the empty section is skipped.
    EXPECT_EQ(statuses(&p), "tutorial 5, Level01 4, Level02 3, Level03 2, Level05 0, Bonus2 8, Long 0, Tutorial 1, ");
    EXPECT_EQ(statuses(nullptr), "tutorial 5, Level01 1, Level03 1, Level05 0, Bonus2 8, Long 0, Tutorial 1, ");
    EXPECT_EQ(cMapState::readLevels(map, &p, false).size(), 9u);
}

class MapScreen : public MapParkGame {
protected:
    void TearDown() override { tutorial_setRunning(false); }
    void pick(const cMapState* map, const std::string& name)
    {
        const GUI::Checkbox* button = findLevel(map, name)->button;
        h.click(button->GetAbsoluteX() + 10, button->GetAbsoluteY() + 20);
        h.frames(2);
    }
};

TEST_F(MapScreen, ANewPlayerAndAHalfPlayedMapWherePlayStaysWhenNothingTakesTheLevel)
{
    cMapState* map = enter<cMapState>(STATE_MAP);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(profile->getAwardProgress(11), 1) << "the tutorial counts";
    h.frames(60);
    h.expectScreen("map_new_player");
    pick(map, "Tutorial");
    EXPECT_FALSE(h.widget("TimeRewards")->IsVisible()) << "the tutorial needs no level file";
    // The picked level's arrow bobs: it turns at each end of its frames, never jumps back to the first.
    auto* arrowWidget = dynamic_cast<GUI::StaticAnim*>(h.widget("Tutorial_auto_check"));
    ASSERT_TRUE(arrowWidget && arrowWidget->IsVisible());
    aAnim arrow = arrowWidget->GetNormalAnim();
    ASSERT_EQ(arrow.getFrameCount(), 8u);
    arrow.firstFrame();
    arrow.play();
    std::vector<int> shown;
    for (int i = 0; i < 18; ++i, arrow.update(arrow.getFrameTime()))
        shown.push_back(arrow.getFrame());
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0, 0, 1}));
    EXPECT_EQ(cLevelTooltip::formatTime(-3), L"0:00");
    map->init();
    EXPECT_TRUE(h.logged("cMapState is already initiated")) << "a second entry without leaving is refused";

    // Half played: medals, a mini-game, and a level locked by a stage the player cannot pay for yet.
    for (const auto& [level, reward] : {std::pair{"Level01", 2}, {"Level02", 1}, {"Level03", 0}, {"Level04", 2}})
        profile->setLevelReward(level, reward);
    profile->upgradeStages = {1, 1, 1};
    profile->stars = 320;
    profile->tipsMask = 0x100;
    h.moveTo(512, 384); // where a start puts the pointer
    h.game().requestState(STATE_MENU);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    map = enter<cMapState>(STATE_MAP);
    ASSERT_NE(map, nullptr);
    EXPECT_FALSE(h.widget("Play")->IsEnabled()) << "a locked level (picked) cannot be played";
    EXPECT_TRUE(map->getParkFlag()) << "320$ buys the helipad's first stage";
    h.frames(60);
    h.expectScreen("map_half_played");

    // The panel draws stage pictures 64 wide: empty borders shrink a stage, a tall one pushes a row out.
    for (const cUpgradeSection& u : parkConfig::readUpgrades()) {
        const std::string path = file_getDiskPath(("park:" + u.sprites.at(0) + ".png").c_str());
        const std::string bytes = readFile(path);
        aGpuPicture pic;
        ASSERT_EQ(gpu_decodeImage(bytes.data(), bytes.size(), pic), aGpuResult::Ok) << path;
        uint32_t left = pic.width, right = 0, top = pic.height, bottom = 0;
        for (uint32_t y = 0; y < pic.height; ++y)
            for (uint32_t x = 0; x < pic.width; ++x)
                if (pic.pixels[size_t(y) * pic.width + x] >> 24)
                    left = std::min(left, x), right = std::max(right, x + 1), top = std::min(top, y),
                    bottom = std::max(bottom, y + 1);
        EXPECT_TRUE(left <= 4 && top <= 4 && right + 4 >= pic.width && bottom + 4 >= pic.height) << path;
        EXPECT_LE(pic.height, pic.width) << path;
    }
    // Without the thumbnails the panel shows its text and no pictures.
    h.game().spriteRegistry().unloadSpriteIni("sprites:park_thumbs.ini");
    cLevelTooltip::showFor(*findLevel(map, "Level05"), MAP_LOCKED);
    EXPECT_TRUE(cLevelTooltip::get()->thumbnails().empty());
    EXPECT_TRUE(h.logged("cLevelTooltip. No thumbnail \"5_1\" for level \"Level05\""));
    h.frames(2);

    // Play stays on the map when nothing takes state 8 yet, and on a missing level file.
    const std::string folder = h.home().path() + "/Levels/"; // holds the first level's file only
    ASSERT_TRUE(h.game().getFileServer().makeDir(folder));
    std::ofstream(folder + "Level01.ini") << "[DATA]\nGoldTime=90\nSilverTime=125\n";
    h.game().getFileServer().setAssign("levels", folder);
    pick(map, "Level01");
    clickOn(h, "Play");
    h.frames(2);
    EXPECT_TRUE(h.logged("cMapState. State 8 is not there yet, staying on the map") &&
                h.game().getCurrentState()->getId() == STATE_MAP);
    StateCalls playCalls;
    ScopedStateClass play{STATE_PLAY, [&] { return new TestScreen(STATE_PLAY, playCalls, "", false); }};
    cGameState::createAll();
    pick(map, "Level04");
    clickOn(h, "Play");
    h.frames(2);
    EXPECT_TRUE(h.logged("cMapState. Level file \"levels:Level04.ini\" not found, staying on the map") &&
                h.game().getCurrentState()->getId() == STATE_MAP);

    // Escape on the map goes to the menu, and the map's hints go with it.
    h.key(0x01);
    EXPECT_TRUE(h.waitForState(STATE_MENU));
    EXPECT_TRUE(cTutorialTooltip::all().empty());
}

// A touch screen's tap: the pointer lands on Play and presses in one poll.
TEST_F(MapScreen, PlayPressedInTheFrameThePointerLandsOnItStartsTheLevel)
{
    StateCalls playCalls;
    ScopedStateClass play{STATE_PLAY, [&] { return new TestScreen(STATE_PLAY, playCalls, "", false); }};
    cGameState::createAll();
    cMapState* map = enter<cMapState>(STATE_MAP);
    ASSERT_NE(map, nullptr);
    pick(map, "Level01");
    h.frames(60); // past a double click's time on the level's button
    ASSERT_TRUE(h.widget("Play")->IsEnabled());
    const aPoint at = h.centreOf("Play");
    h.press(at.x, at.y);
    h.release(at.x, at.y);
    EXPECT_TRUE(h.waitForState(STATE_PLAY));
    h.stop(); // the test screen, now current, reports to playCalls as the game ends
}

TEST_F(MapScreen, AnArrowNarrowerThanAFrameMakesOneFrameAndMissingPicturesAreSkipped)
{
    aImageManager* images = h.game().getImageManager();
    ASSERT_TRUE(images->unloadItem("map_arrow.png", "") && images->unloadItem("goals.png", ""));
    std::ofstream(h.home().path() + "/map_arrow.png", std::ios::binary)
        << encodePng(std::vector<uint32_t>(10 * 26, 0xFFFF0000u), 10, 26);
    images->loadItem(h.home().path() + "/", "map_arrow.png 4444 8888", "");
    cMapState* map = enter<cMapState>(STATE_MAP);
    ASSERT_NE(map, nullptr);
    auto* arrow = dynamic_cast<GUI::StaticAnim*>(h.widget("Level01_auto_check"));
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->GetNormalAnim().getFrameCount(), 1u);
    EXPECT_EQ(map->levels()[1]->button->GetWidth(), 32) << "placed by its rectangle even without pictures";
    h.frames(30);
}

// The map's two hints block nothing and stay until the map is left: a press
// on one goes on to what lies under it. They stand clear of the map's buttons
// and of the level they point at.
TEST_F(MapScreen, TheHintBubblesBlockNothingAndStayUntilTheMapIsLeft)
{
    profile->setLevelReward("Level01", 2);
    profile->stars = 320;
    profile->tipsMask = 0;
    cMapState* map = enter<cMapState>(STATE_MAP);
    ASSERT_NE(map, nullptr);
    const auto& hints = cTutorialTooltip::all();
    ASSERT_EQ(hints.size(), 2u);
    h.frames(60);
    h.expectScreen("map_hint_bubbles");
    for (const auto& hint : hints) {
        for (const char* name : {"Play", "Park", "Awards", "Menu"})
            EXPECT_FALSE(ScreenView::bubbleCovers(hint.get(), h.widget(name)->GetAbsoluteRect())) << name;
        EXPECT_FALSE(ScreenView::bubbleCovers(hint.get(), map->levels().back()->button->GetAbsoluteRect()));
        EXPECT_EQ(map->getModalCount(), 0);
    }
    for (size_t i = 0; i < hints.size(); ++i) {
        const aRect r = ScreenView::bubbleRect(hints[i].get());
        h.click(r.x + r.width / 2, r.y + r.height / 2);
        h.frames(30);
        ASSERT_EQ(hints.size(), 2u);
        EXPECT_TRUE(hints[0]->isOpen() && hints[1]->isOpen()) << "pressed on hint " << i;
    }
    clickOn(h, "Menu");
    EXPECT_TRUE(h.waitForState(STATE_MENU));
    EXPECT_TRUE(cTutorialTooltip::all().empty());
}
