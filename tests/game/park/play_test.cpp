// The play state driven by a scripted player: the fenced park won with the
// HUD's tools; refusals, refunds and rewards that never count twice; the
// goals window's rows; a level that cannot load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "game/app/playerprofile.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/flyawaytext.h"
#include "game/park/food.h"
#include "game/park/goalswindow.h"
#include "game/park/helicopter.h"
#include "game/park/missionresults.h"
#include "game/park/poacher.h"
#include "game/support/painted_water.h"
#include "game/support/play_game.h"
#include "game/support/shipped_data.h"
#include "gui/server.h"
#include "gui/staticimage.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"

namespace kbtest {
namespace {

// A fixed copy of the fenced park, so the shipped levels can change under the game.
const std::string kFencedPark = std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini";

class PlayGame : public PlayStateGame {
protected:
    int modal() { return state()->getModalCount(); }
    static bool overlaps(const aRect& a, const aRect& b)
    {
        return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
    }
    // The most goals a shipped level sets, counted as the level reads them:
    // the widest goals strip the HUD draws.
    static size_t mostShippedGoals()
    {
        size_t most = 0;
        for (const auto& entry : std::filesystem::directory_iterator(shippedData() + "Levels")) {
            if (entry.path().extension() != ".ini")
                continue;
            const std::string bytes = readFile(entry.path().string());
            aOptionsFile file;
            file.parse(bytes.data(), bytes.size(), entry.path().c_str());
            size_t goals = 0;
            for (file.firstSection(); !file.isSectionEnd(); file.nextSection()) {
                const std::string section = file.getSectionName();
                const std::string type = section == "GOAL" && file.findKey("Type") ? file.getString("Type") : "";
                std::vector<std::string> kinds;
                if ((section == "GOALS" || type == "sell") && file.findKey("Animals"))
                    aOptionsFile::splitStrings(file.getString("Animals"), kinds);
                goals += kinds.size() + ((section == "GOALS" && file.findKey("Money")) || type == "money" ? 1 : 0);
            }
            most = std::max(most, goals);
        }
        return most;
    }
    // The boxes the HUD draws along the top: the goals strip (as wide as its
    // goals), the medal box and the timer.
    std::vector<aRect> topStrip()
    {
        const auto goals = static_cast<int32_t>(level()->goals.size());
        const int32_t width = 20 + 90 * goals;
        return {aRect(static_cast<int16_t>(512 + 45 - width / 2), 0, static_cast<uint16_t>(width), 32),
                aRect(cPlayState::kMedalBoxX, cPlayState::kTimerBoxY, 90, 32),
                aRect(cPlayState::kTimerBoxX, cPlayState::kTimerBoxY, 90, 32)};
    }
    void rightClick()
    {
        for (bool down : {true, false})
            h.input().setButton(1, down), h.frame();
    }
};

TEST_F(PlayGame, APlayerWinsTheFencedParkWithEveryTool)
{
    // The harness's sounds move with its frames, so the heal sound checked
    // below cannot have ended while a busy machine drew the frames between.
    player->setUpgradeStage(3, 2); // a helicopter for three
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    // A zebra bought from its button; grass bought and put on herbivore ground.
    level()->addMoney(250);
    const size_t animals = level()->animals.size();
    const int32_t beforeBuy = level()->money, price = level()->animalPrice("zebra");
    clickWidget("zebra");
    EXPECT_EQ(level()->animals.size(), animals + 1);
    EXPECT_EQ(level()->money, beforeBuy - price);
    clickWidget("Grass");
    const size_t foods = level()->foods.size();
    h.click(250, 560);
    EXPECT_EQ(level()->foods.size(), foods + 1);
    rightClick();
    EXPECT_EQ(state()->getCursorMode(), cPlayState::MODE_NONE);
    // A sick zebra healed with the heal tool.
    cAnimal* patient = *std::find_if(level()->animals.begin(), level()->animals.end(),
                                     [](cAnimal* a) { return a->kind->name == "zebra" && a->isLiving(); });
    patient->getSick();
    const int32_t healed = player->getAwardProgress(9);
    // Every heal is heard, even while the last one's sound still plays.
    aSound* healSound = h.game().getSoundManager()->getSound("heal");
    ASSERT_NE(healSound, nullptr);
    healSound->play();
    const int32_t earlier = healSound->getChannel();
    clickWidget("Heal");
    patient->hold();
    clickRect(patient->getScreenRect());
    EXPECT_FALSE(patient->sick);
    EXPECT_NE(healSound->getChannel(), earlier);
    EXPECT_TRUE(healSound->isPlaying());
    EXPECT_EQ(player->getAwardProgress(9), healed + 1);
    patient->freeRunning = true;
    patient->held = false;
    // Medicine given to a young zebra that is not sick is a heal as well.
    seconds(8.5f); // the medicine's cooldown
    ASSERT_TRUE(level()->spawnAnimals("zebra", true));
    cAnimal* young = level()->animals.back();
    ASSERT_TRUE(young->child && !young->sick);
    clickWidget("Heal");
    young->hold();
    clickRect(young->getScreenRect());
    EXPECT_EQ(player->getAwardProgress(9), healed + 2);
    young->freeRunning = true;
    young->held = false;
    // A poacher clicked at.
    cPoacher* hunter = level()->spawnPoacherWave("hunter");
    ASSERT_NE(hunter, nullptr);
    waitFor([hunter] { return hunter->fade >= cPoacher::kAppearedFade; }, 200 * kDt);
    const float health = hunter->health;
    clickRect(hunter->getHitRect());
    EXPECT_LT(hunter->health, health);
    // With a window open nothing moves and the clock stands still.
    h.key(A_KEY_ESCAPE);
    ASSERT_EQ(modal(), 1);
    h.frame();
    const auto where = std::pair(hunter->anchor, patient->anchor);
    const float clock = state()->getElapsed();
    seconds(5.0f);
    EXPECT_EQ(state()->getElapsed(), clock);
    EXPECT_EQ(std::pair(hunter->anchor, patient->anchor), where);
    h.key(A_KEY_ESCAPE);
    seconds(0.5f);
    EXPECT_GT(state()->getElapsed(), clock);
    // Three grown zebras sold by helicopter.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(level()->spawnAnimals("zebra", true));
        level()->animals.back()->makeGrown(false);
        level()->addForSale(level()->animals.back());
    }
    h.frame();
    reviewScreen("play_hud");
    clickWidget("Sell");
    ASSERT_TRUE(cHelicopter::getSingletonPtr()->underWay());
    waitFor([] { return !cHelicopter::getSingletonPtr()->underWay(); }, 100.0f);
    EXPECT_EQ(level()->goals[0].type == cGoal::SOLD ? level()->goals[0].progress : level()->goals[1].progress, 3);
    // The money goal wins: the goals window ticks the goals off.
    if (level()->state != 1)
        level()->addMoney(600);
    seconds(0.2f);
    ASSERT_EQ(level()->state, 1);
    EXPECT_TRUE(state()->getGoalsWindow()->isFinal());
    EXPECT_EQ(player->getLevelReward("Level01"), 2) << "won within the gold time";
    seconds(2.0f);
    reviewScreen("play_goals_final");
    // The results count the reward over and lead on to the park.
    clickChild("Goals", "Close");
    seconds(2.0f);
    ASSERT_NE(cMissionResults::get(), nullptr);
    reviewScreen("play_results");
    clickWidget("CloseBtn");
    EXPECT_TRUE(h.waitForState(STATE_PARK));
}

// An old warthog of a shipped level sold through the Sell button: it waits,
// held, for the helicopter and vanishes without a death as it is passed; the
// delivery panel slides into view, clear of the widest goals strip a shipped
// level has, a click on its map hurries the small helicopter for a moment,
// and the credit comes once, its text on the screen.
TEST_F(PlayGame, ASoldAnimalIsFlownAwayAndTheDeliveryPanelComesIntoView)
{
    ASSERT_TRUE(play("levels:Level04.ini"));
    passIntro();
    const size_t mostGoals = mostShippedGoals();
    EXPECT_GE(mostGoals, 5u) << "Level18 sets five goals";
    while (level()->goals.size() < mostGoals)
        level()->addGoal(cGoal::SOLD, "zebra", 1);
    ASSERT_TRUE(level()->spawnAnimals("warthog", true));
    cAnimal* sold = level()->animals.back();
    sold->makeGrown(false);
    sold->ageOrProduced = static_cast<float>(sold->kind->numOfProducing);
    level()->addForSale(sold);
    h.frame();
    cHelicopter* helo = cHelicopter::getSingletonPtr();
    GUI::Widget* panel = h.widget("Helo_map");
    ASSERT_NE(panel, nullptr);
    // The route map fills the panel; it is a picture only, the panel takes the clicks.
    const auto* map = dynamic_cast<const GUI::StaticImage*>(h.widget("Helo_route"));
    ASSERT_NE(map, nullptr);
    ASSERT_NE(map->GetNormalImage(), nullptr) << "the map's picture is missing";
    EXPECT_EQ(map->GetNormalImage()->getWidth(), panel->GetWidth());
    EXPECT_EQ(map->GetNormalImage()->getHeight(), panel->GetHeight());
    const auto sellGoal = std::find_if(level()->goals.begin(), level()->goals.end(),
                                       [](const cGoal& g) { return g.type == cGoal::SOLD; });
    ASSERT_NE(sellGoal, level()->goals.end());
    const cGoal& goal = *sellGoal;
    const int32_t money = level()->money, progress = goal.progress, awarded = player->getAwardProgress(0);
    clickWidget("Sell");
    ASSERT_TRUE(helo->underWay());
    aSound* clickSound = h.game().getSoundManager()->getSound("helo_click");
    ASSERT_NE(clickSound, nullptr);
    bool inLevel = true, clicked = false;
    int32_t raises = 0, last = money, panelFrames = 0, panelInView = 0, panelOverStrip = 0;
    for (int i = 0; i < 30 * 40 && helo->underWay(); ++i) {
        h.frame();
        if (inLevel && std::find(level()->animals.begin(), level()->animals.end(), sold) == level()->animals.end()) {
            inLevel = false;
            EXPECT_LT(helo->anchor.x, sold->anchor.x) << "taken once the helicopter has passed it";
            EXPECT_EQ(helo->state, cHelicopter::FLYING);
        }
        if (inLevel) {
            ASSERT_NE(sold->state, cAnimalKind::DEATH) << "frame " << i;
            aSound* death = sold->sounds[cAnimal::SND_DISAPPEAR];
            ASSERT_FALSE(death && death->isPlaying()) << "frame " << i;
        }
        raises += level()->money > last;
        last = level()->money;
        if (helo->state != cHelicopter::FLYING) {
            const aRect r = panel->GetAbsoluteRect();
            ++panelFrames;
            panelInView += r.x >= 0 && r.y >= 0 && r.x + r.width <= 1024 && r.y + r.height <= 768;
            // Sliding in and out it passes no box of the top strip.
            for (const aRect& box : topStrip())
                panelOverStrip += overlaps(r, box);
        }
        // Half-way across, the player clicks the panel: 0.1 faster, with its
        // sound, drained back to the base speed within a quarter second.
        if (!clicked && helo->state == cHelicopter::DELIVERING && helo->delivery > 0.5f) {
            clicked = true;
            EXPECT_TRUE(h.widget("Click_text")->IsVisible());
            const float base = helo->baseSpeed;
            ASSERT_FLOAT_EQ(helo->speed, base);
            clickRect(panel->GetAbsoluteRect());
            EXPECT_TRUE(helo->clicked);
            EXPECT_FLOAT_EQ(helo->speed, base + 0.1f);
            EXPECT_TRUE(clickSound->isPlaying());
            reviewScreen("play_delivery");
            seconds(0.3f);
            EXPECT_FLOAT_EQ(helo->speed, base);
        }
    }
    ASSERT_FALSE(helo->underWay());
    EXPECT_FALSE(inLevel) << "the sold warthog left the park";
    EXPECT_TRUE(clicked);
    EXPECT_GE(panelInView * 10, panelFrames * 9) << panelInView << " of " << panelFrames << " frames in view";
    EXPECT_EQ(panelOverStrip, 0) << "frames the delivery panel passed over or under the goals or the timers";
    // Credited once: the money, the goal, the award; the gain flies up on the screen.
    EXPECT_EQ(raises, 1);
    EXPECT_GT(level()->money, money);
    EXPECT_EQ(goal.progress, progress + 1);
    EXPECT_EQ(player->getAwardProgress(0), awarded + 1);
    const std::wstring gain = h.game().formatMoneyGain(level()->money - money);
    const auto text = std::find_if(cFlyAwayText::live().begin(), cFlyAwayText::live().end(),
                                   [&gain](const cFlyAwayText* t) { return t->text == gain; });
    ASSERT_NE(text, cFlyAwayText::live().end());
    const aVector2 at = (*text)->position;
    EXPECT_TRUE(at.x > 0.0f && at.x < 1024.0f && at.y > 0.0f && at.y < 768.0f) << at.x << ", " << at.y;
}

TEST_F(PlayGame, RefusalsRefundsWindowsAndRewardsThatNeverCountTwice)
{
    player->setUpgradeStage(2, 1); // the in-level food upgrades are offered
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    const cFood* grass = cFood::findKind(0, 1);
    ASSERT_NE(grass, nullptr);
    // Short of money: refused with a sign over the money and the hint, once per player.
    level()->setMoney(0);
    clickWidget("Grass");
    EXPECT_EQ(state()->getCursorMode(), cPlayState::MODE_NONE);
    EXPECT_TRUE(player->tipsMask & 0x400);
    EXPECT_EQ(cTutorialTooltip::all().size(), 1u);
    seconds(3.5f);
    clickWidget("Grass");
    EXPECT_TRUE(cTutorialTooltip::all().empty() || !cTutorialTooltip::anyActive()) << "the hint is not shown twice";
    // Buying up to the stock, then the refund of every held portion, which earns nothing.
    level()->setMoney(1000);
    for (int i = 0; i < grass->countInStock + 1; ++i)
        clickWidget("Grass");
    EXPECT_EQ(state()->getPortions(), grass->countInStock) << "no more than the stock is held";
    EXPECT_EQ(level()->money, 1000 - grass->cost * grass->countInStock / grass->countOnClick);
    const int32_t earned = player->getAwardProgress(6);
    h.moveTo(250, 560);
    rightClick();
    EXPECT_EQ(level()->money, 1000);
    EXPECT_EQ(player->getAwardProgress(6), earned);
    // Portions bought before the grass upgrade come back at what they cost, not at the dearer grass's price.
    for (int i = 0; i < grass->countInStock; ++i)
        clickWidget("Grass");
    const int32_t paid = 1000 - level()->money;
    clickWidget("Grass_upgrade");
    const int32_t upgraded = level()->money;
    ASSERT_LT(upgraded, 1000 - paid) << "the upgrade was bought";
    h.moveTo(250, 560);
    rightClick();
    EXPECT_EQ(level()->money, upgraded + paid);
    // The goals window shown again while open, and the menu opened twice, count once.
    state()->getGoalsWindow()->show(1.0f, false, false);
    state()->getGoalsWindow()->show(1.0f, false, false);
    EXPECT_EQ(modal(), 1);
    seconds(1.5f);
    reviewScreen("play_goals_progress"); // as the HUD's goals button opens it
    h.key(A_KEY_ESCAPE);
    seconds(1.0f);
    EXPECT_FALSE(state()->getGoalsWindow()->isVisible()) << "Escape closes the goals window first";
    EXPECT_EQ(modal(), 0);
    clickWidget("Menu");
    state()->openIngameMenu();
    EXPECT_EQ(modal(), 1);
    clickChild("IngameMenu", "Close");
    seconds(0.5f);
    EXPECT_EQ(modal(), 0);
    // A replay at silver pace keeps an earlier gold; the larger of reward and money is paid.
    player->setLevelReward("Level01", 2);
    level()->rewards.goldTime = 0;
    level()->setMoney(50);
    const int32_t before = player->stars;
    EXPECT_EQ(state()->grantLevelReward(), level()->rewards.silverReward);
    EXPECT_EQ(player->stars, before + level()->rewards.silverReward);
    EXPECT_EQ(player->getLevelReward("Level01"), 2);
    level()->setMoney(level()->rewards.silverReward + 1);
    EXPECT_EQ(state()->grantLevelReward(), level()->rewards.silverReward + 1);
    // A total at the top of its range (as a profile file may hold it) stays there.
    const int32_t stars = player->stars;
    player->stars = INT32_MAX - 5;
    state()->grantLevelReward();
    EXPECT_EQ(player->stars, INT32_MAX);
    player->stars = stars;
    // A restart builds the level again in place, with its background, and the intro runs again.
    cPlayState::requestRestart();
    h.frame();
    ASSERT_NE(level(), nullptr);
    EXPECT_NE(g_levelBackground, nullptr);
    EXPECT_EQ(state()->getElapsed(), 0.0f);
    EXPECT_EQ(level()->money, 90);
    passIntro();
    // A gold reward above the money left is added once: the results count it up without paying it again.
    level()->setMoney(120);
    const int32_t starsBefore = player->stars;
    level()->state = 1;
    seconds(0.2f);
    EXPECT_EQ(player->stars, starsBefore + 500);
    seconds(2.5f);
    clickChild("Goals", "Close");
    seconds(2.0f);
    ASSERT_NE(cMissionResults::get(), nullptr);
    EXPECT_EQ(h.text("PlayerValue"), std::to_wstring(starsBefore + 500) + L"$");
    EXPECT_EQ(player->stars, starsBefore + 500);
    // A replay of the level won with gold, this time after the silver time:
    // the goals window offers the reward without a medal, the results count
    // up that reward (not the gold one) from the total the player had.
    cPlayState::requestRestart();
    h.frame();
    passIntro();
    level()->rewards.goldTime = level()->rewards.silverTime = 0;
    level()->setMoney(10);
    const int32_t starsOfReplay = player->stars, baseReward = level()->rewards.baseReward;
    for (cGoal& goal : level()->goals) {
        goal.progress = goal.target;
        goal.done = true;
    }
    level()->state = 1;
    seconds(0.2f);
    EXPECT_EQ(player->stars, starsOfReplay + baseReward);
    seconds(2.5f);
    reviewScreen("play_goals_reward");
    clickChild("Goals", "Close");
    ASSERT_NE(cMissionResults::get(), nullptr);
    EXPECT_EQ(cMissionResults::get()->timeReward, baseReward);
    EXPECT_EQ(cMissionResults::get()->playerBefore, starsOfReplay);
    seconds(2.0f);
    EXPECT_EQ(h.text("PlayerValue"), std::to_wstring(starsOfReplay + baseReward) + L"$");
    EXPECT_EQ(player->getLevelReward("Level01"), 2) << "the gold stays on the record";
}

// Park clicks: every refusal is heard, and food left on the pointer comes back
// at exactly what its portions cost, in whole coins.
TEST_F(PlayGame, EveryRefusalIsHeardAndHeldFoodComesBackAtWhatItCost)
{
    player->tipsMask |= 0xC00; // the no-money and no-food hints were seen
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    ASSERT_EQ(level()->walkableAt(250, 560), 0);
    aSound* refusal = h.game().getSoundManager()->getSound("RESTRICTION");
    ASSERT_NE(refusal, nullptr);
    for (int i = 0; i < 2; ++i) {
        const int32_t earlier = refusal->getChannel();
        h.click(250, 560); // no tool: grass needs the Grass button first
        EXPECT_NE(refusal->getChannel(), earlier) << "refusal " << i << " played anew";
    }

    // Grass at 2 coins for three portions, bought twice and three put down:
    // the three held cost 2, with no coin lost to rounding on the way.
    cFood* grass = cFood::findKind(0, 1);
    ASSERT_NE(grass, nullptr);
    const auto shipped = std::tuple(grass->cost, grass->countOnClick, grass->countInStock);
    grass->cost = 2;
    grass->countOnClick = 3;
    grass->countInStock = 6;
    level()->setMoney(1000);
    clickWidget("Grass");
    clickWidget("Grass");
    ASSERT_EQ(state()->getPortions(), 6);
    const size_t foods = level()->foods.size();
    for (int x : {250, 290, 330}) {
        ASSERT_EQ(level()->walkableAt(x, 560), 0);
        h.click(x, 560);
    }
    ASSERT_EQ(level()->foods.size(), foods + 3);
    ASSERT_EQ(state()->getPortions(), 3);
    rightClick();
    EXPECT_EQ(level()->money, 998);
    // A third of a coin held is no coin; what was never paid is never paid back.
    clickWidget("Grass");
    for (int x : {270, 310}) {
        ASSERT_EQ(level()->walkableAt(x, 560), 0);
        h.click(x, 560);
    }
    ASSERT_EQ(state()->getPortions(), 1);
    rightClick();
    EXPECT_EQ(level()->money, 996);
    std::tie(grass->cost, grass->countOnClick, grass->countInStock) = shipped;
}

// The goals window's rows as the recording device saw them drawn.
class GoalsRows : public PlayStateGame {
protected:
    GoalsRows() : PlayStateGame(true) {}

