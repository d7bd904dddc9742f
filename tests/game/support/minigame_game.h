// A running game for the mini-game screens: a player, stand-in menu, map and
// park screens (to see where a mini-game leads) and the way into a mini-game
// as the map takes it. Coins credited to the player are counted in `credited`.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "game/app/playerprofile.h"
#include "game/park/bonus.h"
#include "game/screens/catchanimalstate.h"
#include "game/screens/findpairstate.h"
#include "game/screens/matchthreestate.h"
#include "game/support/harness.h"
#include "game/support/player_steps.h"
#include "game/support/test_screen.h"
#include "support/image_files.h"

namespace kbtest {

class MiniGameGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        h = std::make_unique<GameHarness>(GameHarness::Options{.recording = recording, .frameTime = 1.0f / 30.0f});
        ASSERT_EQ(h->start(), 0);
        ASSERT_TRUE(h->waitForState(STATE_MENU));
        player = h->makePlayer();
        player->stars = 1000;
        player->doneUpgrades = 3;
    }

    // Enters a mini-game as the map does, its tip seen unless asked.
    template <class T> T* enter(int32_t id, const std::string& section, bool tipSeen = true)
    {
        if (tipSeen)
            player->tipsMask |= 0xE0;
        cGameState* state = cGameState::getOrCreate(id);
        state->setLevel(section);
        h->game().requestState(id);
        EXPECT_TRUE(h->waitForState(id));
        return static_cast<T*>(state);
    }

    // One frame, counting the coin values credited in it.
    void frame()
    {
        cMiniGameState* state = current();
        std::map<const cBonus*, bool> before;
        for (const cBonus* b : state ? state->coins() : std::vector<cBonus*>{})
            before[b] = b->collected;
        h->frame();
        if (state && state == current())
            for (const cBonus* b : state->coins())
                credited += b->collected && !before[b] ? b->value : 0;
    }
    void frames(int n)
    {
        while (n-- > 0)
            frame();
    }
    void press(int32_t x, int32_t y, bool down = true)
    {
        h->input().setCursor(x, y);
        h->input().setButton(0, down);
        frame();
    }
    void release(int32_t x, int32_t y) { press(x, y, false); }
    void click(int32_t x, int32_t y) { press(x, y), release(x, y); }

    // A won game pays its reward and its coins once, however long the message
    // stays, and the message's OK leads on to the park.
    void expectPaidOnceAndOnToThePark(int32_t starsBefore, int32_t reward)
    {
        frames(3);
        EXPECT_TRUE(shown(*h, "MessageBox"));
        EXPECT_EQ(player->doneUpgrades, 0u);
        frames(60);
        EXPECT_EQ(player->stars, starsBefore + reward + credited);
        clickOn(*h, "OkBtn");
        ASSERT_TRUE(h->waitForState(STATE_PARK));
        EXPECT_EQ(player->stars, starsBefore + reward + credited);
    }

    cMiniGameState* current() const
    {
        cGameState* state = h->game().getCurrentState();
        return state && state->getId() >= STATE_CATCH_ANIMAL ? static_cast<cMiniGameState*>(state) : nullptr;
    }

    // Writes the last frame under tests/data/screens/ with KB_UPDATE_GOLDEN
    // set. The loading thread lays the boards out with the tick count as its
    // seed, so the pictures are kept for review, not compared.
    void keepScreen(const std::string& name) const
    {
        const std::vector<uint32_t> pixels = h->screenshot();
        if (std::getenv("KB_UPDATE_GOLDEN") && pixels.size() == 1024u * 768u)
            std::ofstream(std::string(KB_TEST_DATA_DIR) + "/screens/" + name + ".png", std::ios::binary)
                << encodePng(pixels, 1024, 768, false);
    }

    StateCalls calls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, calls); }};
    ScopedStateClass map{STATE_MAP, [this] { return new TestScreen(STATE_MAP, calls); }};
    ScopedStateClass park{STATE_PARK, [this] { return new TestScreen(STATE_PARK, calls); }};
    ScopedStateClass catchAnimal{STATE_CATCH_ANIMAL, [] { return new cCatchAnimalState(); }};
    ScopedStateClass matchThree{STATE_MATCH_THREE, [] { return new cMatchThreeState(); }};
    ScopedStateClass findPair{STATE_FIND_PAIR, [] { return new cFindPairState(); }};
    bool recording = false; // set by a derived fixture's constructor: the recording device
    std::unique_ptr<GameHarness> h;
    cPlayerProfile* player = nullptr;
    int32_t credited = 0;
};

} // namespace kbtest
