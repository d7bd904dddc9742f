// The player's park: the purchase rules at their edges, a purchase walked on
// to the map it opens, the park's look, and what each of its frames draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "game/support/map_park_game.h"
#include "game/support/player_steps.h"
#include "gui/eventargs.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"

using namespace kbtest;

TEST(ParkRules, WhatCanBeBoughtAndWhatTheMapStillNeeds)
{
    const std::vector<cUpgradeSection> upgrades =
        parkConfig::readUpgrades(std::string(KB_TEST_DATA_DIR) + "/../../data/Park/config.ini");
    cPlayerProfile p;
    EXPECT_FALSE(parkConfig::canBuyUpgrade(upgrades, &p)) << "no money, no level";
    p.setLevelReward("Level01", 0);
    p.stars = 10000;
    EXPECT_TRUE(parkConfig::canBuyUpgrade(upgrades, &p));
    p.upgradeStages = {1, 1, 1, 1, 1};
    EXPECT_FALSE(parkConfig::canBuyUpgrade(upgrades, &p)) << "every stage 2 needs Level03";
    p.upgradeStages = {4, 4, 4, 4, 4};
    EXPECT_FALSE(parkConfig::hasUpgradeToBuild(upgrades, &p));
    EXPECT_EQ(parkConfig::stageCost(upgrades, 9), 0) << "a stage the file lacks";
    // Food upgrades are offered from the first food stage on, and the heal kind follows the heal stage.
    for (const auto& [stages, food, heal] :
         {std::tuple(std::vector<int32_t>{}, false, 1), std::tuple(std::vector<int32_t>{0, 1, 1, 1, 1}, true, 2),
          std::tuple(std::vector<int32_t>{4, 3, 2, 2, 4}, true, 4)}) {
        cPlayerProfile q;
        q.upgradeStages = stages;
        EXPECT_EQ(std::tuple(parkConfig::foodUpgradesOffered(&q), parkConfig::foodUpgradeLimit(&q),
                             parkConfig::healKindLevel(&q)),
                  std::tuple(food, q.getUpgradeStage(2), heal))
            << ::testing::PrintToString(stages);
    }
    EXPECT_TRUE(cParkState::animalKinds(5).empty());
    // A cheap stage further up does not make the park worth pointing at.
    cUpgradeSection dear, cheap;
    dear.stage = 1, dear.cost = 500;
    cheap.stage = 2, cheap.cost = 100;
    p.upgradeStages.clear();
    p.stars = 200;
    EXPECT_FALSE(parkConfig::canBuyUpgrade({dear, cheap}, &p));
    EXPECT_TRUE(parkConfig::hasUpgradeToBuild({dear, cheap}, &p));
    // A damaged file's negative price is free, never a purchase that pays stars out.
    aOptionsFile damaged;
    const std::string negative = "[UPGRADE]\nType=0\nStage=1\nCost=-2147483647\n";
    damaged.parse(negative.data(), negative.size(), "upgrade");
    damaged.firstSection();
    const cUpgradeSection gift = parkConfig::readUpgrade(damaged);
    EXPECT_EQ(gift.cost, 0);
    cPlayerProfile rich;
    rich.stars = 2147483000;
    rich.setLevelReward(gift.neededLevel, 0);
    EXPECT_TRUE(parkConfig::buy(gift, &rich));
    EXPECT_EQ(rich.stars, 2147483000);

    // The map's needs: those of the first level not completed that a stage blocks; past five upgrades none.
    const std::string text =
        "[Level01]\n[Level02]\nNeedUpgradeStages=1\n[Level03]\nNeedUpgradeStages=2, 1, 0, 0, 0, 7\n";
    aOptionsFile map;
    map.parse(text.data(), text.size(), "needs");
    p.upgradeStages = {1};
    const auto needs = parkConfig::mapUpgradeNeeds(map, &p); // Level02 is open; a sixth entry is past five
    ASSERT_EQ(needs.size(), 2u);
    EXPECT_EQ(std::tuple(needs[0].type, needs[0].stage, needs[1].type, needs[1].stage), std::tuple(0, 2, 1, 1));
}

