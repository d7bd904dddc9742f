// Small steps of the scripted player that several screen walks share: is a
// widget shown, a click on a widget's centre, frames until the message box
// has faded out.
#pragma once

#include <string>

#include "game/app/messagebox.h"
#include "game/support/harness.h"
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

} // namespace kbtest
