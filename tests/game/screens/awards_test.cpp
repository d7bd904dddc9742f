// Award progress, the awards screen and the new-award window in the running
// game, and the award files and indices a damaged profile or folder could hold.
#include <algorithm>
#include <memory>
#include <set>
#include <utility>

#include "game/app/messagebox.h"
#include "game/app/simpletooltip.h"
#include "game/screens/awardprogress.h"
#include "game/screens/screens_fixture.h"
#include "game/support/player_steps.h"
#include "gui/statictext.h"
#include "gui/widget.h"
#include "gui/widgetfactory.h"
#include "orvo/app/a_keys.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

using namespace kbtest;

using Awards = ScreensGame;

TEST_F(Awards, TheScreenShowsEarnedAwardsTooltipsWithWhatIsLeftAndSparklesNewOnes)
{
    player->setAwardProgress(AWARD_ZEBRAS_SOLD, 3, false);
    player->setAwardProgress(AWARD_WARTHOGS_SOLD, 12, false); // past its goal
    player->setAwardProgress(AWARD_HIPPOS_SOLD, 8, false);
    player->setAwardProgress(AWARD_ANIMALS_HEALED, 50, false);
    player->setAwardProgress(AWARD_AWARDS_EARNED, 3, false);
    // Indices a damaged file could hold are passed over.
    player->newAwards = {AWARD_HIPPOS_SOLD, AWARD_ANIMALS_HEALED, 99, -4};
    ASSERT_TRUE(enter(STATE_AWARDS));
    const size_t before = h.game().getParticles()->getLiveSystems().size();
    const auto hover = [this](int32_t index) {
        const cAward* a = awards()->getAward(index);
        h.moveTo(a->x + a->width() / 2, a->y + a->height() / 2);
        return cSimpleTooltip::get() ? cSimpleTooltip::get()->getTextWindow()->GetText() : L"";
    };
    EXPECT_EQ(hover(AWARD_ZEBRAS_SOLD), L"Sell 10 zebras (7 left)");
    h.moveTo(5, 5);
    h.frames(64); // past the fade-in
    EXPECT_EQ(h.game().getParticles()->getLiveSystems().size(), before + 2) << "the new ones sparkle once";
    hover(AWARD_ZEBRAS_SOLD);
    seconds(0.8f);
    h.expectScreen("awards_screen");

    h.key(A_KEY_ESCAPE);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    EXPECT_TRUE(player->newAwards.empty() && !cSimpleTooltip::get()) << "seen now; the tooltip went with the screen";
}

TEST_F(Awards, EachEarnedAwardIsAnnouncedOnceQueuedBehindTheOneShown)
{
    player->setAwardProgress(AWARD_ZEBRAS_SOLD, 9, false);
    player->setAwardProgress(AWARD_LIONS_SOLD, 4, false);
    ASSERT_TRUE(enter(STATE_AWARDS));
    award_animalSold("zebra");
    award_animalSold("lion");
    award_animalSold("zebra"); // past the goal: nothing more to announce
    EXPECT_TRUE(cNewAwardWindow::queued() == 1u && h.game().getCurrentState()->getModalCount() == 1) << "lions wait";
    EXPECT_EQ(player->newAwards, (std::vector<int32_t>{AWARD_ZEBRAS_SOLD, AWARD_LIONS_SOLD}));
    seconds(1.0f);
    h.expectScreen("new_award_window");
    seconds(1.5f);
    clickOn(h, "NewAward");
    seconds(0.3f);
    EXPECT_EQ(h.text("Description"), L"Sell 5 lions") << "the next one followed";
}

