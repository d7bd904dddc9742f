// The player's park: the rules the map and the levels take from the built
// stages, a purchase walked through by a scripted player down to the saved
// file and the map, and the park's look with several stages standing.
#include <gtest/gtest.h>

#include "game/game.h"
#include "game/support/map_park_game.h"
#include "game/support/player_steps.h"
#include "gui/eventargs.h"
#include "gui/statictext.h"
#include "gui/widget.h"
#include "orvo/app/a_optionsfile.h"

using namespace kbtest;

namespace {
const std::string kParkFile = std::string(KB_TEST_DATA_DIR) + "/../../data/Park/config.ini";
} // namespace

TEST(ParkRules, FiguresOfTheBuiltStages)
{
    const std::vector<cUpgradeSection> upgrades = parkConfig::readUpgrades(kParkFile);
    ASSERT_EQ(upgrades.size(), 20u);
    // The food store's stages price the in-level food upgrades.
    EXPECT_EQ(parkConfig::stageCost(upgrades, 1), 250);
    EXPECT_EQ(parkConfig::stageCost(upgrades, 4), 1300);
    EXPECT_EQ(parkConfig::stageCost(upgrades, 9), 0) << "a stage the file lacks";
    EXPECT_EQ(parkConfig::foodUpgradePrice(upgrades, 0), 25);
    EXPECT_EQ(parkConfig::foodUpgradePrice(upgrades, 3), 130);

    struct Row {
        std::vector<int32_t> stages;
        bool food;
        int32_t heal, capacity;
        float speed, damage;
        int32_t coins;
    };
    const Row rows[] = {
        {{}, false, 1, 1, 0.2f, 1.0f, 1},
        {{0, 1, 1, 1, 1}, true, 2, 2, 0.25f, 1.25f, 2},
        {{4, 3, 2, 2, 4}, true, 4, 3, 0.3f, 2.0f, 5},
        {{0, 0, 0, 5}, false, 1, 3, 0.45f, 1.0f, 1},
    };
    for (const Row& r : rows) {
        cPlayerProfile p;
        p.upgradeStages = r.stages;
        SCOPED_TRACE(::testing::PrintToString(r.stages));
        EXPECT_EQ(parkConfig::foodUpgradesOffered(&p), r.food);
        EXPECT_EQ(parkConfig::foodUpgradeLimit(&p), p.getUpgradeStage(2));
        EXPECT_EQ(parkConfig::healKindLevel(&p), r.heal);
        EXPECT_EQ(parkConfig::helicopterCapacity(&p), r.capacity);
        EXPECT_FLOAT_EQ(parkConfig::helicopterSpeed(&p), r.speed);
        EXPECT_FLOAT_EQ(parkConfig::poacherHitDamage(&p), r.damage);
        EXPECT_EQ(parkConfig::poacherCoinFactor(&p), r.coins);
    }

    EXPECT_EQ(cParkState::animalKinds(1), (std::vector<std::string>{"warthog", "zebra", "warthog"}));
    EXPECT_EQ(cParkState::animalKinds(4), (std::vector<std::string>{"cheetah", "lion", "hippo"}));
    EXPECT_TRUE(cParkState::animalKinds(5).empty());
    EXPECT_TRUE(cParkState::animalKinds(0).empty());
}