    struct Drawn {
        float x, y, scale, right; // where, at what size, and its right edge
        uint32_t srcX, srcY;
    };
    // One frame's sprites: the "goals" sheet's cells and the text glyphs (drawn scaled down).
    void frame(std::vector<Drawn>& cells, std::vector<Drawn>& glyphs)
    {
        const aImage* sheet = h.game().getImageManager()->getImage("goals");
        ASSERT_TRUE(sheet && sheet->getRecord());
        const void* sheetTexture = sheet->getRecord()->surfaces[aImage::SURFACE_PLAIN].texture.get();
        h.recorder()->clearRecords();
        h.frame();
        for (const aGpuRecord& r : h.recorder()->records(aGpuCall::SpriteDraw)) {
            const Drawn d{r.f[5], r.f[6], r.f[0], r.f[5] + static_cast<float>(r.u[2] - r.u[0]) * r.f[0],
                          r.u[0], r.u[1]};
            if (r.object == sheetTexture)
                cells.push_back(d);
            else if (r.f[0] < 0.99f)
                glyphs.push_back(d);
        }
    }
    // The glyphs drawn in the band of a cell, from `from` to `to` pixels right of its left.
    static std::vector<Drawn> within(const std::vector<Drawn>& glyphs, const Drawn& cell, float from, float to)
    {
        std::vector<Drawn> in;
        for (const Drawn& g : glyphs)
            if (g.x >= cell.x + from && g.x < cell.x + to && g.y >= cell.y - 4.0f && g.y < cell.y + 35.0f)
                in.push_back(g);
        return in;
    }
};

// A name wider than its cell is fitted to it, clear of the kind's icon; the
// medal rows' labels start 22 pixels into their cell.
TEST_F(GoalsRows, NamesFitTheirCellAndMedalLabelsStandBesideTheMedal)
{
    ASSERT_TRUE(play(kFencedPark));
    const auto animalGoal = std::find_if(level()->goals.begin(), level()->goals.end(),
                                         [](const cGoal& g) { return g.type != cGoal::MONEY; });
    ASSERT_NE(animalGoal, level()->goals.end());
    animalGoal->kindName = "hippo"; // "Hippopotamus", wider than its cell at the font's own size
    seconds(2.0f);
    ASSERT_EQ(state()->getGoalsWindow()->getAlpha(), 1.0f) << "the intro window has slid in";
    std::vector<Drawn> cells, glyphs;
    ASSERT_NO_FATAL_FAILURE(frame(cells, glyphs));

    aFont* font = GUI::Server::getSingletonPtr()->GetFont("mistral24");
    ASSERT_NE(font, nullptr);
    font->setSize(1.0f);
    const float wide = font->getTextSize(h.game().getText("hippo")).width;
    ASSERT_GT(wide, cGoalsWindow::kCellWidth);
    std::vector<Drawn> nameCells, medalCells;
    for (const Drawn& c : cells) {
        if (c.srcY == 321 && c.srcX == 0)
            nameCells.push_back(c);
        else if (c.srcY == 356)
            medalCells.push_back(c);
    }
    ASSERT_EQ(nameCells.size(), level()->goals.size());
    const Drawn& row = nameCells[static_cast<size_t>(animalGoal - level()->goals.begin())];
    const std::vector<Drawn> name = within(glyphs, row, 0.0f, 128.0f);
    ASSERT_EQ(name.size(), 12u) << "Hippopotamus";
    for (const Drawn& g : name)
        EXPECT_FLOAT_EQ(g.scale, 0.7f * cGoalsWindow::kCellWidth / wide);
    EXPECT_EQ(name.front().x, row.x + cGoalsWindow::kNameX) << "clear of the icon";
    EXPECT_LE(name.back().right, row.x + cGoalsWindow::kCellWidth) << "inside its cell";
    // A name that fits keeps the size of every other text of the rows.
    for (const Drawn& g : within(glyphs, nameCells[animalGoal == level()->goals.begin() ? 1 : 0], 0.0f, 128.0f))
        EXPECT_FLOAT_EQ(g.scale, 0.7f);

    ASSERT_EQ(medalCells.size(), 2u) << "gold and silver";
    for (const Drawn& medal : medalCells) {
        const std::vector<Drawn> label = within(glyphs, medal, 0.0f, 186.0f);
        ASSERT_FALSE(label.empty());
        EXPECT_EQ(label.front().x, medal.x + 22.0f) << "medal cell " << medal.srcX;
        EXPECT_EQ(label.front().scale, 0.7f);
    }
}

// The window is 47 x goals + 345 high in every mode; the final window's three
// medal rows (gold, silver, then the reward without a medal) and their values
// lie inside it, clear of Close.
TEST_F(GoalsRows, TheWindowKeepsItsHeightInEveryModeAndTheFinalRowsFitInIt)
{
    ASSERT_TRUE(play(kFencedPark));
    seconds(2.0f);
    const GUI::Widget* window = h.widget("Goals");
    const auto goals = static_cast<int32_t>(level()->goals.size());
    const int32_t height = 47 * goals + 345;
    EXPECT_EQ(window->GetHeight(), height) << "intro";
    clickChild("Goals", "Close");
    seconds(0.8f);
    clickWidget("ShowGoals");
    seconds(2.0f);
    EXPECT_EQ(window->GetHeight(), height) << "from the HUD";
    clickChild("Goals", "Close");
    seconds(0.8f);
    for (cGoal& goal : level()->goals) {
        goal.progress = goal.target;
        goal.done = true;
    }
    level()->state = 1; // won well inside the gold time
    seconds(0.5f * static_cast<float>(goals + 1) + 1.5f);
    ASSERT_TRUE(state()->getGoalsWindow()->isFinal());
    EXPECT_EQ(window->GetHeight(), height) << "final";
    std::vector<Drawn> cells, glyphs;
    ASSERT_NO_FATAL_FAILURE(frame(cells, glyphs));
    const aRect w = window->GetAbsoluteRect();
    const aRect close = window->FindChild("Close", true)->GetAbsoluteRect();
    int medalRows = 0;
    for (const Drawn& cell : cells) {
        if (cell.srcY != 356)
            continue;
        ++medalRows;
        EXPECT_TRUE(cell.x >= w.x && cell.right <= w.x + w.width && cell.y >= w.y && cell.y + 35 <= w.y + w.height)
            << "row at " << cell.y;
        if (cell.y + 35 <= close.y || cell.y >= close.y + close.height)
            continue;
        for (const Drawn& g : within(glyphs, cell, 0.0f, 400.0f))
            EXPECT_LE(g.right, close.x) << "row at " << cell.y << " under Close";
        EXPECT_LE(cell.right, close.x);
    }
    EXPECT_EQ(medalRows, 3);
}

// Everything the HUD covers, shown or hidden: the board and its tools, the buy,
// ability and food upgrade buttons over it.
void hudRects(const GUI::Widget* widget, std::vector<aRect>& out)
{
    out.push_back(widget->GetAbsoluteRect());
    for (const GUI::Widget* child : widget->GetChildren())
        hudRects(child, out);
}

// Animals walked behind the HUD, where nobody could see or click them: at any
// walkable point of a shipped level an animal, a food portion or a poacher
// stands clear of everything the HUD can show (with three buy buttons and
// every ability), and so does every coin it can drop there.
TEST_F(PlayGame, ShippedGroundsKeepAnimalsFoodAndCoinsClearOfTheHud)
{
    player->setUpgradeStage(2, 2); // the food upgrades and feeding every animal
    player->setUpgradeStage(4, 1); // collecting every coin
    ASSERT_TRUE(play("levels:River.ini"));
    h.frames(2);
    ASSERT_EQ(state()->getAnimalButtons().size(), 3u);
    std::vector<aRect> hud;
    hudRects(h.widget("HUD"), hud);
    const auto covered = [&hud](float x, float y, float reach) {
        for (const aRect& r : hud)
            if (x + reach > r.x && x - reach < r.x + r.width && y + reach > r.y && y - reach < r.y + r.height)
                return true;
        return false;
    };
    EXPECT_TRUE(covered(600.0f, 650.0f, 0.0f)) << "a buy button";
    EXPECT_TRUE(covered(50.0f, 600.0f, 0.0f)) << "an ability button";
    const std::vector<ShippedLevel> levels = shippedLevels();
    EXPECT_GE(levels.size(), 20u);
    for (const ShippedLevel& level : levels) {
        float reach = 0.0f;
        for (const std::string& name : level.walkers)
            reach = std::max(reach, creatureReach(name));
        int32_t behind = 0, firstX = 0, firstY = 0;
        for (int32_t y = 0; y < 768; y += 2)
            for (int32_t x = 0; x < 1024; x += 2)
                if (level.grid->walkableAt(x, y) != cLevel::NOT_WALKABLE && covered(x, y, reach) && !behind++)
                    firstX = x, firstY = y;
        EXPECT_EQ(behind, 0) << level.path << ": first at " << firstX << "," << firstY << " (coins up to " << reach
                             << " pixels away)";
    }
}

// Grown and young animals and a poacher at the front of the park, walking
// along its lowest ground: drawn at their full size, clear of the HUD.
TEST_F(PlayGame, AnimalsAndAPoacherAtTheFrontOfTheParkStandAboveTheHud)
{
    ASSERT_TRUE(play("levels:Level06.ini")); // warthogs and zebras on open ground, hunters
    passIntro();
    const auto frontAt = [this](float x) {
        float y = 0.0f;
        for (int32_t at = 200; at < 768; ++at)
            if (level()->walkableAt(int32_t(x), at) == cLevel::HERBIVORE)
                y = float(at);
        return aVector2(x, y);
    };
    const std::pair<const char*, bool> kinds[] = {
        {"warthog", true}, {"warthog", false}, {"zebra", true}, {"zebra", false}, {"warthog", true}};
    std::vector<cDrawElement*> front;
    float x = 200.0f;
    for (const auto& [kind, grown] : kinds) {
        ASSERT_TRUE(level()->spawnAnimal(kind, frontAt(x), true));
        cAnimal* animal = level()->animals.back();
        if (grown)
            animal->makeGrown(false);
        animal->moveTo(frontAt(x + 50.0f));
        front.push_back(animal);
        x += grown ? 150.0f : 100.0f;
    }
    cPoacher* hunter = level()->spawnPoacherWave("hunter");
    ASSERT_NE(hunter, nullptr);
    hunter->setPosition(frontAt(x + 40.0f));
    hunter->moveTo(frontAt(x - 20.0f));
    front.push_back(hunter);
    h.moveTo(512, 120);
    seconds(1.0f);
    for (cDrawElement* e : front) {
        EXPECT_EQ(cDrawElement::depthScale(e->anchor.y), 1.0f) << e->anchor.x;
        const aRect& r = e->getScreenRect();
        EXPECT_LE(r.y + r.height, 642) << "at " << e->anchor.x << "," << e->anchor.y;
    }
    reviewScreen("park_front");
    // The last warthog sick, the hunter just behind it: its whole thought bubble over him.
    auto* warthog = static_cast<cAnimal*>(front[4]);
    warthog->getSick();
    seconds(1.0f);
    EXPECT_EQ(warthog->indicator.step, cStatusIndicator::kSteps);
    hunter->setPosition(warthog->anchor + aVector2(6.0f, -24.0f));
    hunter->path.clear();
    hunter->indicator.step = 0, hunter->indicator.alpha = 0.0f; // his own bubble starts again
    h.frame();
    reviewScreen("animal_bubble_over_poacher");
}

// Grown zebras and hippos at the left edge of the hippo pool's ground, the
// whole shore down, walking along it or turned to the water: no animal, and
// no shadow, lies on the painted water.
TEST_F(PlayGame, AnimalsAtTheShoreOfTheHippoPoolStayOffTheWater)
{
    const std::string file = "levels:Level09.ini";
    ASSERT_TRUE(play(file));
    passIntro();
    const PaintedWater painted(
        decodePicture(shippedFile(iniSection(shippedFile(file), "BACKGROUND").getString("Background"))));
    ASSERT_GT(painted.total(), 0) << "the river";
    const float rows[] = {190.0f, 280.0f, 370.0f, 460.0f, 550.0f};
    std::vector<cAnimal*> shore;
    for (size_t i = 0; i < std::size(rows); ++i) {
        ASSERT_TRUE(level()->spawnAnimal(i % 2 ? "hippo" : "zebra", aVector2(600.0f, rows[i]), true));
        cAnimal* animal = level()->animals.back();
        animal->makeGrown(false);
        float x = 0.0f;
        while (x < 600.0f && !animal->canStandAt(aVector2(x, rows[i])))
            x += 1.0f;
        animal->setPosition(aVector2(x, rows[i]));
        if (i % 3 == 2)
            animal->setDirection(aVector2(-1.0f, 0.0f));
        else
            animal->moveTo(aVector2(x, rows[i] + (i % 3 ? -60.0f : 60.0f)));
        shore.push_back(animal);
    }
    h.moveTo(900, 120);
    seconds(1.0f);
    for (cAnimal* animal : shore) {
        const aRect& body = animal->getScreenRect();
        // Its shadow turns about a point 0.15 of its length above the feet.
        const float length = animal->width * animal->scale;
        const aVector2 centre = animal->anchor - aVector2(0.0f, 0.15f * length);
        EXPECT_EQ(painted.count(body.x, body.y, body.x + body.width, body.y + body.height), 0)
            << "body at " << animal->anchor.x << "," << animal->anchor.y;
        EXPECT_EQ(painted.count(int32_t(centre.x - length / 2), int32_t(centre.y - length / 2),
                                int32_t(centre.x + length / 2) + 1, int32_t(centre.y + length / 2) + 1),
                  0)
            << "shadow at " << animal->anchor.x << "," << animal->anchor.y;
    }
    reviewScreen("park_shore");
}

// Hungry grown animals at the very edge of their ground, each with grass put
// down just inside it: on the river's bank, above the HUD, beside the fence.
// Each one eats, facing its grass, and its feet stay on its own ground on the
// way and while it eats.
TEST_F(PlayGame, AnAnimalAtTheEdgeOfItsGroundEatsWithoutLeavingIt)
{
    struct Diner {
        cAnimal* animal;
        cFood* grass;
        bool ate = false;
        int offGround = 0;
    };
    std::vector<Diner> diners;
    // The first point of the kind's ground from `from` along `dir`; grass at `toGrass` from it.
    const auto dine = [this, &diners](const char* kind, aVector2 from, aVector2 dir, aVector2 toGrass) {
        ASSERT_TRUE(level()->spawnAnimal(kind, aVector2(512.0f, 400.0f), true)) << kind;
        cAnimal* animal = level()->animals.back();
        animal->makeGrown(false);
        // Its size depends on how far up the screen it stands.
        for (int i = 0; i < 1024 && (animal->setPosition(from), !animal->canStandAt(from)); ++i)
            from = from + dir;
        ASSERT_TRUE(animal->canStandAt(from)) << kind;
        animal->hunger = animal->kind->criticalHungerLevel + 1.0f;
        ASSERT_TRUE(level()->placeFood(cFood::GRASS, 1, from + toGrass));
        diners.push_back({animal, level()->foods.back()});
    };
    const auto eat = [this, &diners] {
        h.moveTo(900, 120);
        for (int frame = 0; frame < 30 * 20; ++frame) {
            h.frame();
            bool done = true;
            for (Diner& d : diners) {
                cAnimal* a = d.animal;
                if (a->foodTarget == d.grass) {
                    // Two pixels' give on each side for the rounding of its size and position.
                    const bool onGround =
                        level()->canStandAt(a->kind->foodType, int32_t(a->width * a->scale) - 4, int32_t(a->anchor.x),
                                            int32_t(a->anchor.y), a->kind->liveInWater);
                    if (!onGround && !d.offGround++)
                        ADD_FAILURE() << a->kind->name << " for grass at " << d.grass->anchor.x << ","
                                      << d.grass->anchor.y << " off its ground at " << a->anchor.x << ","
                                      << a->anchor.y;
                    if (a->state == cAnimalKind::EAT && !d.ate) {
                        d.ate = true;
                        const bool sideways = a->direction != cAnimal::UP && a->direction != cAnimal::DOWN;
                        EXPECT_TRUE(!sideways || a->mirrored == (d.grass->anchor.x < a->anchor.x))
                            << a->kind->name << " at " << a->anchor.x << " faces away from its grass";
                    }
                }
                done = done && d.ate && a->foodTarget != d.grass;
            }
            if (done)
                break;
        }
        for (const Diner& d : diners)
            EXPECT_TRUE(d.ate) << d.animal->kind->name << " for grass at " << d.grass->anchor.x << ","
                               << d.grass->anchor.y;
        diners.clear();
    };

    ASSERT_TRUE(play("levels:Level12.ini")); // the hippo pool's river, rhinos and zebras
    passIntro();
    const aVector2 right(1.0f, 0.0f), left(-1.0f, 0.0f), up(0.0f, -1.0f);
    dine("zebra", {0.0f, 330.0f}, right, {24.0f, 0.0f});
    dine("rhino", {0.0f, 400.0f}, right, {24.0f, 0.0f});
    dine("zebra", {0.0f, 470.0f}, right, {16.0f, -16.0f});
    dine("rhino", {0.0f, 540.0f}, right, {16.0f, 16.0f});
    eat();

    restart("levels:Level15.ini"); // rhinos beside the cheetahs' fence
    dine("zebra", {400.0f, 767.0f}, up, {0.0f, -24.0f});
    dine("rhino", {520.0f, 767.0f}, up, {16.0f, -16.0f});
    dine("rhino", {1023.0f, 380.0f}, left, {-24.0f, 0.0f});
    dine("zebra", {1023.0f, 450.0f}, left, {-16.0f, 16.0f});
    eat();
}

// The menu's Options opens over the menu, as the layout orders them; it is no
// modal window of its own: the menu under it holds the level. Ok, Cancel and
// Escape each close it back to the menu.
TEST_F(PlayGame, TheMenusOptionsOpenOnTopHoldTheLevelAndCloseBackToTheMenu)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    h.tap(A_KEY_ESCAPE); // a quick tap opens the menu
    seconds(0.5f);
    ASSERT_TRUE(h.widget("IngameMenu")->IsVisible());
    const float clock = state()->getElapsed();
    const GUI::Widget* options = h.widget("Options_win");
    for (const char* way : {"Ok", "Escape", "Cancel"}) {
        clickChild("IngameMenu", "Options");
        seconds(0.5f);
        ASSERT_TRUE(options->IsVisible()) << way;
        EXPECT_EQ(modal(), 1) << way;
        if (std::string(way) == "Ok")
            reviewScreen("play_options");
        // Resume lies under the window: a click there stays in the options.
        clickChild("IngameMenu", "Close");
        seconds(0.5f);
        EXPECT_TRUE(h.widget("IngameMenu")->IsVisible()) << way;
        if (std::string(way) == "Escape")
            h.tap(A_KEY_ESCAPE);
        else
            clickChild("Options_win", way);
        seconds(0.5f);
        EXPECT_FALSE(options->IsVisible()) << way;
        EXPECT_TRUE(h.widget("IngameMenu")->IsVisible()) << way;
        EXPECT_EQ(modal(), 1) << way;
    }
    EXPECT_EQ(state()->getElapsed(), clock) << "the level stood still all along";
    h.tap(A_KEY_ESCAPE);
    seconds(0.5f);
    EXPECT_EQ(modal(), 0);
    EXPECT_GT(state()->getElapsed(), clock);
}

