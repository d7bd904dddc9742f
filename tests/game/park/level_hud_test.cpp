// Every level of the map entered through the real play state: the buy button
// of each kind a level offers stands clear of the HUD's tools (a level that
// offers too many kinds would hide the heal, hit or sell button under them).
#include <gtest/gtest.h>

#include "game/park/level.h"
#include "game/park/playstate.h"
#include "game/support/autoplayer.h"
#include "game/support/loading_game.h"
#include "game/support/test_screen.h"
#include "gui/widget.h"

using namespace kbtest;

namespace {

bool overlap(const aRect& a, const aRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(LevelHud, BuyButtonsLeaveTheToolsClear)
{
    ScopedStateClass playClass{STATE_PLAY, [] { return new cPlayState(); }};
    LoadedGame game;
    game.start();
    GameHarness& h = game.h;
    for (const std::string& name : normalLevelNames()) {
        if (!levelFileExists(name))
            continue;
        dynamic_cast<cPlayState*>(cGameState::getOrCreate(STATE_PLAY))->levelPath = "levels:" + name + ".ini";
        game.enter(STATE_PLAY);
        const cLevel* level = cPlayState::find()->getLevel();
        ASSERT_NE(level, nullptr) << name;
        for (const std::string& kind : level->availableAnimals) {
            const GUI::Widget* button = h.widget(kind);
            ASSERT_NE(button, nullptr) << name << ": no buy button for " << kind;
            const aRect r = button->GetAbsoluteRect();
            EXPECT_LE(r.x + r.width, 1024) << name << ": " << kind << " runs off the screen";
            for (const char* tool : {"Grass", "Meat", "Heal", "Hit", "Sell"}) {
                const GUI::Widget* w = h.widget(tool);
                ASSERT_NE(w, nullptr) << tool;
                EXPECT_FALSE(overlap(r, w->GetAbsoluteRect())) << name << ": " << kind << " covers " << tool;
            }
        }
        game.enter(STATE_MENU);
    }
}

} // namespace
