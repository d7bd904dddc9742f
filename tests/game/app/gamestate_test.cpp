// State switching on a game that was not started: the last request wins, a quit switches nothing,
// gameplay and the screen after it load on the loading thread (while frames without a graph server
// run), restart keeps the kinds, and an id without a state leaves none current.
#include <gtest/gtest.h>

#include "game/support/loading_game.h"
#include "game/support/test_screen.h"
#include "support/log_capture.h"

using namespace kbtest;

namespace {

class StateSwitching : public ::testing::Test {
protected:
    StateSwitching()
    {
        game.setFixedFrameTime(0.02f);
        game.setFlags(cGame::FLAG_DRAW | cGame::FLAG_STATES);
        for (int32_t id : {STATE_MENU, STATE_MAP, STATE_PLAY, STATE_CATCH_ANIMAL})
            classes.push_back(std::make_unique<ScopedStateClass>(id, [this, id] {
                auto* state = new TestScreen(id, calls[id], "", false);
                if (!state_isScreen(id))
                    state->loadsItself = [this](TestScreen&) {
                        game.startLoader(&TestScreen::loadOnThread);
                        return true;
                    };
                return state;
            }));
        cGameState::createAll();
    }
    ~StateSwitching() override { waitForLoad(), cGameState::releaseAll(); }
    // Frames go on while a load runs: its hand-over waits for one.
    void waitForLoad()
    {
        while (game.loadingThreadRuns() && !game.isLoadingDone()) {
            game.render();
            std::this_thread::yield();
        }
    }
    void update() { waitForLoad(), game.update(); }
    int32_t current() const { return game.getCurrentState() ? game.getCurrentState()->getId() : 0; }

    LogCapture log;
    LoadingClock clock; // the screen reload's minimum time passes at once
    cGame game;
    StateCalls calls[12];
    std::vector<std::unique_ptr<ScopedStateClass>> classes;
};

} // namespace

TEST_F(StateSwitching, RequestsThreadsRestartQuitAndUnknownIds)
{
    game.requestState(STATE_MAP);
    game.requestState(STATE_MENU);
    update();
    EXPECT_EQ(current(), STATE_MENU);
    EXPECT_EQ(calls[STATE_MAP].inits, 0);
    EXPECT_TRUE(calls[STATE_MENU].initOnMainThread);
    game.requestState(STATE_MAP);
    update();
    EXPECT_EQ(calls[STATE_MENU].releases, 1);
    // Gameplay loads on the loading thread; no state runs in the frame that started the load.
    game.registerAnimalKind("zebra", 0xFFFF);
    game.requestState(STATE_PLAY);
    game.update();
    waitForLoad();
    EXPECT_FALSE(calls[STATE_PLAY].initOnMainThread);
    EXPECT_EQ(calls[STATE_PLAY].updates, 0);
    update();
    // Replaying the level keeps the kinds and loads nothing.
    game.restartState();
    EXPECT_FALSE(game.loadingThreadRuns());
    EXPECT_EQ(calls[STATE_PLAY].inits, 2);
    EXPECT_EQ(game.getAnimalKindsToLoad().size(), 1u);
    // An id without a state leaves none current, and says so; frames go on.
    for (int32_t id : {int32_t(STATE_AWARDS), 12, -1}) {
        game.requestState(id);
        update();
        EXPECT_EQ(game.getCurrentState(), nullptr) << id;
        EXPECT_TRUE(log.contains("cGame::switchState. No state with id " + std::to_string(id))) << id;
    }
    update();
    game.render();
    // A state id the registry has no class for makes nothing, and says so.
    EXPECT_EQ(cGameState::getOrCreate(STATE_HELP), nullptr);
    EXPECT_TRUE(log.contains("cGameState: no state class for id 6"));
    // The first screen after gameplay enters behind the loading screen.
    game.requestState(STATE_MENU);
    update();
    waitForLoad();
    EXPECT_EQ(current(), STATE_MENU);
    EXPECT_FALSE(calls[STATE_MENU].initOnMainThread);
    // A confirmed quit switches nothing.
    game.requestState(STATE_MAP);
    game.setFlags(cGame::FLAG_QUIT);
    EXPECT_EQ(game.update(), cGame::RESULT_ABORT);
    EXPECT_EQ(current(), STATE_MENU);
}
