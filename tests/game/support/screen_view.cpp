#include "game/support/screen_view.h"

#include <algorithm>

#include "game/app/tooltipbubble.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/playstate.h"
#include "gui/server.h"
#include "gui/widget.h"
#include "orvo/gfx/a_image.h"

namespace kbtest {

namespace {

// The screen-wide catcher a pointer hint raises: it hides nothing.
constexpr const char* kHintCatcher = "TutorialTooltip";
constexpr int32_t kGrid = 4; // pixels between the sample points of a rectangle

} // namespace

ScreenView::ScreenView(const cPlayState& state)
{
    if (const GUI::Server* gui = state.getGui())
        for (const GUI::Widget* w : gui->GetRoot()->GetZOrder())
            if (w->IsVisible() && w->GetName() != kHintCatcher)
                m_windows.push_back(w);
    for (const auto& hint : cTutorialTooltip::all())
        if (hint->getAlpha() > 0.0f)
            m_bubbles.push_back({bubbleRect(hint.get()), hint->isFlippedLeft(), hint->isFlippedDown()});
}

aRect ScreenView::bubbleRect(const cTutorialTooltip* hint)
{
    const aImage* bubble = tooltip_image("tooltip");
    if (!bubble)
        return {};
    return aRect(hint->getX(), hint->getY(), static_cast<uint16_t>(bubble->getWidth()),
                 static_cast<uint16_t>(bubble->getHeight()));
}

bool ScreenView::covers(const Bubble& b, int32_t x, int32_t y)
{
    aImage* bubble = tooltip_image("tooltip");
    if (!bubble || !b.rect.contains(x, y))
        return false;
    // The picture is drawn mirrored as the hint is turned.
    const int32_t px = b.flipLeft ? b.rect.x + b.rect.width - 1 - x : x - b.rect.x;
    const int32_t py = b.flipDown ? b.rect.y + b.rect.height - 1 - y : y - b.rect.y;
    return (bubble->getPixel(px, py) >> 24) >= 0x40;
}

bool ScreenView::bubbleCovers(const cTutorialTooltip* hint, int32_t x, int32_t y)
{
    return covers({bubbleRect(hint), hint->isFlippedLeft(), hint->isFlippedDown()}, x, y);
}

bool ScreenView::bubbleCovers(const cTutorialTooltip* hint, const aRect& r)
{
    for (int32_t y = r.y; y < r.y + r.height; y += kGrid)
        for (int32_t x = r.x; x < r.x + r.width; x += kGrid)
            if (bubbleCovers(hint, x, y))
                return true;
    return false;
}

bool ScreenView::underBubble(int32_t x, int32_t y) const
{
    return std::any_of(m_bubbles.begin(), m_bubbles.end(), [x, y](const Bubble& b) { return covers(b, x, y); });
}

const GUI::Widget* ScreenView::widgetAt(int32_t x, int32_t y) const
{
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) {
        const aRect r = (*it)->GetAbsoluteRect();
        // Children may stand out of their window (the buy buttons above the HUD).
        if (const GUI::Widget* child = (*it)->HitTestTree(x - r.x, y - r.y, true, false))
            return child;
        if (r.contains(x, y))
            return *it;
    }
    return nullptr;
}

bool ScreenView::open(int32_t x, int32_t y) const
{
    return x >= 0 && y >= kTopStrip && x < kWidth && y < kHeight && !underBubble(x, y) && !widgetAt(x, y);
}

template <class Shows> std::optional<aPoint> ScreenView::nearestToCentre(const aRect& r, Shows shows) const
{
    if (r.width == 0 || r.height == 0)
        return std::nullopt;
    const int32_t cx = r.x + r.width / 2, cy = r.y + r.height / 2;
    if (shows(cx, cy))
        return aPoint{cx, cy};
    std::optional<aPoint> best;
    int64_t bestDistance = 0;
    for (int32_t y = r.y + std::min<int32_t>(kGrid / 2, r.height / 2); y < r.y + r.height; y += kGrid)
        for (int32_t x = r.x + std::min<int32_t>(kGrid / 2, r.width / 2); x < r.x + r.width; x += kGrid) {
            const int64_t d = int64_t(x - cx) * (x - cx) + int64_t(y - cy) * (y - cy);
            if ((!best || d < bestDistance) && shows(x, y)) {
                best = aPoint{x, y};
                bestDistance = d;
            }
        }
    return best;
}

std::optional<aPoint> ScreenView::visiblePoint(const aRect& r) const
{
    return nearestToCentre(r, [this](int32_t x, int32_t y) { return open(x, y); });
}

std::optional<aPoint> ScreenView::visiblePoint(const GUI::Widget* widget) const
{
    return nearestToCentre(widget->GetAbsoluteRect(), [this, widget](int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight || underBubble(x, y))
            return false;
        for (const GUI::Widget* w = widgetAt(x, y); w; w = w->GetParent())
            if (w == widget)
                return true;
        return false;
    });
}

} // namespace kbtest