// What could be taken for something else: the helicopter's free seat in the
// screen's corner sits on the Sell button's tag (no resize grip), and the
// question about leaving for the main menu is not titled like quitting.
TEST_F(PlayGame, TheSeatsInTheCornerAndTheLeaveQuestionReadAsWhatTheyAre)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    h.frame();
    reviewScreen("play_hud_corner");
    const std::vector<uint32_t> shot = h.screenshot();
    ASSERT_EQ(shot.size(), 1024u * 768u);
    const aRect sell = h.widget("Sell")->GetAbsoluteRect();
    const aRect seat(static_cast<int16_t>(sell.x + 52 + 16), static_cast<int16_t>(sell.y + 77), 13, 14);
    auto light = [&](int x, int y) {
        const uint32_t c = shot[static_cast<size_t>(y) * 1024 + static_cast<size_t>(x)];
        return ((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF)) / 3 > 180;
    };
    const int midY = seat.y + seat.height / 2;
    for (const int x : {seat.x - 3, seat.x + seat.width + 2})
        EXPECT_TRUE(light(x, midY)) << "beside the seat at " << x << "," << midY;
    h.tap(A_KEY_ESCAPE);
    seconds(0.5f);
    clickChild("IngameMenu", "MainMenu");
    seconds(0.5f);
    ASSERT_TRUE(h.widget("MessageBox")->IsVisible());
    EXPECT_NE(h.text("Caption"), h.game().getText("quit")) << "titled like the Quit button";
    EXPECT_EQ(h.text("MessageText"), h.game().getText("quit_to_menu"));
}

