#include "gui/style.h"

#include "gui/imagedraw.h"
#include "gui/server.h"
#include "orvo/app/a_caselessless.h"
#include "orvo/gfx/a_image.h"
#include "orvo/util/a_log.h"

namespace GUI {

namespace {

const char* const kSliceNames[Style::SLICE_COUNT] = {"TopLeft", "TopRight", "BottomLeft", "BottomRight", "Left",
                                                     "Top",     "Right",    "Bottom",     "Interior"};

aRect area(int32_t x, int32_t y, int32_t width, int32_t height)
{
    return aRect(static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<uint16_t>(width),
                 static_cast<uint16_t>(height));
}

} // namespace

Style::Style()
{
    AddProperty("Image", &m_propImage);
    AddProperty("AutoSlice", &m_propAutoSlice);
    AddProperty("EdgeGlobal", &m_propEdgeGlobal);
    AddProperty("FillType", &m_propFillType);
    for (int i = 0; i < SLICE_COUNT; ++i)
        AddProperty(kSliceNames[i], &m_propSlices[i]);
    AddProperty("EdgeLeft", &m_propEdgeLeft);
    AddProperty("EdgeTop", &m_propEdgeTop);
    AddProperty("EdgeRight", &m_propEdgeRight);
    AddProperty("EdgeBottom", &m_propEdgeBottom);
}

Style::~Style()
{
    if (m_image)
        m_image->release();
}

int32_t Style::ParseMode(const std::string& word)
{
    if (caseless_equal(word, "none"))
        return MODE_NONE;
    if (caseless_equal(word, "stretch"))
        return MODE_STRETCH;
    if (caseless_equal(word, "tile"))
        return MODE_TILE;
    return MODE_INVALID;
}

void Style::MakeFromScript()
{
    // The image is looked up even when the script named none (and logged as missing).
    const Server* server = Server::getSingletonPtr();
    const aImage* image = server ? server->GetImage(m_propImage.value) : nullptr;
    aRect whole;
    SetImage(image, nullptr, &m_image, &whole);

    if (m_propEdgeGlobal.changed) {
        const int32_t mode = ParseMode(m_propEdgeGlobal.value);
        if (mode == MODE_INVALID)
            a_log("Style::MakeFromScript - invalid EdgeType = '%s'", m_propEdgeGlobal.value.c_str());
        else
            m_edgeLeft = m_edgeTop = m_edgeRight = m_edgeBottom = mode;
    } else {
        const struct {
            const char* name;
            const Property& property;
            int32_t& mode;
        } edges[4] = {{"EdgeLeft", m_propEdgeLeft, m_edgeLeft},
                      {"EdgeTop", m_propEdgeTop, m_edgeTop},
                      {"EdgeRight", m_propEdgeRight, m_edgeRight},
                      {"EdgeBottom", m_propEdgeBottom, m_edgeBottom}};
        for (const auto& edge : edges) {
            const int32_t mode = ParseMode(edge.property.value);
            if (mode == MODE_INVALID)
                a_log("Style::MakeFromScript - invalid %s = '%s'", edge.name, edge.property.value.c_str());
            else
                edge.mode = mode;
        }
    }

    const int32_t fill = ParseMode(m_propFillType.value);
    if (fill == MODE_INVALID)
        a_log("Style::MakeFromScript - invalid FillType = '%s'", m_propFillType.value.c_str());
    else
        m_fillType = fill;

    if (!m_propAutoSlice.changed) {
        for (int i = 0; i < SLICE_COUNT; ++i) {
            if (i == INTERIOR && m_fillType == MODE_NONE)
                continue;
            if ((i == LEFT && m_edgeLeft == MODE_NONE) || (i == TOP && m_edgeTop == MODE_NONE) ||
                (i == RIGHT && m_edgeRight == MODE_NONE) || (i == BOTTOM && m_edgeBottom == MODE_NONE))
                continue;
            m_slices[i] = m_propSlices[i].AsRect();
        }
        return;
    }

    const aRect sliced = m_propAutoSlice.value == "all" ? aRect(0, 0, m_image ? m_image->getWidth() : uint16_t(0),
                                                                m_image ? m_image->getHeight() : uint16_t(0))
                                                        : m_propAutoSlice.AsRect();
    const int32_t cw = sliced.width / 3;
    const int32_t ch = sliced.height / 3;
    // Column and row of each slice in the three by three grid, in slice order.
    static const int32_t kCell[SLICE_COUNT][2] = {{0, 0}, {2, 0}, {0, 2}, {2, 2}, {0, 1},
                                                  {1, 0}, {2, 1}, {1, 2}, {1, 1}};
    for (int i = 0; i < SLICE_COUNT; ++i)
        m_slices[i] = area(sliced.x + kCell[i][0] * cw, sliced.y + kCell[i][1] * ch, cw, ch);
}

void Style::drawSlice(Slice slice, int32_t x, int32_t y, aColor color, float sx, float sy)
{
    const aRect& s = m_slices[slice];
    if (s.width == 0 || s.height == 0)
        return;
    const float scale[2] = {sx, sy};
    m_image->drawRegionAt(static_cast<int16_t>(x), static_cast<int16_t>(y), s, color, scale);
}

void Style::drawEdge(Slice slice, int32_t mode, const aRect& where, aColor color, bool horizontal)
{
    const aRect& s = m_slices[slice];
    if (s.width == 0 || s.height == 0)
        return;
    if (mode != MODE_STRETCH) {
        DrawImageTiled(m_image.get(), s, where, color);
        return;
    }
    if (horizontal)
        drawSlice(slice, where.x, where.y, color, static_cast<float>(where.width) / static_cast<float>(s.width), 1.0f);
    else
        drawSlice(slice, where.x, where.y, color, 1.0f,
                  static_cast<float>(where.height) / static_cast<float>(s.height));
}

void Style::Draw(const aRect& r, aColor color)
{
    if (!m_image || (color >> 24) == 0)
        return;
    const aRect& tl = m_slices[TOP_LEFT];
    const aRect& tr = m_slices[TOP_RIGHT];
    const aRect& bl = m_slices[BOTTOM_LEFT];
    const aRect& br = m_slices[BOTTOM_RIGHT];
    const aRect& l = m_slices[LEFT];
    const aRect& t = m_slices[TOP];
    const aRect& rt = m_slices[RIGHT];
    const aRect& b = m_slices[BOTTOM];
    const aRect& in = m_slices[INTERIOR];

    const int32_t innerWidth = r.width - rt.width - l.width;
    const int32_t innerHeight = r.height - b.height - t.height;
    if (m_fillType == MODE_STRETCH && in.width > 0 && in.height > 0 && innerWidth > 0 && innerHeight > 0)
        drawSlice(INTERIOR, r.x + l.width, r.y + t.height, color,
                  static_cast<float>(innerWidth) / static_cast<float>(in.width),
                  static_cast<float>(innerHeight) / static_cast<float>(in.height));
    else if (m_fillType == MODE_TILE && innerWidth > 0 && innerHeight > 0)
        DrawImageTiled(m_image.get(), in, area(r.x + l.width, r.y + t.height, innerWidth, innerHeight), color);

    const int32_t topWidth = r.width - tl.width - tr.width;
    if (m_edgeTop != MODE_NONE && topWidth > 0)
        drawEdge(TOP, m_edgeTop, area(r.x + tl.width, r.y, topWidth, t.height), color, true);
    const int32_t bottomWidth = r.width - bl.width - br.width;
    if (m_edgeBottom != MODE_NONE && bottomWidth > 0)
        drawEdge(BOTTOM, m_edgeBottom, area(r.x + bl.width, r.y + r.height - b.height, bottomWidth, b.height), color,
                 true);
    const int32_t leftHeight = r.height - tl.height - bl.height;
    if (m_edgeLeft != MODE_NONE && leftHeight > 0)
        drawEdge(LEFT, m_edgeLeft, area(r.x, r.y + tl.height, l.width, leftHeight), color, false);
    const int32_t rightHeight = r.height - tr.height - br.height;
    if (m_edgeRight != MODE_NONE && rightHeight > 0)
        drawEdge(RIGHT, m_edgeRight, area(r.x + r.width - rt.width, r.y + tr.height, rt.width, rightHeight), color,
                 false);

    drawSlice(TOP_LEFT, r.x, r.y, color);
    drawSlice(TOP_RIGHT, r.x + r.width - tr.width, r.y, color);
    drawSlice(BOTTOM_LEFT, r.x, r.y + r.height - bl.height, color);
    drawSlice(BOTTOM_RIGHT, r.x + r.width - br.width, r.y + r.height - br.height, color);
}

} // namespace GUI
