#include "game/support/glyph_shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/support/text_contrast.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_graphserver.h"

namespace kbtest {
namespace {

constexpr int32_t kWidth = 1024, kHeight = 768;

double lightness(uint32_t argb)
{
    const double y = relativeLuminance(argb);
    return y > 216.0 / 24389.0 ? 116.0 * std::cbrt(y) - 16.0 : y * 24389.0 / 27.0;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

struct Box {
    int32_t x0 = kWidth, y0 = kHeight, x1 = -1, y1 = -1; // inclusive
    bool empty() const { return x1 < x0; }
    void add(int32_t x, int32_t y)
    {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
    Box grown(int32_t by) const
    {
        return {std::max(0, x0 - by), std::max(0, y0 - by), std::min(kWidth - 1, x1 + by),
                std::min(kHeight - 1, y1 + by)};
    }
};

Box boxOf(const std::vector<uint8_t>& coverage)
{
    Box b;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x)
            if (coverage[size_t(y) * kWidth + x])
                b.add(x, y);
    return b;
}

// The pieces of `in` (pixels of `box` for which it holds), 4- or 8-connected;
// each pixel's piece number, -1 outside every piece.
template <class In> std::vector<int> pieces(const Box& box, bool eight, In in, int& count)
{
    const int32_t w = box.x1 - box.x0 + 1, hgt = box.y1 - box.y0 + 1;
    std::vector<int> piece(size_t(w) * hgt, -1);
    count = 0;
    std::vector<std::pair<int32_t, int32_t>> stack;
    for (int32_t y = 0; y < hgt; ++y)
        for (int32_t x = 0; x < w; ++x) {
            if (piece[size_t(y) * w + x] >= 0 || !in(box.x0 + x, box.y0 + y))
                continue;
            stack.push_back({x, y});
            piece[size_t(y) * w + x] = count;
            while (!stack.empty()) {
                const auto [px, py] = stack.back();
                stack.pop_back();
                for (int32_t dy = -1; dy <= 1; ++dy)
                    for (int32_t dx = -1; dx <= 1; ++dx) {
                        const int32_t nx = px + dx, ny = py + dy;
                        if ((!eight && dx != 0 && dy != 0) || nx < 0 || ny < 0 || nx >= w || ny >= hgt ||
                            piece[size_t(ny) * w + nx] >= 0 || !in(box.x0 + nx, box.y0 + ny))
                            continue;
                        piece[size_t(ny) * w + nx] = count;
                        stack.push_back({nx, ny});
                    }
            }
            ++count;
        }
    return piece;
}

} // namespace

int countersOf(wchar_t c)
{
    switch (c) {
    case L'8':
    case L'B':
    case L'%':
        return 2;
    // NOTE: the bar through "$" parts two counters of a pixel or two at the
    // HUD's size; one of them open is what tells it from an "S".
    case L'$':
    case L'0':
    case L'4':
    case L'6':
    case L'9':
    case L'A':
    case L'D':
    case L'O':
    case L'P':
    case L'Q':
    case L'R':
    case L'a':
    case L'b':
    case L'd':
    case L'e':
    case L'g':
    case L'o':
    case L'p':
    case L'q':
        return 1;
    default:
        return 0;
    }
}

TextShapes textShapes(GameHarness& h, const std::vector<uint32_t>& frame, aFont* font, float size, float x, float y,
                      const std::wstring& text, uint32_t flags)
{
    TextShapes out;
    if (!font || frame.size() != size_t(kWidth) * kHeight) {
        ADD_FAILURE() << "no font or no frame";
        return out;
    }
    // The pen where drawText starts, and each glyph's own pen: the text up
    // to and with it, less its width (the first glyph's offset before it
    // is not applied).
    font->setSize(size);
    const aTextSize whole = font->getTextSize(text);
    float penX = x, penY = y;
    if (flags & A_FONT_RIGHT)
        penX -= whole.width;
    else if (flags & A_FONT_CENTER_X)
        penX -= whole.width / 2;
    if (flags & A_FONT_BOTTOM)
        penY -= whole.height;
    else if (flags & A_FONT_CENTER_Y)
        penY -= whole.height / 2;
    const uint32_t own = flags & A_FONT_WHOLE_PIXEL;

    std::vector<std::vector<uint8_t>> shape(text.size());
    Box region;
    for (size_t i = 0; i < text.size(); ++i) {
        out.glyphs.push_back({text[i]});
        font->setSize(size);
        const float left = penX + font->getTextSize(text.substr(0, i + 1)).width -
                           float(font->getCharRect(text[i]).width) * font->getScale();
        shape[i] = textOnScreen(h, frame, silhouette(font, size, left, penY, std::wstring(1, text[i]), own)).ink;
        const Box b = boxOf(shape[i]);
        if (!b.empty())
            region.add(b.x0, b.y0), region.add(b.x1, b.y1);
    }
    if (region.empty())
        return out;
    region = region.grown(2);
    const std::vector<uint8_t> letters = textOnScreen(h, frame, ink(font, size, x, y, text, flags)).ink;

    // The lightness of the letters (their fully covered pixels) and of the
    // ground no glyph's shape touches; ink is what lies nearer the letters.
    std::vector<double> textLs, groundLs;
    for (int32_t py = region.y0; py <= region.y1; ++py)
        for (int32_t px = region.x0; px <= region.x1; ++px) {
            const size_t at = size_t(py) * kWidth + px;
            bool touched = false;
            for (const auto& s : shape)
                touched = touched || s[at] > 0;
            if (letters[at] >= 192)
                textLs.push_back(lightness(frame[at]));
            else if (!touched)
                groundLs.push_back(lightness(frame[at]));
        }
    out.textL = median(textLs);
    out.groundL = median(groundLs);
    const double middle = (out.textL + out.groundL) / 2.0;
    const bool darkText = out.textL < out.groundL;
    const auto isInk = [&](int32_t px, int32_t py) {
        const double l = lightness(frame[size_t(py) * kWidth + px]);
        return darkText ? l < middle : l > middle;
    };
    // Each ink pixel belongs to the glyph whose shape covers it most.
    const auto owner = [&](int32_t px, int32_t py) {
        const size_t at = size_t(py) * kWidth + px;
        int best = -1;
        uint8_t most = 0;
        for (size_t i = 0; i < shape.size(); ++i)
            if (shape[i][at] > most)
                most = shape[i][at], best = static_cast<int>(i);
        return best;
    };

    int count = 0;
    const std::vector<int> piece = pieces(region, true, isInk, count);
    const int32_t w = region.x1 - region.x0 + 1;
    std::vector<std::vector<bool>> owners(count, std::vector<bool>(text.size(), false));
    std::vector<std::vector<std::pair<int32_t, int32_t>>> inkOf(text.size());
    for (int32_t py = region.y0; py <= region.y1; ++py)
        for (int32_t px = region.x0; px <= region.x1; ++px) {
            const int p = piece[size_t(py - region.y0) * w + px - region.x0];
            const int g = p >= 0 ? owner(px, py) : -1;
            if (g < 0)
                continue;
            owners[p][g] = true;
            inkOf[g].push_back({px, py});
        }
    for (const auto& o : owners) {
        std::vector<size_t> glyphs;
        for (size_t i = 0; i < o.size(); ++i)
            if (o[i])
                glyphs.push_back(i);
        // A piece over several glyphs joins them in a chain.
        for (size_t a = 0; a + 1 < glyphs.size(); ++a)
            out.joins.push_back({glyphs[a], glyphs[a + 1]});
    }

    // Gaps between neighbours with ink.
    int previous = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        out.glyphs[i].inkPixels = static_cast<int>(inkOf[i].size());
        if (inkOf[i].empty())
            continue;
        if (previous >= 0) {
            int32_t nearest = kWidth;
            for (const auto& [ax, ay] : inkOf[size_t(previous)])
                for (const auto& [bx, by] : inkOf[i])
                    nearest = std::min(nearest, std::max(std::abs(ax - bx), std::abs(ay - by)));
            out.smallestGap = out.smallestGap < 0 ? nearest - 1 : std::min(out.smallestGap, nearest - 1);
        }
        previous = static_cast<int>(i);
    }