// A hand that jumps and presses in one frame acts where it presses: from the
// Grass button onto the park the grass goes down there; from the park onto
// Menu the menu opens and the park takes no click.
TEST_F(PlayGame, APressInTheFrameThePointerJumpsActsWhereItHappens)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    clickWidget("Grass");
    ASSERT_EQ(state()->getCursorMode(), cPlayState::MODE_GRASS);
    const size_t foods = level()->foods.size();
    h.press(250, 560);
    h.release(250, 560);
    EXPECT_EQ(level()->foods.size(), foods + 1) << "from the Grass button onto the park";
    clickWidget("Grass");
    h.moveTo(300, 560);
    const aPoint menu = h.centreOf("Menu");
    h.press(menu.x, menu.y);
    h.release(menu.x, menu.y);
    EXPECT_TRUE(h.widget("IngameMenu")->IsVisible()) << "from the park onto Menu";
    EXPECT_EQ(level()->foods.size(), foods + 1) << "the park took the press on Menu";
}

// No level ends on the clock: past both medal times a level plays on, and no
// help, loading tip or tutorial text claims a time limit or something else
// the park does not do (animals do not breed; a sale's price does not depend
// on the animal).
TEST_F(PlayGame, ALevelPlaysOnPastItsMedalTimesAndItsTextsSaySo)
{
    std::string text = readFile(kFencedPark);
    for (const auto& [from, to] : {std::pair{"GoldTime=300", "GoldTime=1"}, {"SilverTime=480", "SilverTime=2"}}) {
        ASSERT_NE(text.find(from), std::string::npos) << from;
        text.replace(text.find(from), std::string(from).size(), to);
    }
    writeFile(dir.file("Quick.ini"), text);
    ASSERT_TRUE(play(dir.file("Quick.ini")));
    passIntro();
    seconds(4.0f);
    EXPECT_GT(state()->getElapsed(), 3.0f);
    EXPECT_EQ(level()->state, 0) << "the level ended on the clock";

    std::vector<std::string> keys = {"help.feed",    "help.produce", "help.coins", "help.sick",
                                     "help.poacher", "help.sell",    "help.goals"};
    for (int i = 0; i < 18; ++i) {
        if (i < 10)
            keys.push_back("tip.loading0" + std::to_string(i));
        keys.push_back((i < 10 ? "tutorial.msg0" : "tutorial.msg") + std::to_string(i));
    }
    for (const std::string& key : keys) {
        std::string line;
        for (const wchar_t c : h.game().getText(key))
            line += static_cast<char>(c < 128 ? std::tolower(static_cast<int>(c)) : '?');
        for (const char* untrue : {"time runs out", "before the time", "time limit", "have young", "best price"})
            EXPECT_EQ(line.find(untrue), std::string::npos) << key << ": " << line;
    }
    // What a player could take otherwise is said where it shows: an animal goal
    // counts sales, a win pays the larger amount, and one build per won level.
    const auto says = [this](const std::string& key, const std::wstring& words) {
        std::wstring text = h.game().getText(key);
        std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
        EXPECT_NE(text.find(words), std::wstring::npos) << key;
    };
    for (const char* key : {"goals_note", "help.goals"})
        says(key, L"animals you sell");
    for (const char* key : {"results_rule", "help.rewards"})
        says(key, L"larger");
    for (const char* key : {"help.park", "tip.park_detail", "park_rule"})
        says(key, L"one new stage after each level you win");
    EXPECT_EQ(h.text("GoalsNote"), h.game().getText("goals_note"));
    EXPECT_EQ(h.text("ResultsRule"), h.game().getText("results_rule"));
}

