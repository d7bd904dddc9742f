// GUI::Style: a nine-slice skin defined by a "style" block of a layout
// script: one image cut into four corners, four edges and an interior, drawn
// into any rectangle with the corners at their size and the edges and the
// interior stretched, tiled or left out. Owned by the GUI server; windows and
// style buttons draw it. The style keeps its own counted handle of the image,
// so unloading the image list never leaves it with a freed picture.
// Built while a screen is read, drawn on the main thread.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/propertyset.h"
#include "orvo/util/a_geometry.h"

class aImage;

namespace GUI {

class Style : public PropertySet {
public:
    enum Mode : int32_t {
        MODE_INVALID = 0, // never validly set: edges tile, the interior is not drawn
        MODE_NONE = 1,
        MODE_STRETCH = 2,
        MODE_TILE = 3,
    };
    enum Slice : int32_t {
        TOP_LEFT = 0,
        TOP_RIGHT,
        BOTTOM_LEFT,
        BOTTOM_RIGHT,
        LEFT,
        TOP,
        RIGHT,
        BOTTOM,
        INTERIOR,
        SLICE_COUNT
    };

    Style();
    ~Style() override;

    void EndFillProperties() override { MakeFromScript(); }
    // Applies the script: image, edge and fill modes, slices.
    void MakeFromScript();
    // Draws the skin into the rectangle in the colour; nothing without an
    // image or with a colour whose alpha is 0.
    void Draw(const aRect& destination, aColor color);

    const aImage* GetImage() const { return m_image.get(); }
    const aRect& GetSlice(Slice slice) const { return m_slices[slice]; }
    int32_t GetFillType() const { return m_fillType; }
    int32_t GetEdgeLeft() const { return m_edgeLeft; }
    int32_t GetEdgeTop() const { return m_edgeTop; }
    int32_t GetEdgeRight() const { return m_edgeRight; }
    int32_t GetEdgeBottom() const { return m_edgeBottom; }

    // "none" 1, "stretch" 2, "tile" 3 (any case); anything else 0.
    static int32_t ParseMode(const std::string& word);

private:
    // One slice at its own size, scaled by (sx, sy); an empty slice is skipped.
    void drawSlice(Slice slice, int32_t x, int32_t y, aColor color, float sx = 1.0f, float sy = 1.0f);
    // An edge over the area: stretched (mode 2) or tiled (any other drawn mode).
    void drawEdge(Slice slice, int32_t mode, const aRect& area, aColor color, bool horizontal);

    std::unique_ptr<aImage> m_image;
    aRect m_slices[SLICE_COUNT];
    int32_t m_fillType = MODE_NONE;
    int32_t m_edgeLeft = MODE_NONE;
    int32_t m_edgeTop = MODE_NONE;
    int32_t m_edgeRight = MODE_NONE;
    int32_t m_edgeBottom = MODE_NONE;

    Property m_propFillType;
    Property m_propAutoSlice;
    Property m_propEdgeGlobal;
    Property m_propImage;
    Property m_propSlices[SLICE_COUNT];
    Property m_propEdgeLeft;
    Property m_propEdgeTop;
    Property m_propEdgeRight;
    Property m_propEdgeBottom;
};

} // namespace GUI
