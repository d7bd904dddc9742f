// State switching on a game that was not started: requests take effect at
// the next update while the states flag is up, a quit switches nothing,
// screens enter on the main thread, gameplay states load on the loading
// thread, a screen after gameplay loads there too, restart keeps the kinds,
// and an id without a state leaves none current.
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
    ~StateSwitching() override
    {
        waitForLoad();
        cGameState::releaseAll();
    }

    // Frames go on while a load runs: its hand-over waits for one.
    void waitForLoad()
    {
        while (game.loadingThreadRuns() && !game.isLoadingDone()) {
            game.render();
            std::this_thread::yield();
        }
    }
    // One frame's update, after any load has ended.
    void update()
    {
        waitForLoad();
        game.update();
    }
    int32_t current() const { return game.getCurrentState() ? game.getCurrentState()->getId() : 0; }

    LogCapture log;
    LoadingClock clock; // the screen reload's minimum time passes at once
    cGame game;
    StateCalls calls[12];
    std::vector<std::unique_ptr<ScopedStateClass>> classes;
};

} // namespace

TEST_F(StateSwitching, RequestsTakeEffectAtTheNextUpdateWithTheStatesFlagAndTheLastOneWins)
{
    game.clearFlags(cGame::FLAG_STATES);
    game.requestState(STATE_MAP);
    game.requestState(STATE_MENU);
    EXPECT_EQ(game.update(), 0);
    EXPECT_EQ(current(), 0);
    game.setFlags(cGame::FLAG_STATES);
    update();
    EXPECT_EQ(current(), STATE_MENU);
    EXPECT_EQ(game.getRequestedState(), 0);
    EXPECT_EQ(calls[STATE_MENU].inits, 1);
    EXPECT_EQ(calls[STATE_MENU].updates, 1) << "the new screen runs in the frame of the switch";
    EXPECT_TRUE(calls[STATE_MENU].initOnMainThread);
    EXPECT_EQ(calls[STATE_MAP].inits, 0);

    game.requestState(STATE_MAP);
    update();
    EXPECT_EQ(calls[STATE_MENU].releases, 1);
    EXPECT_EQ(game.getPreviousState(), STATE_MENU);
    EXPECT_TRUE(calls[STATE_MAP].initOnMainThread);
    update();
    EXPECT_EQ(calls[STATE_MAP].updates, 2);

    game.requestState(STATE_MENU);
    game.setFlags(cGame::FLAG_QUIT);
    EXPECT_EQ(game.update(), cGame::RESULT_ABORT);
    EXPECT_EQ(current(), STATE_MAP) << "a confirmed quit switches nothing";
}

TEST_F(StateSwitching, GameplayLoadsOnTheLoadingThreadAndAScreenAfterItToo)
{
    game.requestState(STATE_MAP);
    update();
    game.registerAnimalKind("zebra", 0xFFFF);

    game.requestState(STATE_PLAY);
    game.update();
    EXPECT_EQ(calls[STATE_PLAY].startLoadings, 1);
    waitForLoad();
    EXPECT_EQ(calls[STATE_PLAY].inits, 1);
    EXPECT_FALSE(calls[STATE_PLAY].initOnMainThread);
    EXPECT_EQ(calls[STATE_PLAY].updates, 0) << "no state is updated in the frame that started the load";
    update();
    EXPECT_EQ(calls[STATE_PLAY].updates, 1);

    // Replaying the level keeps the kinds and loads nothing.
    game.restartState();
    EXPECT_FALSE(game.loadingThreadRuns());
    EXPECT_EQ(calls[STATE_PLAY].releases, 1);
    EXPECT_EQ(calls[STATE_PLAY].inits, 2);
    EXPECT_TRUE(calls[STATE_PLAY].initOnMainThread);
    ASSERT_EQ(game.getAnimalKindsToLoad().size(), 1u);

    game.requestState(STATE_MAP);
    game.update();
    // (Whether drawing is still forbidden here depends on how far the loader got.)
    EXPECT_TRUE(game.loadingThreadRuns()) << "a screen after gameplay enters behind the loading screen";
    waitForLoad();
    EXPECT_FALSE(calls[STATE_MAP].initOnMainThread);
    EXPECT_EQ(game.getFlags() & (cGame::FLAG_DRAW | cGame::FLAG_STATES), cGame::FLAG_DRAW | cGame::FLAG_STATES);
}

TEST_F(StateSwitching, AnIdWithoutAStateLeavesNoneCurrentAndIsLogged)
{
    game.requestState(STATE_MENU);
    update();
    for (int32_t id : {int32_t(STATE_AWARDS), 12, -1}) {
        game.requestState(id);
        update();
        EXPECT_EQ(game.getCurrentState(), nullptr) << id;
        EXPECT_TRUE(log.contains("cGame::switchState. No state with id " + std::to_string(id))) << id;
    }
    EXPECT_EQ(calls[STATE_MENU].releases, 1);
    update();
    game.render();
    game.requestState(STATE_MENU);
    update();
    EXPECT_EQ(current(), STATE_MENU);
    EXPECT_EQ(cGameState::getOrCreate(STATE_HELP), nullptr);
    EXPECT_TRUE(log.contains("cGameState: no state class for id 6"));
}
