// A player at a stand-in menu with the real map and park screens behind it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "game/game.h"
#include "game/support/harness.h"
#include "game/support/test_screen.h"

namespace kbtest {

class MapParkGame : public ::testing::Test {
protected:
    explicit MapParkGame(const GameHarness::Options& options = {}) : h(options) {}

    void SetUp() override
    {
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU));
        profile = h.makePlayer();
    }

    template <class T> T* enter(int32_t id)
    {
        h.game().requestState(id);
        EXPECT_TRUE(h.waitForState(id));
        return dynamic_cast<T*>(h.game().getCurrentState());
    }
    // The park entered with upgrade 0 built to `stage` (which brings its three animals), the tips seen.
    cParkState* enterParkWithAnimals(int32_t stage)
    {
        profile->setLevelReward("Level01", 2);
        profile->upgradeStages = {stage};
        profile->tipsMask = 0x1300;
        auto* park = enter<cParkState>(STATE_PARK);
        EXPECT_TRUE(park && park->animals().size() == 3u) << "stage " << stage;
        return park && park->animals().size() == 3u ? park : nullptr;
    }
    // The map's level of that name; null when the map has none.
    static const cMapLevel* findLevel(const cMapState* map, const std::string& name)
    {
        if (map)
            for (const auto& l : map->levels())
                if (l->name == name)
                    return l.get();
        return nullptr;
    }

    GameHarness h;
    StateCalls menuCalls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, menuCalls, "", false); }};
    ScopedStateClass map{STATE_MAP, [] { return new cMapState(); }};
    ScopedStateClass park{STATE_PARK, [] { return new cParkState(); }};
    cPlayerProfile* profile = nullptr;
};

} // namespace kbtest
