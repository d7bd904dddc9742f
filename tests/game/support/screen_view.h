// What a person sees of the play screen in one frame: the park shows where no
// widget of the play layout, no hint bubble and no part of the goals strip
// along the top lies over it. Things are found on screen by their own
// rectangles (an animal's hit-tested frame, a poacher's hit rectangle, a
// widget's absolute rectangle), so the view follows the art and the layout.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "orvo/util/a_geometry.h"

class cPlayState;
class cTutorialTooltip;
namespace GUI {
class Widget;
}

namespace kbtest {

class ScreenView {
public:
    static constexpr int32_t kWidth = 1024;
    static constexpr int32_t kHeight = 768;
    // The goals panel and the timer are drawn over the park's top edge.
    static constexpr int32_t kTopStrip = 32;

    // The play state's layout and the hint bubbles as they stand now.
    explicit ScreenView(const cPlayState& state);

    // On the screen and not under the interface.
    bool open(int32_t x, int32_t y) const;
    // The point of `r` nearest to its centre that shows, on a grid of a few
    // pixels; none when nothing of it shows.
    std::optional<aPoint> visiblePoint(const aRect& r) const;
    // The same for a widget: a point of it that no bubble and no other
    // widget covers.
    std::optional<aPoint> visiblePoint(const GUI::Widget* widget) const;
    // The bubble of a hint on screen.
    static aRect bubbleRect(const cTutorialTooltip* hint);
    // The hint's picture shows at the point (its clear parts hide nothing).
    static bool bubbleCovers(const cTutorialTooltip* hint, int32_t x, int32_t y);
    // Some point of `r` (on a grid of a few pixels) is under the hint's picture.
    static bool bubbleCovers(const cTutorialTooltip* hint, const aRect& r);

private:
    struct Bubble {
        aRect rect;
        bool flipLeft = false;
        bool flipDown = false;
    };
    static bool covers(const Bubble& b, int32_t x, int32_t y);
    bool underBubble(int32_t x, int32_t y) const;
    // The topmost widget at the point, or null.
    const GUI::Widget* widgetAt(int32_t x, int32_t y) const;
    template <class Shows> std::optional<aPoint> nearestToCentre(const aRect& r, Shows shows) const;

    std::vector<const GUI::Widget*> m_windows; // the layout's top windows that show, bottom first
    std::vector<Bubble> m_bubbles;
};

} // namespace kbtest