TEST_F(Awards, TheWindowNeverOutlivesItsScreen)
{
    player->setAwardProgress(AWARD_HIPPOS_SOLD, 7, false);
    player->setAwardProgress(AWARD_RHINOS_SOLD, 7, false);
    award_animalSold("hippo");
    award_animalSold("rhino");
    ASSERT_TRUE(shown(h, "NewAward"));
    // The screen goes while the award is up: the window goes with it, the queue stays.
    ASSERT_TRUE(enter(STATE_CREDITS));
    EXPECT_TRUE(cNewAwardWindow::get() == nullptr && cNewAwardWindow::queued() == 1u);
    seconds(0.1f);

    // A screen without a "NewAward" widget shows nothing, but the profile still counts.
    StateCalls mapCalls;
    ScopedStateClass plain{STATE_MAP, [&mapCalls] { return new TestScreen(STATE_MAP, mapCalls, "", false); }};
    cGameState::getOrCreate(STATE_MAP);
    ASSERT_TRUE(enter(STATE_MAP));
    player->setAwardProgress(AWARD_CHEETAHS_SOLD, 4, false);
    award_animalSold("cheetah");
    EXPECT_TRUE(cNewAwardWindow::get() == nullptr && player->newAwards.back() == AWARD_CHEETAHS_SOLD);
    ASSERT_TRUE(enter(STATE_MENU));
    seconds(0.1f);
    cNewAwardWindow::notify(AWARD_COUNT + 3);
    EXPECT_TRUE(h.logged("cNewAwardWindow. No award 17 to announce")) << "refused, not shown";
}

TEST_F(Awards, ProgressOfEachEventAndDamagedAwardFilesNeverAFaultyDraw)
{
    EXPECT_EQ(awards()->getAward(-1), nullptr);
    award_animalSold("gnu"); // no award for that kind
    award_animalSold("zebra");
    award_moneyEarned(600);
    award_moneyEarned(600);
    award_animalHealed();
    award_poacherDrivenOff();
    award_levelStatuses(4, 1);
    award_levelStatuses(3, 0);
    EXPECT_EQ(player->awardProgress, (std::vector<int32_t>{0, 1, 0, 0, 0, 0, 1200, 1200, 1200, 1, 1, 4, 1, 1}))
        << "money award 6 earned at 1000 and counted in 13; levels never go down";
    EXPECT_EQ(player->newAwards, std::vector<int32_t>{AWARD_MONEY_1});
    EXPECT_FALSE(awards()->isEarned(AWARD_COUNT));

    TempDir dir("awards");
    writeFile(dir.path() + "/config.ini",
              "[MAIN]\nBackground=" + dir.path() +
                  "/gone.jpg\n\n[AWARD]\nImage=awards:award_00.png\nPosition=10\n"
                  "GoalValue=0\nTooltip=award.warthogs\n\n[OTHER]\nImage=x\n\n[AWARD]\nImage=" +
                  dir.path() + "/gone.png\nPosition=100,200\nGoalValue=%n\nTooltip=award.zebras\n");
    cAwardsState table;
    table.loadConfig(dir.path() + "/config.ini");
    ASSERT_EQ(table.getAwardCount(), 2u) << "only AWARD sections count";
    EXPECT_EQ(table.getAward(0)->x, 0) << "half a position is none";
    EXPECT_TRUE(table.getAward(1)->image == nullptr && table.getAward(1)->goal == 0) << "missing picture, bad goal";
    EXPECT_TRUE(h.logged("cAwardsState. Picture \"" + dir.path() + "/gone.png\" is missing"));
    // A missing file leaves the table as it is; a second load does not add to it.
    table.loadConfig(dir.path() + "/none.ini");
    table.loadConfig(dir.path() + "/config.ini");
    EXPECT_EQ(table.getAwardCount(), 2u);
    // A "%" in a description from data is written out, never handed to printf.
    EXPECT_EQ(award_describe("awards.left", 5), L" (5 left)");
}

