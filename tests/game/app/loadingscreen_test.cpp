// The loading screen on its own (made on the main thread, as the credits
// make theirs) and its two scenes in all their variants, with the game's data.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "game/app/animalrun.h"
#include "game/app/loadingscreen.h"
#include "game/app/poachershoot.h"
#include "game/support/harness.h"
#include "game/support/test_screen.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/util/a_random.h"

using namespace kbtest;

namespace {

constexpr float kFrame = 1.0f / 30.0f;

class LoadingScreenTest : public testing::Test {
protected:
    void SetUp() override
    {
        GameHarness::Options options;
        options.recording = true;
        h = std::make_unique<GameHarness>(options);
        ASSERT_EQ(h->start(), 0);
        ASSERT_TRUE(h->waitForState(STATE_MENU, 100000));
        cLoadingScreen::resetCycles();
    }

    cGame& game() { return h->game(); }

    // One frame of the screen alone, with the pointer and the left button as given.
    void draw(cLoadingScreen& screen, float dt, int32_t x = 512, int32_t y = 384, bool down = false)
    {
        h->input().setCursor(x, y);
        h->input().setButton(0, down);
        game().getInputServer()->update();
        ASSERT_TRUE(game().getGraphServer()->beginScene());
        screen.draw(dt);
        game().getGraphServer()->endScene();
    }

    // Runs a scene to its end; the states it went through, in order.
    std::vector<uint32_t> run(cLoadingScenario& scene)
    {
        std::vector<uint32_t> states{scene.getState()};
        for (int i = 0; i < 5000 && !scene.isFinished(); ++i) {
            EXPECT_TRUE(game().getGraphServer()->beginScene());
            scene.update(kFrame);
            game().getGraphServer()->endScene();
            if (scene.getState() != states.back())
                states.push_back(scene.getState());
        }
        return states;
    }

    bool loggedMissingPictures() const
    {
        for (const std::string& line : h->log())
            if (line.find("Cannot find") != std::string::npos || line.find("not exist") != std::string::npos)
                return true;
        return false;
    }

    StateCalls calls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, calls, "", false); }};
    std::unique_ptr<GameHarness> h;
};

} // namespace

TEST_F(LoadingScreenTest, BarGlidesTowardTheProgressAndTheContinueTextWaitsForAFullBar)
{
    cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 335, true);
    ASSERT_TRUE(screen.hasBar() && screen.hasBarBack());
    draw(screen, 0.1f);
    EXPECT_EQ(screen.getShownFraction(), 0.0f) << "nothing moves at progress 0";

    screen.setProgress(35);
    for (int i = 0; i < 4; ++i)
        draw(screen, 0.1f);
    EXPECT_FLOAT_EQ(screen.getShownFraction(), 0.35f);

    // 35 -> 100 takes 0.65 s of frames.
    screen.setProgress(100);
    int frames = 0;
    for (; frames < 100 && screen.getShownFraction() < 1.0f; ++frames) {
        EXPECT_FALSE(screen.isContinueShown());
        draw(screen, 0.05f);
    }
    EXPECT_EQ(frames, 13);
    EXPECT_EQ(screen.getShownFraction(), 1.0f);
    EXPECT_TRUE(screen.isContinueShown());

    // Progress may go back; the bar follows.
    screen.setProgress(95);
    draw(screen, 0.01f);
    EXPECT_FLOAT_EQ(screen.getShownFraction(), 0.99f);
    EXPECT_FALSE(screen.isContinueShown());
}

TEST_F(LoadingScreenTest, OnlyAPressAndAReleaseInsideTheWindowIsAClick)
{
    struct Step {
        int32_t x, y;
        bool down;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        bool clicked;
    };
    const Case cases[] = {
        {"inside", {{500, 400, true}, {500, 400, false}}, true},
        {"moved while held", {{500, 400, true}, {700, 200, true}, {700, 200, false}}, true},
        {"released outside", {{500, 400, true}, {1030, 400, true}, {1030, 400, false}}, false},
        {"out and back while held", {{500, 400, true}, {500, -3, true}, {500, 400, true}, {500, 400, false}}, false},
        {"pressed outside", {{-5, 300, true}, {500, 300, true}, {500, 300, false}}, false},
        {"released at the bottom edge", {{500, 400, true}, {500, 800, false}}, false},
    };
    for (const Case& c : cases) {
        cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 0, false);
        EXPECT_TRUE(screen.isWaitingForClick());
        draw(screen, kFrame);
        for (const Step& s : c.steps)
            draw(screen, kFrame, s.x, s.y, s.down);
        draw(screen, kFrame);
        EXPECT_EQ(!screen.isWaitingForClick(), c.clicked) << c.what;
    }

    // A click before the routine waits for one does not count.
    cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 0, false);
    draw(screen, kFrame, 500, 400, true);
    draw(screen, kFrame, 500, 400, false);
    EXPECT_TRUE(screen.isWaitingForClick());

    // A finished scene ends the wait.
    auto scene = std::make_unique<cAnimalRun>(game().getImageManager());
    scene->initVariant(0);
    run(*scene);
    screen.setScenario(std::move(scene));
    EXPECT_FALSE(screen.isWaitingForClick());
}

