// Small steps of the scripted player that several screen walks share: is a
// widget shown, a click on a widget's centre or a rectangle's, frames until
// the message box has faded out, a tutorial hint clicked away, grass put
// down beside an animal.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/app/messagebox.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/support/harness.h"
#include "game/support/screen_view.h"
#include "gui/widget.h"

namespace kbtest {

inline bool shown(const GameHarness& h, const std::string& name)
{
    const GUI::Widget* w = h.widget(name);
    return w && w->IsVisible();
}

inline void clickOn(GameHarness& h, const std::string& name)
{
    const aPoint at = h.centreOf(name);
    h.click(at.x, at.y);
}

// Two seconds at most.
inline void untilBoxClosed(GameHarness& h)
{
    for (int i = 0; i < 120 && cMessageBox::isShown(); ++i)
        h.frame();
}

// The pointer moved onto the rectangle's centre, then a click there.
inline void clickRectOf(GameHarness& h, const aRect& r)
{
    h.moveTo(r.x + r.width / 2, r.y + r.height / 2);
    h.click(r.x + r.width / 2, r.y + r.height / 2);
}

// A click in the middle of a tutorial hint's bubble.
inline void clickHintOf(GameHarness& h, const cTutorialTooltip* t)
{
    const aRect bubble = ScreenView::bubbleRect(t);
    ASSERT_GT(bubble.width, 0) << "no bubble picture";
    clickRectOf(h, bubble);
}

// Grass (held on the cursor) put down beside the animal, on its own ground.
inline void feedBesideOf(GameHarness& h, const cAnimal* animal)
{
    int32_t x = static_cast<int32_t>(animal->anchor.x) + 60;
    if (x > 900)
        x -= 120;
    const int32_t y = std::clamp(static_cast<int32_t>(animal->anchor.y), 250, 650);
    h.moveTo(x, y);
    h.click(x, y);
}

} // namespace kbtest
