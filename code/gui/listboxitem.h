// GUI::ListboxItem: what a list box shows in a row. Game code derives its
// items from it, gives them to a list box and keeps owning them (the list box
// never deletes one). The list box reads and writes the selected flag.
// Main thread.
#pragma once

#include "orvo/util/a_geometry.h"

namespace GUI {

class ListboxItem {
public:
    virtual ~ListboxItem() = default;
    // Width and height in pixels; the row is as high as the height (truncated) plus the margins.
    virtual void GetSize(float& width, float& height) const = 0;
    // Draws inside the row's rectangle less the list box's margins, in screen pixels.
    virtual void Draw(const aRect& rect) = 0;
    virtual void Update(float dt) { (void)dt; }
    // The orders of the two sorting modes.
    virtual bool IsGreater(const ListboxItem& other) const = 0;
    virtual bool IsLess(const ListboxItem& other) const = 0;

    bool IsSelected() const { return m_selected; }
    void SetSelected(bool selected) { m_selected = selected; }

private:
    bool m_selected = false;
};

} // namespace GUI