TEST_F(LoadingScreenTest, TipsDoNotRepeatUntilAllWereShownAndPicturesTakeTurns)
{
    std::vector<int> tips;
    std::vector<int> backgrounds;
    for (int i = 0; i < 21; ++i) {
        cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 335, true);
        tips.push_back(screen.getTipIndex());
        backgrounds.push_back(screen.getBackgroundIndex());
    }
    EXPECT_EQ(std::set<int>(tips.begin(), tips.begin() + 10).size(), 10u);
    // The next round leaves out the tip shown last.
    std::set<int> second(tips.begin() + 10, tips.begin() + 19);
    EXPECT_EQ(second.size(), 9u);
    EXPECT_EQ(second.count(tips[9]), 0u);
    for (size_t i = 1; i < tips.size(); ++i)
        EXPECT_NE(tips[i], tips[i - 1]);
    for (size_t i = 1; i < backgrounds.size(); ++i)
        EXPECT_EQ(backgrounds[i], (backgrounds[i - 1] + 1) % 3);

    cLoadingScreen plain("gui:progress.jng", "gui:progress_back.jng", 0, false);
    EXPECT_EQ(plain.getBackgroundIndex(), -1);
    EXPECT_FALSE(loggedMissingPictures());
}

TEST_F(LoadingScreenTest, EveryAnimalRunCrossesTheScreenAndEnds)
{
    for (int v = 0; v < cAnimalRun::VARIANT_COUNT; ++v) {
        cAnimalRun scene(game().getImageManager());
        scene.initVariant(v);
        const cAnimalRun::Variant& variant = cAnimalRun::variant(v);
        ASSERT_NE(scene.getLead(), nullptr);
        const cRunningAnimal& lead = *scene.getLead();
        EXPECT_GT(lead.width, 0) << v;
        EXPECT_NE(lead.second, nullptr);
        EXPECT_NE(lead.shadow, nullptr);
        EXPECT_EQ(lead.scale, 1.0f);
        ASSERT_EQ(scene.getRunners().size(), static_cast<size_t>(variant.youngCount)) << v;
        float lastY = 0.0f;
        for (const auto& young : scene.getRunners()) {
            EXPECT_GE(young->scale, 1.0f);
            EXPECT_LE(young->scale, 1.1f);
            EXPECT_GE(young->speedFactor, 2.0f);
            EXPECT_LE(young->speedFactor, 2.4f);
            EXPECT_EQ(young->mirrored, scene.getDirection() == 1);
            EXPECT_GE(young->position.y, lastY) << "drawn far to near";
            lastY = young->position.y;
            // They wait beyond the edge they start from.
            EXPECT_TRUE(scene.getDirection() ? young->position.x > 1024.0f : young->position.x < 0.0f);
        }
        if (variant.youngCount == 1) {
            EXPECT_EQ(scene.getRunners()[0]->position.y, lead.position.y + 20.0f) << v;
        }
        EXPECT_EQ(run(scene), (std::vector<uint32_t>{0, 1, 2, 3})) << v;
        EXPECT_EQ(scene.getLead(), nullptr) << "the lead leaves after its idle";
    }
    EXPECT_FALSE(loggedMissingPictures());
}

TEST_F(LoadingScreenTest, EveryPoacherShootEndsWithTheYoungCrossingBack)
{
    for (int v = 0; v < cPoacherShoot::VARIANT_COUNT; ++v) {
        cPoacherShoot scene(game().getImageManager());
        scene.initVariant(v);
        ASSERT_NE(scene.getPoacher(), nullptr);
        EXPECT_NE(scene.getPoacher()->second, nullptr);
        EXPECT_NE(scene.getPoacher()->shadow, nullptr);
        EXPECT_NE(scene.getChased()->shadow, nullptr);
        ASSERT_EQ(scene.getRunners().size(), 3u);
        const bool mirrored = scene.getPoacher()->mirrored;
        for (const auto& young : scene.getRunners())
            EXPECT_NE(young->mirrored, mirrored) << "the young run the other way";

        std::vector<uint32_t> states{scene.getState()};
        bool turned = false;
        for (int i = 0; i < 5000 && !scene.isFinished(); ++i) {
            ASSERT_TRUE(game().getGraphServer()->beginScene());
            scene.update(kFrame);
            game().getGraphServer()->endScene();
            if (scene.getState() != states.back())
                states.push_back(scene.getState());
            if (scene.getState() == 1) {
                EXPECT_TRUE(scene.getPoacher()->showSecond) << "shooting";
            }
            turned = turned || scene.getPoacher()->mirrored != mirrored;
        }
        EXPECT_EQ(states, (std::vector<uint32_t>{0, 1, 2, 3})) << cPoacherShoot::kind(v);
        EXPECT_TRUE(turned);
    }
    EXPECT_FALSE(loggedMissingPictures());
}

TEST_F(LoadingScreenTest, ScenesAlternateThroughTheLoadingSceneSetting)
{
    cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 335, true);
    uint16_t& setting = game().settings().loadingScene;
    const uint16_t start = setting;
    screen.startScenario();
    const bool firstWasPoacher = start == 0;
    EXPECT_EQ(setting, firstWasPoacher ? 1 : 0);
    screen.startScenario();
    EXPECT_EQ(setting, start);
    EXPECT_NE(screen.getScenarioState(), cLoadingScenario::STATE_FINISHED);
}

// How the loading screen looks with a scene running, the bar and the texts.
TEST(LoadingScreenLook, SceneBarAndTexts)
{
    StateCalls calls;
    ScopedStateClass menu(STATE_MENU, [&] { return new TestScreen(STATE_MENU, calls, "", false); });
    GameHarness h;
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(h.waitForState(STATE_MENU, 100000));

    cLoadingScreen::resetCycles();
    a_srand(7);
    cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 335, true);
    auto scene = std::make_unique<cAnimalRun>(h.game().getImageManager());
    scene->initVariant(1);
    screen.setScenario(std::move(scene));
    screen.setProgress(60);
    aGraphServer* graph = h.game().getGraphServer();
    for (int i = 0; i < 75; ++i) {
        ASSERT_TRUE(graph->beginScene());
        screen.draw(kFrame);
        graph->endScene();
    }
    h.expectScreen("loading_screen");
}