// A level left with the hand on a HUD button: its GUI went without the
// button's leave, and the next level's park still takes the player's clicks.
TEST_F(PlayGame, TheNextLevelTakesParkClicksAfterOneLeftWithTheHandOnTheHud)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    const aRect grass = h.widget("Grass")->GetAbsoluteRect();
    h.moveTo(grass.x + grass.width / 2, grass.y + grass.height / 2);
    h.frames(2);
    h.game().requestState(STATE_MENU);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    cBonus* coin = cBonus::dropNear(level(), aVector2(400.0f, 450.0f), 0.0f, 0, 10);
    ASSERT_NE(coin, nullptr);
    ASSERT_TRUE(waitFor([coin] { return coin->landed; }, 3.0f));
    const int32_t money = level()->money;
    clickRect(coin->getScreenRect());
    EXPECT_TRUE(coin->collected) << "the park ignores clicks, as if the hand were still over the HUD";
    seconds(2.0f);
    EXPECT_EQ(level()->money, money + 10);
}

// A lost level whose box cannot be shown (no "MessageBox" in the layout)
// plays its sound once and logs it, instead of again at every frame.
TEST_F(PlayGame, ALossWithoutItsBoxIsToldOnce)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    GUI::Widget* box = h.widget("MessageBox");
    GUI::Widget* parent = box->GetParent();
    parent->RemoveChild(box);
    aSound* lost = h.game().getSoundManager()->getSound("loose_level");
    ASSERT_NE(lost, nullptr);
    level()->state = -1;
    h.frame();
    EXPECT_TRUE(lost->isPlaying());
    lost->stop();
    seconds(0.5f);
    EXPECT_FALSE(lost->isPlaying()) << "the loss sound starts again";
    const auto lines = h.log();
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(),
                      [](const std::string& l) { return l.find("message box cannot be shown") != std::string::npos; }),
        1);
    parent->AddChild(box);
    // The menu still leads on.
    clickWidget("Menu");
    EXPECT_TRUE(h.widget("IngameMenu")->IsVisible());
}