using ParkScreen = MapParkGame;

TEST_F(ParkScreen, BuyingAStageOpensTheLevelThatNeededItAndThenContinueIsPointedOut)
{
    profile->tipsMask = 0x1300; // the map's hints and the park tip were seen
    profile->setLevelReward("Level01", 2);
    profile->stars = 500;
    auto* map = enter<cMapState>(STATE_MAP);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(findLevel(map, "Level02")->status, MAP_LOCKED);
    clickOn(h, "Park");
    ASSERT_TRUE(h.waitForState(STATE_PARK));
    auto* park = dynamic_cast<cParkState*>(h.game().getCurrentState());
    ASSERT_NE(park, nullptr);
    h.frames(2);
    EXPECT_NE(park->getNeedHighlight(0), nullptr) << "Level02 waits for the enclosure";
    clickOn(h, "Upgrade0_1");
    h.frames(2);
    EXPECT_EQ(profile->stars, 350);
    EXPECT_EQ(park->getNeedHighlight(0), nullptr) << "nothing more can be bought this visit";
    EXPECT_FALSE(h.widget("Upgrade1_1")->IsEnabled());

    // A click that comes after the money went is refused, whatever the button showed.
    profile->doneUpgrades = 0;
    profile->stars = 10;
    park->onUpgradeClick(GUI::WidgetEventArgs(h.widget("Upgrade1_1")));
    EXPECT_TRUE(h.logged("cParkState. Stage 1 of upgrade 1 cannot be bought now"));
    EXPECT_TRUE(profile->stars == 10 && profile->getUpgradeStage(1) == 0);

    // With nothing left to buy, Continue is pointed out after a while; Escape leads on.
    h.frames(60 * 8);
    EXPECT_NE(park->getContinueHighlight(), nullptr);
    h.key(0x01);
    ASSERT_TRUE(h.waitForState(STATE_MAP));
    map = dynamic_cast<cMapState*>(h.game().getCurrentState());
    ASSERT_NE(findLevel(map, "Level02"), nullptr);
    EXPECT_EQ(findLevel(map, "Level02")->status, MAP_OPEN);
}

