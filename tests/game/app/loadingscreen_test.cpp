// The loading screen on its own (made on the main thread, as the credits
// make theirs) and every variant of its two scenes, on the game's data.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "game/app/animalrun.h"
#include "game/app/loadingscreen.h"
#include "game/app/poachershoot.h"
#include "game/support/loading_game.h"
#include "orvo/util/a_random.h"

using namespace kbtest;

namespace {

constexpr float kFrame = 1.0f / 30.0f;

// Runs a scene to its end; the states it went through, in order.
std::vector<uint32_t> run(cLoadingScenario& scene, aGraphServer& graph)
{
    std::vector<uint32_t> states{scene.getState()};
    for (int i = 0; i < 5000 && !scene.isFinished(); ++i) {
        EXPECT_TRUE(graph.beginScene());
        scene.update(kFrame);
        graph.endScene();
        if (scene.getState() != states.back())
            states.push_back(scene.getState());
    }
    return states;
}

} // namespace

TEST(LoadingScreen, BarTipsPicturesTheClickAndTheLook)
{
    LoadedGame g(false);
    g.start();
    {
        cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 335, true);
        screen.setProgress(35);
        for (int i = 0; i < 4; ++i)
            g.draw(screen, 0.1f);
        EXPECT_FLOAT_EQ(screen.getShownFraction(), 0.35f);
        // 35 -> 100 glides over 0.65 s of frames; "click to continue" waits for the full bar.
        screen.setProgress(100);
        int frames = 0;
        for (; frames < 100 && screen.getShownFraction() < 1.0f; ++frames) {
            EXPECT_FALSE(screen.isContinueShown());
            g.draw(screen, 0.05f);
        }
        EXPECT_EQ(frames, 13);
        EXPECT_TRUE(screen.isContinueShown());
    }

    // Tips never repeat until every one was shown; pictures take turns.
    cLoadingScreen::resetCycles();
    std::vector<int> tips, pictures;
    for (int i = 0; i < 19; ++i) {
        cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 335, true);
        tips.push_back(screen.getTipIndex());
        pictures.push_back(screen.getBackgroundIndex());
    }
    EXPECT_EQ(std::set<int>(tips.begin(), tips.begin() + 10).size(), 10u);
    const std::set<int> second(tips.begin() + 10, tips.end());
    EXPECT_EQ(second.size(), 9u);
    EXPECT_EQ(second.count(tips[9]), 0u) << "the last tip of a round is not the first of the next";
    for (size_t i = 1; i < pictures.size(); ++i)
        EXPECT_EQ(pictures[i], (pictures[i - 1] + 1) % 3);

    // Only a press and a release inside the window (the edge pixels a pointer
    // beyond the window reads as are outside) is a click.
    struct Step {
        int32_t x, y;
        bool down;
    };
    const std::pair<std::vector<Step>, bool> cases[] = {
        {{{500, 400, true}, {700, 200, true}, {700, 200, false}}, true},
        {{{500, 400, true}, {1030, 400, true}, {1030, 400, false}}, false},
        {{{500, 400, true}, {500, -3, true}, {500, 400, true}, {500, 400, false}}, false},
        {{{-5, 300, true}, {500, 300, true}, {500, 300, false}}, false},
        {{{500, 400, true}, {500, 800, false}}, false},
    };
    for (const auto& [steps, clicked] : cases) {
        cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 0, false);
        EXPECT_TRUE(screen.isWaitingForClick());
        for (const Step& s : steps)
            g.draw(screen, kFrame, s.x, s.y, s.down);
        g.draw(screen, kFrame);
        EXPECT_EQ(!screen.isWaitingForClick(), clicked) << steps.size() << " " << steps[1].x;
    }
    // A click before the wait does not count; a finished scene ends the wait.
    cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 0, false);
    g.draw(screen, kFrame, 500, 400, true);
    g.draw(screen, kFrame, 500, 400, false);
    EXPECT_TRUE(screen.isWaitingForClick());
    auto scene = std::make_unique<cAnimalRun>(g.h.game().getImageManager());
    scene->initVariant(0);
    run(*scene, *g.h.game().getGraphServer());
    screen.setScenario(std::move(scene));
    EXPECT_FALSE(screen.isWaitingForClick());
    EXPECT_FALSE(g.loggedMissing());

    // How it looks with a scene running, the bar and a tip.
    cLoadingScreen::resetCycles();
    a_srand(7);
    cLoadingScreen look("gui:progress.jng", "gui:progress_back.jng", 335, true);
    auto zebras = std::make_unique<cAnimalRun>(g.h.game().getImageManager());
    zebras->initVariant(1);
    look.setScenario(std::move(zebras));
    look.setProgress(60);
    for (int i = 0; i < 75; ++i)
        g.draw(look, kFrame);
    g.h.expectScreen("loading_screen");
}

TEST(LoadingScreen, EveryVariantOfBothScenesPlaysToItsEnd)
{
    LoadedGame g;
    g.start();
    aGraphServer& graph = *g.h.game().getGraphServer();
    const std::vector<uint32_t> allStates{0, 1, 2, 3};
    for (int v = 0; v < cAnimalRun::VARIANT_COUNT; ++v) {
        cAnimalRun scene(g.h.game().getImageManager());
        scene.initVariant(v);
        EXPECT_TRUE(scene.getLead()->second && scene.getLead()->shadow) << v;
        ASSERT_EQ(scene.getRunners().size(), static_cast<size_t>(cAnimalRun::variant(v).youngCount)) << v;
        float lastY = 0.0f;
        for (const auto& young : scene.getRunners()) {
            EXPECT_EQ(young->mirrored, scene.getDirection() == 1);
            EXPECT_TRUE(scene.getDirection() ? young->position.x > 1024.0f : young->position.x < 0.0f) << "off screen";
            EXPECT_GE(young->position.y, lastY) << "drawn far to near";
            lastY = young->position.y;
        }
        EXPECT_EQ(run(scene, graph), allStates) << v;
    }
    for (int v = 0; v < cPoacherShoot::VARIANT_COUNT; ++v) {
        cPoacherShoot scene(g.h.game().getImageManager());
        scene.initVariant(v);
        const bool mirrored = scene.getPoacher()->mirrored;
        EXPECT_TRUE(scene.getPoacher()->second && scene.getPoacher()->shadow && scene.getChased()->shadow) << v;
        for (const auto& young : scene.getRunners())
            EXPECT_NE(young->mirrored, mirrored) << "the young run the other way";
        EXPECT_EQ(run(scene, graph), allStates) << v;
        EXPECT_NE(scene.getPoacher()->mirrored, mirrored) << "the poacher turned back";
    }
    EXPECT_FALSE(g.loggedMissing());
}