TEST_F(PlayGame, ALevelThatCannotLoadGoesBackToTheMapWithAMessage)
{
    writeFile(dir.file("Broken.ini"), "[DATA]\nWalkableMask=levels:missing.png\n");
    ASSERT_TRUE(play(dir.file("Broken.ini")));
    EXPECT_EQ(level(), nullptr);
    h.frame();
    ASSERT_TRUE(h.widget("MessageBox")->IsVisible());
    h.frames(20);
    clickWidget("OkBtn");
    EXPECT_TRUE(h.waitForState(STATE_MAP));
    EXPECT_FALSE(state()->isInitiated());
    // A restart into a level that no longer loads fails once, tells it, and goes to the map.
    const auto failures = [this] {
        const auto lines = h.log();
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string& l) { return l.find("did not load") != std::string::npos; });
    };
    const auto before = failures();
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    state()->levelPath = dir.file("Broken.ini");
    cPlayState::requestRestart();
    h.frames(10);
    EXPECT_EQ(failures(), before + 1);
    ASSERT_TRUE(h.widget("MessageBox")->IsVisible());
    clickWidget("OkBtn");
    EXPECT_TRUE(h.waitForState(STATE_MAP));
}

TEST_F(PlayGame, AWinWithNoGoalsWindowToHoldItIsCheeredAndPaidOnce)
{
    // A layout without the goals window: nothing modal stops the won level's frames.
    namespace fs = std::filesystem;
    const std::string gui = dir.file("gui");
    fs::copy(shippedData() + "GUI", gui, fs::copy_options::recursive);
    std::string layout = readFile(gui + "/play.agui");
    const size_t from = layout.find("window Goals\n"), to = layout.find("\n}\n", from);
    ASSERT_NE(to, std::string::npos);
    layout.erase(from, to + 3 - from);
    writeFile(gui + "/play.agui", layout);
    h.game().getFileServer().setAssign("gui", gui);
    ASSERT_TRUE(play(kFencedPark));
    seconds(1.3f);
    ASSERT_EQ(state()->getGoalsWindow(), nullptr);
    aSound* cheer = h.game().getSoundManager()->getSound("win_level");
    ASSERT_NE(cheer, nullptr);
    const int32_t stars = player->stars;
    level()->state = 1;
    h.frame();
    const int32_t channel = cheer->getChannel();
    const int32_t paid = player->stars;
    EXPECT_GT(paid, stars);
    seconds(0.5f);
    EXPECT_EQ(cheer->getChannel(), channel) << "the cheer started again";
    EXPECT_EQ(player->stars, paid);
}