// The sparkles that point Continue out run round its caption, never over it:
// against the frame before they came, the caption's pixels stay as they were.
TEST_F(ParkScreen, ContinuesSparklesLeaveItsCaptionReadable)
{
    profile->tipsMask = 0x1300;
    profile->setLevelReward("Level01", 2);
    profile->stars = 0; // nothing to buy: Continue is pointed out after a while
    h.game().requestState(STATE_PARK);
    ASSERT_TRUE(h.waitForState(STATE_PARK));
    auto* park = dynamic_cast<cParkState*>(h.game().getCurrentState());
    ASSERT_NE(park, nullptr);
    h.moveTo(300, 300);
    h.frames(60 * 6);
    ASSERT_EQ(park->getContinueHighlight(), nullptr);
    const aRect r = h.widget("Continue")->GetAbsoluteRect();
    const std::vector<uint32_t> before = h.screenshot();
    // The caption: its white pixels on the button.
    std::vector<size_t> caption;
    for (int32_t y = r.y; y < r.y + r.height; ++y)
        for (int32_t x = r.x; x < r.x + r.width; ++x) {
            const uint32_t c = before[size_t(y) * 1024 + size_t(x)];
            if (std::min({c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF}) > 180)
                caption.push_back(size_t(y) * 1024 + size_t(x));
        }
    ASSERT_GE(caption.size(), 40u);
    while (!park->getContinueHighlight() && park->getContinueTimer() < 9.0f)
        h.frame();
    ASSERT_NE(park->getContinueHighlight(), nullptr);
    size_t worst = 0;
    for (int i = 0; i < 150; ++i) {
        h.frame();
        const std::vector<uint32_t> now = h.screenshot();
        size_t covered = 0;
        for (size_t at : caption) {
            const uint32_t a = before[at], b = now[at];
            int most = 0;
            for (int shift : {16, 8, 0})
                most = std::max(most, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
            covered += most > 40;
        }
        worst = std::max(worst, covered);
    }
    EXPECT_LE(worst * 50, caption.size()) << worst << " of the caption's " << caption.size() << " pixels covered";
    if (std::getenv("KB_UPDATE_GOLDEN"))
        h.expectScreen("park_continue"); // for review: the park's animals move
}

TEST_F(ParkScreen, ThePicturesComeAndGoWithTheScreensAndSeveralStagesStandInThePark)
{
    // Every kind's idle pictures and every stage's picture load with the screens, before the first visit.
    aImageManager* screen = h.game().getScreenImageManager();
    ASSERT_NE(screen, nullptr);
    std::vector<std::string> sheets = {"park:upgrade_0_1", "park:upgrade_4_4"};
    for (const char* kind : {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"})
        for (const char* idle : {"adult_idle_01_down_right", "adult_idle_02_down_right"})
            sheets.push_back(std::string("animals:") + kind + "/animations/" + idle);
    const auto held = [&] {
        return std::count_if(sheets.begin(), sheets.end(), [&](const std::string& s) { return screen->hasImage(s); });
    };
    EXPECT_EQ(held(), 14);
    cGameState* parkState = cGameState::find(STATE_PARK);
    parkState->freeResources();
    EXPECT_EQ(held(), 0);
    parkState->loadResources();
    screen->runTasks();
    EXPECT_EQ(held(), 14);

    for (const char* name : {"Level01", "Level02", "Level03", "Level04", "Level05", "Level06"})
        profile->setLevelReward(name, 2);
    profile->upgradeStages = {2, 1, 3, 2, 1};
    profile->stars = 1200;
    profile->tipsMask = 0x1300;
    ASSERT_NE(enter<cParkState>(STATE_PARK), nullptr);
    h.moveTo(h.centreOf("Upgrade1_2").x, h.centreOf("Upgrade1_2").y);
    h.frames(60);
    h.expectScreen("park_stages");
    ASSERT_NE(h.widget("ParkRule"), nullptr) << "why the grey stages wait";
    EXPECT_EQ(h.text("ParkRule"), h.game().getText("park_rule"));
}

TEST_F(ParkScreen, ThreeAnimalsStandInTheParkAndTheEggInItsCorner)
{
    cParkState* park = enterParkWithAnimals(3);
    ASSERT_NE(park, nullptr);
    h.moveTo(500, 700);
    // Pictured while two of them wait between their idles, on their idles' last frames.
    const auto resting = [park] {
        return std::count_if(park->animals().begin(), park->animals().end(),
                             [](const cParkState::ParkAnimal& a) { return !a.idle[a.currentIdle]->isPlaying(); });
    };
    for (int i = 0; i < 600 && resting() < 2; ++i)
        h.frame();
    EXPECT_GE(resting(), 2);
    h.expectScreen("park_animals");
}

// The recording device counts what each frame of the park draws.
class ParkDraws : public MapParkGame {
protected:
    ParkDraws() : MapParkGame({.recording = true}) {}

    static const void* textureOf(const aImage* image)
    {
        return image && image->getRecord() ? image->getRecord()->surfaces[aImage::SURFACE_PLAIN].texture.get()
                                           : nullptr;
    }
    // One frame; how many sprites it drew with each of the textures asked about, and their source rectangles' left.
    std::vector<size_t> frameDraws(const std::vector<std::set<const void*>>& textures,
                                   std::vector<uint32_t>* lefts = nullptr)
    {
        h.recorder()->clearRecords();
        h.frame();
        std::vector<size_t> drawn(textures.size(), 0);
        for (const aGpuRecord& r : h.recorder()->records(aGpuCall::SpriteDraw))
            for (size_t i = 0; i < textures.size(); ++i)
                if (textures[i].count(r.object)) {
                    ++drawn[i];
                    if (lefts && i == 0)
                        lefts->push_back(r.u[0]);
                }
        return drawn;
    }
};

TEST_F(ParkDraws, EveryAnimalStandsOverItsShadowAndTheEggJumpsOnce)
{
    cParkState* park = enterParkWithAnimals(1);
    ASSERT_NE(park, nullptr);
    std::set<const void*> shadows, animals;
    for (const cParkState::ParkAnimal& a : park->animals()) {
        shadows.insert(textureOf(a.shadow));
        for (const auto& idle : a.idle) {
            aRect source;
            animals.insert(textureOf(idle ? idle->getCurrentFrame(source) : nullptr));
        }
    }
    ASSERT_FALSE(shadows.count(nullptr) || animals.count(nullptr)) << "every animal has its pictures";
    h.moveTo(500, 700);
    // Ten seconds: every idle ends and waits 1.5 to 3 s before the next, several times over. An ended idle
    // stays ended, and shows its last frame as its file asks ("ShowStoped").
    int missing = 0, ended = 0;
    for (int i = 0; i < 600; ++i) {
        const std::vector<size_t> drawn = frameDraws({shadows, animals});
        EXPECT_EQ(drawn[0], 3u) << "frame " << i;
        missing += drawn[1] < drawn[0];
        for (const cParkState::ParkAnimal& a : park->animals())
            ended += !a.idle[a.currentIdle]->isPlaying();
    }
    EXPECT_EQ(missing, 0) << "frames with an animal missing over its shadow";
    EXPECT_GT(ended, 0) << "animals between their idles";
    // Idles whose files do not ask for it draw nothing once ended; the shadow stays.
    const std::string folder = "animals:" + cParkState::animalKinds(1)[0] + "/animations/";
    for (int k = 0; k < 2; ++k) {
        const std::string name = "adult_idle_0" + std::to_string(k + 1) + "_down_right.ini";
        std::string text = readFile(file_getDiskPath((folder + name).c_str()));
        const size_t at = text.find("ShowStoped=1\n");
        ASSERT_NE(at, std::string::npos) << name;
        writeFile(h.home().path() + "/" + name, text.erase(at, 13));
        ASSERT_TRUE(park->animals()[0].idle[k]->Load(h.home().path() + "/" + name, h.game().getScreenImageManager()));
    }
    int shadowAlone = 0;
    for (int i = 0; i < 300; ++i) {
        const std::vector<size_t> drawn = frameDraws({shadows, animals});
        EXPECT_EQ(drawn[0], 3u) << "frame " << i;
        shadowAlone += drawn[1] == 2;
    }
    EXPECT_GT(shadowAlone, 0) << "frames with the first animal's shadow alone";

    // The pointer passes over the egg: it jumps once and settles back to its idle, which plays on.
    const cSpriteEntry* idleEgg = h.game().spriteRegistry().findSprite("ee_idle");
    const cSpriteEntry* jumpEgg = h.game().spriteRegistry().findSprite("ee_jump");
    ASSERT_TRUE(idleEgg && jumpEgg);
    const std::set<const void*> idle{textureOf(idleEgg->image.get())}, jump{textureOf(jumpEgg->image.get())};
    EXPECT_EQ(frameDraws({idle, jump}), (std::vector<size_t>{1, 0}));
    h.moveTo(50, 20);
    h.moveTo(500, 700);
    EXPECT_EQ(frameDraws({idle, jump}), (std::vector<size_t>{0, 1})) << "jumping";
    h.frames(60); // the jump takes 8 frames of 0.06 s
    std::set<uint32_t> idleFrames;
    for (int i = 0; i < 60; ++i) {
        std::vector<uint32_t> lefts;
        EXPECT_EQ(frameDraws({idle, jump}, &lefts), (std::vector<size_t>{1, 0})) << "frame " << i << " after the jump";
        idleFrames.insert(lefts.begin(), lefts.end());
    }
    EXPECT_GT(idleFrames.size(), 4u) << "the idle egg plays, not rewound every frame";
}