TEST_F(Awards, OnlyAMessageBoxHoldsTheScreenNotANewAwardShownOverIt)
{
    player->setAwardProgress(AWARD_ZEBRAS_SOLD, 9, false);
    ASSERT_TRUE(enter(STATE_AWARDS));
    award_animalSold("zebra");
    ASSERT_EQ(h.game().getCurrentState()->getModalCount(), 1) << "the new award is up";
    const cAward* lions = awards()->getAward(AWARD_LIONS_SOLD);
    h.moveTo(lions->x + lions->width() / 2, lions->y + lions->height() / 2);
    EXPECT_EQ(awards()->getHovered(), AWARD_LIONS_SOLD);
    seconds(1.1f);
    EXPECT_EQ(awards()->getFadeIn(), 1.0f);

    cMessageBox::show(L"", L"A question", cMessageBox::MB_OK, nullptr, nullptr);
    h.frame();
    EXPECT_EQ(awards()->getHovered(), -1);
    h.key(A_KEY_ESCAPE);
    h.frames(5);
    EXPECT_EQ(h.game().getCurrentState()->getId(), STATE_AWARDS) << "Escape waits for the box";
}

// A new award keeps the place the layouts give it: over the message box, and
// under an always-on-top window that stands above it.
TEST_F(Awards, ANewAwardKeepsItsPlaceFromTheLayoutsOverTheMessageBox)
{
    player->setAwardProgress(AWARD_ZEBRAS_SOLD, 9, false);
    ASSERT_TRUE(enter(STATE_AWARDS));
    GUI::Widget* award = h.widget("NewAward");
    GUI::Widget* root = award->GetParent();
    std::unique_ptr<GUI::Widget> over(GUI::WidgetFactory::GetInstance().NewWidget("window", "Over"));
    over->Set("AlwaysOnTop", "1");
    over->EndFillProperties();
    root->AddChild(over.get());
    cMessageBox::show(L"", L"A question", cMessageBox::MB_OK, nullptr, nullptr);
    award_animalSold("zebra");
    h.frame();
    const std::vector<GUI::Widget*>& z = root->GetZOrder();
    const auto place = [&z](const GUI::Widget* w) { return std::find(z.begin(), z.end(), w) - z.begin(); };
    EXPECT_TRUE(award->IsVisible() && h.widget("MessageBox")->IsVisible());
    EXPECT_LT(place(h.widget("MessageBox")), place(award));
    EXPECT_LT(place(award), place(over.get())) << "brought to the front";
    root->RemoveChild(over.get());
}

// The recording device shows where each picture is drawn.
class AwardsDrawn : public ScreensGame {
protected:
    AwardsDrawn() : ScreensGame({.recording = true}) {}
};

TEST_F(AwardsDrawn, ThePlateLiesAtEachAwardsCornerWhateverItsSize)
{
    TempDir dir("plates");
    writeFile(dir.file("plate.png"), encodePng(std::vector<uint32_t>(40 * 40, 0xFF804020), 40, 40));
    writeFile(dir.file("award.png"), encodePng(std::vector<uint32_t>(20 * 20, 0xFFFFD700), 20, 20));
    const std::string award = "\n[AWARD]\nImage=" + dir.file("award.png") + "\nGoalValue=1\nTooltip=award.zebras\n";
    writeFile(dir.file("config.ini"), "[MAIN]\nAwardBack=" + dir.file("plate.png") + award + "Position=100,200\n" +
                                          award + "Position=300,50\n");
    cAwardsState table;
    table.loadConfig(dir.file("config.ini"));
    ASSERT_TRUE(table.getPlate() && table.getPlate()->getRecord());
    const void* plate = table.getPlate()->getRecord()->surfaces[aImage::SURFACE_PLAIN].texture.get();
    h.recorder()->clearRecords();
    ASSERT_TRUE(h.game().getGraphServer()->beginScene());
    table.draw();
    h.game().getGraphServer()->endScene();
    std::multiset<std::pair<float, float>> drawn;
    for (const aGpuRecord& r : h.recorder()->records(aGpuCall::SpriteDraw))
        if (r.object == plate)
            drawn.emplace(r.f[5], r.f[6]);
    EXPECT_EQ(drawn, (std::multiset<std::pair<float, float>>{{100.0f, 200.0f}, {300.0f, 50.0f}}));
}
