#include "orvo/gfx/a_font.h"

#include <cmath>
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