TEST(ParkRules, WhatCanBeBoughtAndWhatTheMapStillNeeds)
{
    const std::vector<cUpgradeSection> upgrades = parkConfig::readUpgrades(kParkFile);
    cPlayerProfile p;
    EXPECT_TRUE(parkConfig::hasUpgradeToBuild(upgrades, &p));
    EXPECT_FALSE(parkConfig::canBuyUpgrade(upgrades, &p)) << "no money, no level";
    p.setLevelReward("Level01", 0);
    p.stars = 149;
    EXPECT_FALSE(parkConfig::canBuyUpgrade(upgrades, &p));
    p.stars = 150;
    EXPECT_TRUE(parkConfig::canBuyUpgrade(upgrades, &p));
    p.doneUpgrades = 1;
    EXPECT_FALSE(parkConfig::canBuyUpgrade(upgrades, &p)) << "one stage a visit";
    p.doneUpgrades = 0;
    // Only the next stage counts: a built stage 1 of every upgrade leaves stages 2, which need Level03.
    p.upgradeStages = {1, 1, 1, 1, 1};
    p.stars = 10000;
    EXPECT_FALSE(parkConfig::canBuyUpgrade(upgrades, &p));
    p.upgradeStages = {4, 4, 4, 4, 4};
    EXPECT_FALSE(parkConfig::hasUpgradeToBuild(upgrades, &p));
    // A cheap stage further up does not make the park worth pointing at.
    cUpgradeSection dear;
    dear.stage = 1;
    dear.cost = 500;
    cUpgradeSection cheap;
    cheap.stage = 2;
    cheap.cost = 100;
    p.upgradeStages.clear();
    p.stars = 200;
    EXPECT_FALSE(parkConfig::canBuyUpgrade({dear, cheap}, &p));
    EXPECT_TRUE(parkConfig::hasUpgradeToBuild({dear, cheap}, &p));

    // A purchase that the rules refuse changes nothing.
    cPlayerProfile q;
    q.setLevelReward("Level01", 0);
    q.stars = 100;
    EXPECT_FALSE(parkConfig::buy(*parkConfig::find(upgrades, 0, 1), &q));
    EXPECT_EQ(q.stars, 100);
    EXPECT_TRUE(q.upgradeStages.empty());
    q.stars = 1000;
    EXPECT_FALSE(parkConfig::buy(*parkConfig::find(upgrades, 0, 2), &q)) << "not the next stage";
    EXPECT_TRUE(parkConfig::buy(*parkConfig::find(upgrades, 3, 1), &q));
    EXPECT_EQ(q.stars, 1000 - 300);
    EXPECT_EQ(q.upgradeStages, (std::vector<int32_t>{0, 0, 0, 1}));
    EXPECT_EQ(q.doneUpgrades, 1u);

    // The map's needs: the first level not completed that a stage blocks.
    const std::string text =
        "[Level01]\n[Level02]\nNeedUpgradeStages=1\n[Level03]\nNeedUpgradeStages=2, 1, 0, 0, 0, 7\n";
    aOptionsFile map;
    map.parse(text.data(), text.size(), "needs");
    cPlayerProfile r;
    EXPECT_EQ(parkConfig::mapUpgradeNeeds(map, &r).size(), 1u) << "Level02 blocks first";
    r.setLevelReward("Level01", 1);
    r.upgradeStages = {1};
    const auto needs = parkConfig::mapUpgradeNeeds(map, &r);
    ASSERT_EQ(needs.size(), 2u) << "Level02 is open, Level03 waits; a sixth entry is past the five upgrades";
    EXPECT_EQ(needs[0].type, 0);
    EXPECT_EQ(needs[0].stage, 2);
    EXPECT_EQ(needs[1].type, 1);
    EXPECT_EQ(needs[1].stage, 1);
}

namespace {

class ParkScreen : public MapParkGame {
protected:
    void SetUp() override
    {
        MapParkGame::SetUp();
        if (HasFatalFailure())
            return;
        profile->tipsMask = 0x1300; // the map's hints and the park tip were seen
    }

    int32_t mapStatus(const std::string& name)
    {
        const cMapLevel* level = findLevel(dynamic_cast<cMapState*>(h.game().getCurrentState()), name);
        return level ? level->status : -1;
    }
    bool shownAndEnabled(const std::string& name)
    {
        GUI::Widget* w = h.widget(name);
        return w && w->IsVisible() && w->IsEnabled();
    }
};

} // namespace