    // Counters: the ground in a glyph's box that a flood from the box's edge
    // (4-connected, between its own ink) does not reach.
    for (size_t i = 0; i < text.size(); ++i) {
        if (inkOf[i].empty())
            continue;
        Box own;
        for (const auto& [px, py] : inkOf[i])
            own.add(px, py);
        own = own.grown(1);
        const int32_t ow = own.x1 - own.x0 + 1;
        const auto wall = [&](int32_t px, int32_t py) { return isInk(px, py) && owner(px, py) == static_cast<int>(i); };
        int groundPieces = 0;
        const std::vector<int> ground = pieces(
            own, false, [&](int32_t px, int32_t py) { return !wall(px, py); }, groundPieces);
        std::vector<bool> outside(size_t(groundPieces), false);
        std::vector<int> size(size_t(groundPieces), 0);
        for (int32_t py = own.y0; py <= own.y1; ++py)
            for (int32_t px = own.x0; px <= own.x1; ++px) {
                const int p = ground[size_t(py - own.y0) * ow + px - own.x0];
                if (p < 0)
                    continue;
                ++size[size_t(p)];
                if (px == own.x0 || px == own.x1 || py == own.y0 || py == own.y1)
                    outside[size_t(p)] = true;
            }
        for (int p = 0; p < groundPieces; ++p)
            if (!outside[size_t(p)]) {
                GlyphShape& g = out.glyphs[i];
                g.smallestHole = g.holes == 0 ? size[size_t(p)] : std::min(g.smallestHole, size[size_t(p)]);
                ++g.holes;
            }
    }
    return out;
}

std::string describeShapes(const TextShapes& s)
{
    std::string out = "\"";
    for (const GlyphShape& g : s.glyphs)
        out += static_cast<char>(g.c < 128 ? g.c : '?');
    out += "\":";
    for (const auto& [a, b] : s.joins) {
        out += " joined ";
        out += static_cast<char>(s.glyphs[a].c < 128 ? s.glyphs[a].c : '?');
        out += "-";
        out += static_cast<char>(s.glyphs[b].c < 128 ? s.glyphs[b].c : '?');
    }
    char line[96];
    for (const GlyphShape& g : s.glyphs)
        if (countersOf(g.c) > 0) {
            std::snprintf(line, sizeof line, " %c:%d/%d holes (smallest %d px)", static_cast<char>(g.c), g.holes,
                          countersOf(g.c), g.smallestHole);
            out += line;
        }
    std::snprintf(line, sizeof line, "; smallest gap %d px; L* letters %.0f, ground %.0f", s.smallestGap, s.textL,
                  s.groundL);
    return out + line;
}

} // namespace kbtest