// A hunter arriving in a shipped level thinks of his target in his own
// colour. One click while he walks up to it does not let him shoot from where
// he stands: he takes his shot from close by, then leaves in his time.
TEST_F(PlayGame, AHunterHitOnHisWayShootsFromCloseByThenLeaves)
{
    ASSERT_TRUE(play("levels:Level04.ini"));
    passIntro();
    level()->wavesLeft = 0; // no other hunter comes to take his place in the pool
    cPoacher* hunter = level()->spawnPoacherWave("hunter");
    ASSERT_NE(hunter, nullptr);
    // He comes in where his ground, well inside the screen, is farthest from its animals: a long walk.
    aVector2 farthest;
    float most = 0.0f;
    for (int32_t y = 250; y < 600; y += 8)
        for (int32_t x = 100; x < 924; x += 8) {
            if (level()->walkableAt(x, y) != hunter->area)
                continue;
            float nearest = 1.0e9f;
            for (const cAnimal* a : level()->animals)
                if (a->kind->foodType == hunter->area)
                    nearest = std::min(nearest, (a->anchor - aVector2(float(x), float(y))).length());
            if (nearest > most)
                most = nearest, farthest = aVector2(float(x), float(y));
        }
    hunter->setPosition(farthest);
    hunter->path.clear();
    const auto distance = [hunter](const cAnimal* a) { return (a->anchor - hunter->anchor).length(); };
    const float approach = std::sqrt(cPoacher::kShootDistanceSq);
    const cStatusIndicator& bubble = hunter->indicator;
    ASSERT_TRUE(waitFor([&] { return bubble.step == cStatusIndicator::kSteps && bubble.alpha >= 1.0f; }, 2.0f));
    reviewScreen("poacher_bubble");
    const std::vector<uint32_t> shot = h.screenshot();
    ASSERT_EQ(shot.size(), 1024u * 768u);
    // The bubble's body beside the icon: his colour, the ground beside the bubble showing a little through
    // its paper.
    const auto pixel = [&shot](int32_t x, int32_t y) { return shot[static_cast<size_t>(y) * 1024 + x]; };
    const auto apart = [](uint32_t a, uint32_t b) {
        int32_t sum = 0;
        for (int c = 0; c < 24; c += 8)
            sum += std::abs(int32_t(a >> c & 0xFF) - int32_t(b >> c & 0xFF));
        return sum;
    };
    const uint32_t body = pixel(bubble.x - 24, bubble.y - 44), ground = pixel(bubble.x - 44, bubble.y - 44);
    EXPECT_LT(apart(body, cPoacher::kIndicatorColour), apart(body, ground))
        << std::hex << "0x" << body << " over 0x" << ground;

    ASSERT_NE(hunter->target, nullptr);
    ASSERT_GE(distance(hunter->target), approach) << "still on his way";
    const float health = hunter->health;
    float shotFrom = -1.0f; // where his last shot began
    const cAnimal* aim = nullptr;
    int32_t kills = 0;
    const auto here = [this, hunter] {
        return std::find(level()->poachers.begin(), level()->poachers.end(), hunter) != level()->poachers.end();
    };
    // One frame of play, his shots watched.
    const auto watched = [&](const std::function<void()>& frame) {
        const int32_t was = hunter->state;
        frame();
        if (!here())
            return;
        if (hunter->state == cPoacher::SHOOT && was != cPoacher::SHOOT)
            shotFrom = hunter->target ? distance(hunter->target) : -1.0f;
        if (hunter->kills != kills) {
            kills = hunter->kills;
            EXPECT_TRUE(shotFrom >= 0.0f && shotFrom < approach)
                << "a shot begun " << shotFrom << " px away killed from " << (aim ? distance(aim) : -1.0f) << " px";
        }
        aim = hunter->target;
    };
    const aRect r = hunter->getHitRect();
    const int32_t x = r.x + r.width / 2, y = r.y + r.height / 2;
    watched([&] { h.moveTo(x, y); });
    watched([&] { h.press(x, y); });
    watched([&] { h.release(x, y); });
    ASSERT_LT(hunter->health, health);
    watched([&] { h.moveTo(x + 300, y); });
    // Walking across the park at his pace, one shot, his fade.
    const float hisTime = 1024.0f / hunter->kind->moveSpeed + 5.0f;
    for (float t = 0.0f; t < hisTime && here(); t += kDt)
        watched([&] { h.frame(); });
    EXPECT_EQ(kills, 1);
    EXPECT_FALSE(here()) << "still in the park after " << hisTime << " s";
}

} // namespace
} // namespace kbtest
