// The buy buttons of a level stand in a row above the HUD board, one slot per
// kind on sale; the level of the map that offers the most kinds is entered
// through the real play state, and none of its buy buttons may cover the
// Heal, Hit or Sell button or leave the screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/park/playstate.h"
#include "game/support/autoplayer.h"
#include "game/support/loading_game.h"
#include "gui/widget.h"
#include "orvo/app/a_optionsfile.h"

using namespace kbtest;

namespace {

bool overlap(const aRect& a, const aRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

std::vector<std::string> kindsOnSale(const std::string& level)
{
    std::vector<std::string> kinds;
    aOptionsFile file(("levels:" + level + ".ini").c_str());
    if (file.setSection("DATA") && file.findKey("AvailableAnimals"))
        file.getStringList("AvailableAnimals", kinds);
    return kinds;
}

} // namespace

TEST(LevelHud, BuyButtonsLeaveTheToolsFree)
{
    ScopedStateClass playClass{STATE_PLAY, [] { return new cPlayState(); }};
    LoadedGame game;
    game.start();
    game.h.makePlayer()->tipsMask = ~0u;

    std::string widest;
    std::vector<std::string> kinds;
    for (const std::string& name : normalLevelNames()) {
        if (!levelFileExists(name))
            continue;
        std::vector<std::string> offered = kindsOnSale(name);
        // NOTE: without the key a level offers every loaded kind.
        ASSERT_FALSE(offered.empty()) << name << " names no kinds on sale";
        if (offered.size() > kinds.size())
            widest = name, kinds = offered;
    }
    ASSERT_FALSE(widest.empty());

    dynamic_cast<cPlayState*>(cGameState::getOrCreate(STATE_PLAY))->levelPath = "levels:" + widest + ".ini";
    game.h.game().requestState(STATE_PLAY);
    ASSERT_TRUE(game.h.waitForState(STATE_PLAY, kPatience)) << widest;
    game.h.frames(2);
    for (const std::string& kind : kinds) {
        const GUI::Widget* button = game.h.widget(kind);
        ASSERT_NE(button, nullptr) << widest << ": " << kind;
        const aRect r = button->GetAbsoluteRect();
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= 1024 && r.y + r.height <= 768) << widest << ": " << kind;
        for (const char* tool : {"Heal", "Hit", "Sell"}) {
            const GUI::Widget* w = game.h.widget(tool);
            ASSERT_NE(w, nullptr) << tool;
            EXPECT_FALSE(overlap(r, w->GetAbsoluteRect()))
                << widest << " offers " << kinds.size() << " kinds: the " << kind << " button covers " << tool;
        }
    }
}
