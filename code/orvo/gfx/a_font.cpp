#include "orvo/gfx/a_font.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <mutex>

#include "orvo/app/a_file.h"
#include "orvo/gfx/a_fontdataloaderini.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_string.h"

namespace {

// The aGDI every font draws its underlines with, alive while any font is loaded.
struct SharedGDI {
    std::mutex mutex;
    int fonts = 0;
    std::unique_ptr<aGDI> gdi;
};

SharedGDI& shared()
{
    static SharedGDI s;
    return s;
}

bool isIni(const char* path)
{
    return string_toLower(file_getExt(path)) == "ini";
}

// x + 0.5 truncated toward zero into the signed 16-bit range.
float wholePixel(float v)
{
    return std::clamp(std::trunc(v + 0.5f), -32768.0f, 32767.0f);
}

// Wide printf into a string as long as the result needs; empty on failure.
std::wstring formatWide(const wchar_t* format, va_list args)
{
    wchar_t* buffer = nullptr;
    size_t length = 0;
    FILE* stream = open_wmemstream(&buffer, &length);
    if (!stream)
        return {};
    const int written = std::vfwprintf(stream, format, args);
    std::fclose(stream);
    std::wstring text = written > 0 && buffer ? std::wstring(buffer, length) : std::wstring();
    std::free(buffer);
    return text;
}

std::string formatNarrow(const char* format, va_list args)
{
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(nullptr, 0, format, args);
    std::string text;
    if (needed > 0) {
        text.resize(static_cast<size_t>(needed));
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    return text;
}

} // namespace

aFont::aFont(const char* path)
{
    (void)load(path);
}

aFont::~aFont()
{
    releaseShared();
}

aGDI* aFont::getSharedGDI()
{
    std::lock_guard lock(shared().mutex);
    return shared().gdi.get();
}

void aFont::releaseShared()
{
    if (!m_counted)
        return;
    m_counted = false;
    SharedGDI& s = shared();
    std::lock_guard lock(s.mutex);
    if (--s.fonts == 0)
        s.gdi.reset();
}

bool aFont::load(const char* path)
{
    if (!path)
        path = "";
    // NOTE: a font counts once however often it is loaded, so that the last
    // font destroyed always frees the shared aGDI.
    if (!m_counted) {
        SharedGDI& s = shared();
        std::lock_guard lock(s.mutex);
        if (s.fonts++ == 0)
            s.gdi = std::make_unique<aGDI>();
        m_counted = true;
    }

    m_loader.reset();
    m_texture.release();
    m_glyphs = nullptr;
    m_kerning.clear();
    m_size = 1.0f;
    m_nativeHeight = 0.0f;
    m_charSpacing = 0.0f;
    m_underlineOffset = 0.0f;
    m_underlineThickness = 1.0f;
    m_underlineColor = 0xFFFFFFFF;
    color = 0xFFFFFFFF;
    setRotation(0.0f);

    if (!isIni(path)) {
        a_log("aFont. No loader for font description: %s", path);
        setSize(m_size);
        return false;
    }
    auto loader = std::make_unique<aFontDataLoaderINI>(path);
    m_texture = loader->texture;
    m_size = loader->size;
    setRotation(loader->rotation);
    color = loader->color;
    m_nativeHeight = loader->nativeHeight;
    m_charSpacing = loader->charSpacing;
    m_underlineOffset = loader->underlineOffset;
    m_underlineThickness = loader->underlineThickness;
    m_underlineColor = loader->underlineColor;
    m_glyphs = &loader->glyphs;
    m_kerning = loader->kerning;
    m_loader = std::move(loader);
    setSize(m_size);
    return true;
}

void aFont::setSize(float size)
{
    m_size = size;
    if (size >= 0.0f)
        m_scale = size;
    else
        // A font without glyphs has no height to scale to.
        m_scale = m_nativeHeight > 0.0f ? -size / m_nativeHeight : 1.0f;
}

void aFont::setRotation(float angle)
{
    m_rotation = angle;
    m_cos = std::cos(angle);
    m_sin = std::sin(angle);
}

aRect aFont::getCharRect(uint32_t c) const
{
    const aFontGlyph* g = glyph(c);
    if (!g)
        return aRect();
    return aRect(g->x, g->y, static_cast<uint16_t>(g->width), static_cast<uint16_t>(g->height));
}

float aFont::getCharOffsetBefore(uint32_t c) const
{
    const aFontGlyph* g = glyph(c);
    return g ? g->before : 0.0f;
}

float aFont::getCharOffsetAfter(uint32_t c) const
{
    const aFontGlyph* g = glyph(c);
    return g ? g->after : 0.0f;
}

float aFont::kerningAmount(uint32_t previous, uint32_t c, const aFontGlyph& g) const
{
    if (!g.kerning)
        return 0.0f;
    const auto [from, to] = m_kerning.equal_range(c);
    for (auto it = from; it != to; ++it)
        if (it->second.first == previous)
            return it->second.amount;
    return 0.0f;
}

aTextSize aFont::getTextSize(std::wstring_view text) const
{
    float w = 0.0f;
    uint32_t previous = 0;
    const size_t last = text.empty() ? 0 : text.size() - 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<uint32_t>(text[i]);
        const aFontGlyph* g = glyph(c);
        if (g && !(m_underlineOffset != 0.0f && c == L'_')) {
            w += static_cast<float>(g->width);
            if (i > 0)
                w += g->before + kerningAmount(previous, c, *g);
            if (i != last)
                w += g->after + m_charSpacing;
        }
        previous = c;
    }
    return aTextSize{w * m_scale, m_nativeHeight * m_scale};
}

