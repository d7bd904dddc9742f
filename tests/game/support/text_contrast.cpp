#include "game/support/text_contrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/app/game.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/gfx/a_graphserver.h"

namespace kbtest {
namespace {

constexpr int32_t kWidth = 1024, kHeight = 768;
constexpr uint8_t kFullInk = 192;
constexpr size_t kFewest = 12;

double quantile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0.0;
    const size_t at = std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(at), v.end());
    return v[at];
}

struct Sides {
    std::vector<double> text, around;
};

Sides sides(const TextOnScreen& t)
{
    Sides s;
    if (t.frame.size() != size_t(kWidth) * kHeight || t.ink.size() != t.frame.size())
        return s;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            const size_t at = size_t(y) * kWidth + x;
            if (t.ink[at] >= kFullInk) {
                s.text.push_back(relativeLuminance(t.frame[at]));
                continue;
            }
            if (t.ink[at] > 0)
                continue;
            bool nextToInk = false;
            for (int32_t dy = -1; dy <= 1 && !nextToInk; ++dy)
                for (int32_t dx = -1; dx <= 1 && !nextToInk; ++dx) {
                    const int32_t nx = x + dx, ny = y + dy;
                    nextToInk =
                        nx >= 0 && ny >= 0 && nx < kWidth && ny < kHeight && t.ink[size_t(ny) * kWidth + nx] > 0;
                }
            if (nextToInk)
                s.around.push_back(relativeLuminance(t.frame[at]));
        }
    return s;
}

} // namespace

std::function<void()> ink(aFont* font, float size, float x, float y, const std::wstring& text, uint32_t flags)
{
    return [=] {
        if (!font)
            return;
        font->setSize(size);
        font->color = 0xFFFFFFFF;
        font->drawText(x, y, text, flags);
    };
}

std::function<void()> silhouette(aFont* font, float size, float x, float y, const std::wstring& text, uint32_t flags)
{
    const std::function<void()> letters = ink(font, size, x, y, text, flags);
    return [letters] {
        aGraphServer* graph = cGame::get()->getGraphServer();
        const uint32_t previous = graph->getBlendMode();
        graph->setBlendMode(A_BLEND_COLOR_DIFFUSE);
        letters();
        graph->setBlendMode(previous);
    };
}

double relativeLuminance(uint32_t argb)
{
    double l = 0.0;
    const double weight[3] = {0.2126, 0.7152, 0.0722};
    for (int i = 0; i < 3; ++i) {
        const double v = ((argb >> (16 - 8 * i)) & 0xFF) / 255.0;
        l += weight[i] * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
    }
    return l;
}

TextOnScreen textOnScreen(GameHarness& h, const std::function<void()>& draw)
{
    return textOnScreen(h, h.screenshot(), draw);
}

TextOnScreen textOnScreen(GameHarness& h, const std::vector<uint32_t>& frame, const std::function<void()>& draw)
{
    TextOnScreen out;
    out.frame = frame;
    // Over black twice, without the text and with it: what the scene's end
    // adds (the pointer) is in both and is no ink.
    std::vector<uint32_t> passes[2];
    for (int pass = 0; pass < 2; ++pass) {
        aGraphServer* graph = h.game().getGraphServer();
        if (!graph || !graph->beginScene()) {
            ADD_FAILURE() << "no scene to draw the ink in";
            return out;
        }
        aGDI gdi;
        gdi.color = 0xFF000000;
        gdi.drawRect(0.0f, 0.0f, float(kWidth), float(kHeight), true);
        if (pass == 1)
            draw();
        graph->endScene();
        passes[pass] = h.screenshot();
    }
    const auto level = [](uint32_t c) { return std::max({(c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF}); };
    out.ink.resize(passes[1].size());
    for (size_t i = 0; i < out.ink.size() && i < passes[0].size(); ++i)
        out.ink[i] = passes[0][i] == passes[1][i] ? 0 : static_cast<uint8_t>(level(passes[1][i]));
    return out;
}

double textContrast(const TextOnScreen& t)
{
    const Sides s = sides(t);
    if (s.text.size() < kFewest || s.around.size() < kFewest)
        return 0.0;
    const double text = quantile(s.text, 0.5);
    const bool light = text > quantile(s.around, 0.5);
    const double around = quantile(s.around, light ? 0.75 : 0.25);
    return (std::max(text, around) + 0.05) / (std::min(text, around) + 0.05);
}

std::string describeContrast(const TextOnScreen& t)
{
    const Sides s = sides(t);
    char out[160];
    std::snprintf(out, sizeof out, "%zu text pixels (median L %.3f), %zu around (quartiles L %.3f, %.3f): %.2f:1",
                  s.text.size(), quantile(s.text, 0.5), s.around.size(), quantile(s.around, 0.25),
                  quantile(s.around, 0.75), textContrast(t));
    return out;
}

} // namespace kbtest