TEST_F(ParkScreen, BuyingAStageIsSavedAndOpensTheLevelThatNeededIt)
{
    profile->setLevelReward("Level01", 2);
    profile->stars = 500;
    ASSERT_NE(enter<cMapState>(STATE_MAP), nullptr);
    EXPECT_EQ(mapStatus("Level02"), MAP_LOCKED);

    clickOn(h, "Park");
    ASSERT_TRUE(h.waitForState(STATE_PARK));
    auto* park = dynamic_cast<cParkState*>(h.game().getCurrentState());
    ASSERT_NE(park, nullptr);
    h.frames(2);
    for (const char* name : {"Upgrade0_1", "Upgrade1_1", "Upgrade2_1", "Upgrade3_1", "Upgrade4_1"})
        EXPECT_TRUE(shownAndEnabled(name)) << name;
    EXPECT_FALSE(h.widget("Upgrade0_2")->IsVisible());
    EXPECT_EQ(h.text("Upgrade0_1"), L"Build: 150$");
    EXPECT_NE(park->getNeedHighlight(0), nullptr) << "Level02 waits for the enclosure";
    EXPECT_EQ(park->getNeedHighlight(1), nullptr);
    EXPECT_TRUE(park->animals().empty());
    EXPECT_EQ(h.text("StarsValue"), L"500$");

    // Pointing at a buy button previews the stage.
    const aPoint buy = h.centreOf("Upgrade0_1");
    h.moveTo(buy.x, buy.y);
    h.frames(20);
    const cParkStage* first = park->stages()[0].get();
    ASSERT_EQ(first->stage(), 1);
    EXPECT_GT(first->drawable.glow, 0.5f);

    h.click(buy.x, buy.y);
    h.frames(2);
    EXPECT_EQ(profile->stars, 350);
    EXPECT_EQ(profile->upgradeStages, (std::vector<int32_t>{1}));
    EXPECT_EQ(profile->doneUpgrades, 1u);
    EXPECT_EQ(h.text("StarsValue"), L"350$");
    ASSERT_EQ(park->animals().size(), 3u) << "the enclosure's first stage brings three animals";
    EXPECT_EQ(park->getNeedHighlight(0), nullptr) << "nothing more can be bought this visit";
    EXPECT_FALSE(shownAndEnabled("Upgrade1_1")) << "the count is reached";
    EXPECT_TRUE(h.widget("Upgrade1_1")->IsVisible()) << "disabled, not hidden";
    EXPECT_FALSE(h.widget("Upgrade0_1")->IsVisible()) << "the stage stands";
    EXPECT_TRUE(h.widget("Upgrade0_2")->IsVisible());
    EXPECT_FALSE(h.widget("Upgrade0_2")->IsEnabled());

    // The next stage needs Level06: its button says so.
    const aPoint next = h.centreOf("Upgrade0_2");
    h.moveTo(next.x, next.y);
    h.frames(40);
    ASSERT_NE(cSimpleTooltip::get(), nullptr);
    EXPECT_EQ(cSimpleTooltip::get()->getTextWindow()->GetText(), L"Complete the level Great migration first.");

    // A click that comes after the money went is refused, whatever the button showed.
    profile->doneUpgrades = 0;
    profile->stars = 10;
    GUI::Widget* water = h.widget("Upgrade1_1");
    park->onUpgradeClick(GUI::WidgetEventArgs(water));
    EXPECT_TRUE(h.logged("cParkState. Stage 1 of upgrade 1 cannot be bought now"));
    EXPECT_EQ(profile->stars, 10);
    EXPECT_EQ(profile->getUpgradeStage(1), 0);
    profile->doneUpgrades = 1;
    profile->stars = 350;

    clickOn(h, "Continue");
    ASSERT_TRUE(h.waitForState(STATE_MAP));
    EXPECT_EQ(mapStatus("Level02"), MAP_OPEN) << "the stage opened it";

    // What the park left in the saved file.
    cProfiles saved;
    saved.load(h.home().userDir() + "Profiles/profiles.dat");
    const cPlayerProfile* back = saved.findByName(L"Tester");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->stars, 350);
    EXPECT_EQ(back->upgradeStages, (std::vector<int32_t>{1}));
    EXPECT_EQ(back->doneUpgrades, 1u);
}

TEST_F(ParkScreen, WithNothingToBuyContinueIsPointedOutAfterSevenSeconds)
{
    profile->setLevelReward("Level01", 2);
    profile->stars = 0;
    auto* park = enter<cParkState>(STATE_PARK);
    ASSERT_NE(park, nullptr);
    h.frames(2);
    EXPECT_TRUE(h.widget("Upgrade2_1")->IsVisible());
    EXPECT_FALSE(h.widget("Upgrade2_1")->IsEnabled()) << "short of money";
    h.frames(60 * 6);
    EXPECT_EQ(park->getContinueHighlight(), nullptr);
    h.frames(60);
    EXPECT_NE(park->getContinueHighlight(), nullptr);
    h.key(0x01);
    EXPECT_TRUE(h.waitForState(STATE_MAP)) << "Escape leads to the map";
}

TEST_F(ParkScreen, SeveralStagesStandInThePark)
{
    for (const char* name : {"Level01", "Level02", "Level03", "Level04", "Level05", "Level06"})
        profile->setLevelReward(name, 2);
    profile->upgradeStages = {2, 1, 3, 2, 1};
    profile->stars = 1200;
    auto* park = enter<cParkState>(STATE_PARK);
    ASSERT_NE(park, nullptr);
    ASSERT_EQ(park->animals().size(), 3u);
    // Pointing at the water hole's next stage previews it with its tooltip.
    const aPoint water = h.centreOf("Upgrade1_2");
    h.moveTo(water.x, water.y);
    h.frames(60);
    EXPECT_EQ(cSimpleTooltip::get()->getTextWindow()->GetText(), L"Water hole: better medicine for sick animals.");
    h.expectScreen("park_stages");
}