aTextSize aFont::getTextSizeA(std::string_view text) const
{
    return getTextSize(string_multiByteToWide(std::string(text), A_CP_ACP, 0));
}

void aFont::drawText(float x, float y, std::wstring_view text, uint32_t flags)
{
    // Writing runs along (cos, -sin) and "down" along (sin, cos): y grows downward.
    const float wx = m_cos, wy = -m_sin;
    const float dx = m_sin, dy = m_cos;
    float penX = x, penY = y;
    if (flags & (A_FONT_CENTER_X | A_FONT_RIGHT | A_FONT_CENTER_Y | A_FONT_BOTTOM)) {
        const aTextSize size = getTextSize(text);
        const float back = (flags & A_FONT_RIGHT) ? size.width : (flags & A_FONT_CENTER_X) ? size.width / 2 : 0.0f;
        const float up = (flags & A_FONT_BOTTOM) ? size.height : (flags & A_FONT_CENTER_Y) ? size.height / 2 : 0.0f;
        penX -= back * wx + up * dx;
        penY -= back * wy + up * dy;
    }
    const float scale[2] = {m_scale, m_scale};
    const float corner[2] = {0.0f, 0.0f}; // glyphs turn about their top-left
    aGDI* gdi = getSharedGDI();
    if (gdi)
        gdi->color = m_underlineColor != 0 ? m_underlineColor : color;

    bool underlineNext = false;
    float startX = 0.0f, startY = 0.0f;
    uint32_t previous = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<uint32_t>(text[i]);
        if (m_underlineOffset != 0.0f && c == L'_') {
            startX = penX;
            startY = penY;
            underlineNext = true;
        } else if (const aFontGlyph* g = glyph(c)) {
            if (i > 0) {
                const float advance = (g->before + kerningAmount(previous, c, *g)) * m_scale;
                penX += advance * wx;
                penY += advance * wy;
            }
            float position[2] = {penX, penY};
            if (flags & A_FONT_WHOLE_PIXEL) {
                position[0] = wholePixel(penX);
                position[1] = wholePixel(penY);
            }
            m_texture.draw(position,
                           aRect(g->x, g->y, static_cast<uint16_t>(g->width), static_cast<uint16_t>(g->height)), color,
                           scale, m_rotation, corner);
            const float advance = (static_cast<float>(g->width) + g->after + m_charSpacing) * m_scale;
            penX += advance * wx;
            penY += advance * wy;
            if (underlineNext) {
                const float d = m_underlineOffset * m_scale, t = m_underlineThickness;
                const float x0 = startX - 0.5f * wx + d * dx, y0 = startY - 0.5f * wy + d * dy;
                const float x1 = penX + 0.5f * wx + d * dx, y1 = penY + 0.5f * wy + d * dy;
                if (gdi)
                    gdi->drawQuad(x0, y0, x1, y1, x1 + t * dx, y1 + t * dy, x0 + t * dx, y0 + t * dy, true);
                underlineNext = false;
            }
        }
        previous = c;
    }
}

void aFont::drawTextA(float x, float y, std::string_view text, uint32_t flags)
{
    drawText(x, y, string_multiByteToWide(std::string(text), A_CP_ACP, 0), flags);
}

void aFont::drawTextFormat(float x, float y, uint32_t flags, const wchar_t* format, ...)
{
    if (!format)
        return;
    va_list args;
    va_start(args, format);
    const std::wstring text = formatWide(format, args);
    va_end(args);
    if (!text.empty())
        drawText(x, y, text, flags);
}

void aFont::drawTextFormatA(float x, float y, uint32_t flags, const char* format, ...)
{
    if (!format)
        return;
    va_list args;
    va_start(args, format);
    const std::string text = formatNarrow(format, args);
    va_end(args);
    if (!text.empty())
        drawTextA(x, y, text, flags);
}
