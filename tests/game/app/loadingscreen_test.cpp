// The loading screen on its own (made on the main thread, as the credits make theirs) and every
// variant of its two scenes, on the game's data.
#include <gtest/gtest.h>

#include <memory>
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

TEST(LoadingScreen, TheClickEveryScenesVariantAndTheLook)
{
    LoadedGame g(false);
    g.start();
    // Only a press and a release inside the window (the edge pixels a pointer
    // beyond the window reads as are outside) is a click.
    using Step = std::tuple<int32_t, int32_t, bool>; // the pointer and the left button
    const std::pair<std::vector<Step>, bool> cases[] = {
        {{{500, 400, true}, {700, 200, true}, {700, 200, false}}, true},
        {{{500, 400, true}, {1030, 400, true}, {1030, 400, false}}, false},
        {{{500, 400, true}, {500, -3, true}, {500, 400, true}, {500, 400, false}}, false},
        {{{-5, 300, true}, {500, 300, true}, {500, 300, false}}, false},
        {{{500, 400, true}, {500, 800, false}}, false},
    };
    for (const auto& [steps, clicked] : cases) {
        cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 0, false);
        EXPECT_TRUE(screen.isWaitingForClick()); // asking starts the wait, as the loader does
        for (const auto& [x, y, down] : steps)
            g.draw(screen, kFrame, x, y, down);
        g.draw(screen, kFrame);
        EXPECT_EQ(!screen.isWaitingForClick(), clicked) << steps.size() << " " << std::get<0>(steps[1]);
    }
    // The bar glides up to the progress; "click to continue" waits for the full bar.
    {
        cLoadingScreen bar("gui:progress.jng", "gui:progress_back.jng", 335, true);
        bar.setProgress(100);
        int frames = 0;
        for (; frames < 100 && bar.getShownFraction() < 1.0f; ++frames) {
            EXPECT_FALSE(bar.isContinueShown());
            g.draw(bar, 0.05f);
        }
        EXPECT_GT(frames, 1) << "a glide, not a jump";
        EXPECT_TRUE(bar.isContinueShown());
    }
    // A click before the wait does not count; a finished scene ends the wait. Every variant of
    // both scenes plays through its states to its end, with all its pictures.
    cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 0, false);
    g.draw(screen, kFrame, 500, 400, true);
    g.draw(screen, kFrame, 500, 400, false);
    EXPECT_TRUE(screen.isWaitingForClick());
    aGraphServer& graph = *g.h.game().getGraphServer();
    const std::vector<uint32_t> allStates{0, 1, 2, 3};
    for (int v = 0; v < cPoacherShoot::VARIANT_COUNT; ++v) {
        cPoacherShoot scene(g.h.game().getImageManager());
        scene.initVariant(v);
        EXPECT_EQ(run(scene, graph), allStates) << v;
    }
    for (int v = 0; v < cAnimalRun::VARIANT_COUNT; ++v) {
        auto scene = std::make_unique<cAnimalRun>(g.h.game().getImageManager());
        scene->initVariant(v);
        EXPECT_EQ(run(*scene, graph), allStates) << v;
        screen.setScenario(std::move(scene));
    }
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

// A loading screen's tip is any of the ten but the one the previous screen
// showed; the first may be any.
TEST(LoadingScreen, TheTipIsAnyButThePreviousOne)
{
    LoadedGame g(false);
    g.start();
    constexpr int kScreens = 40;
    a_srand(11);
    std::vector<int> expected;
    for (int last = -1; expected.size() < kScreens; last = expected.back()) {
        int n = a_rand() % cLoadingScreen::TIP_COUNT;
        while (n == last)
            n = a_rand() % cLoadingScreen::TIP_COUNT;
        expected.push_back(n);
    }
    cLoadingScreen::resetCycles();
    a_srand(11);
    std::vector<int> shown;
    for (int i = 0; i < kScreens; ++i)
        shown.push_back(cLoadingScreen("gui:progress.jng", "gui:progress_back.jng", 0, false).getTipIndex());
    EXPECT_EQ(shown, expected);
    bool soonAgain = false; // a tip may come back before every other one was shown
    for (size_t i = 0; i + 2 < shown.size(); ++i)
        soonAgain |= shown[i] == shown[i + 2];
    EXPECT_TRUE(soonAgain) << ::testing::PrintToString(shown);
}
