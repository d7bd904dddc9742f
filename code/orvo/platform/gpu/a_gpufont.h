// A text font drawn through a sprite batch of its own, for the frame-rate
// line ("__system__": 15 pixels, bold): texts in a row go in one call, drawn
// when something else is. Faces come from the Liberation fonts
// (Sans for any face name; Bold from weight 600 up), rendered with FreeType
// into a glyph texture on first use. Narrow text is read as Latin-1.
// Made by aGpuDevice::createFont; main thread only; destroyed before the
// device.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "orvo/platform/gpu/a_gpuresult.h"
#include "orvo/platform/gpu/a_gputexture.h"
#include "orvo/platform/gpu/a_gputypes.h"

class aGpuDevice;
class aGpuSprite;

class aGpuFont {
public:
    ~aGpuFont();
    aGpuFont(const aGpuFont&) = delete;
    aGpuFont& operator=(const aGpuFont&) = delete;

    // Where the faces are looked for; tests point it elsewhere.
    static void setFontFolder(const std::string& folder);
    static const std::string& fontFolder();

    // Call shape of a text pass; drawing works without them as well.
    aGpuResult begin() { return aGpuResult::Ok; }
    aGpuResult end() { return aGpuResult::Ok; }

    // Writes `count` characters of `text` (-1: up to the terminator) from
    // the top-left of `rect` in the colour. Only left/top placement exists
    // (format 0). Answers the height of the text drawn in `height`.
    aGpuResult drawText(const char* text, int count, const aGpuRect& rect, uint32_t format, uint32_t argb,
                        int* height = nullptr);

    int lineHeight() const { return m_lineHeight; }
    const aGpuFontDesc& desc() const { return m_desc; }

private:
    friend class aGpuDevice;
    struct Glyph {
        int16_t x = 0, y = 0; // place in the glyph texture
        int16_t width = 0, height = 0;
        int16_t left = 0, top = 0; // bitmap offset from the pen on the baseline
        int16_t advance = 0;
    };
    struct Face;

    aGpuFont(aGpuDevice& device, const aGpuFontDesc& desc);
    static aGpuResult create(aGpuDevice& device, const aGpuFontDesc& desc, std::unique_ptr<aGpuFont>& out);
    const Glyph* glyph(uint32_t code);

    aGpuDevice& m_device;
    aGpuFontDesc m_desc;
    std::unique_ptr<Face> m_face;
    std::unique_ptr<aGpuTexture> m_atlas;
    std::unique_ptr<aGpuSprite> m_batch;
    std::unordered_map<uint32_t, Glyph> m_glyphs;
    int m_penX = 1, m_penY = 1, m_rowHeight = 0;
    int m_ascender = 0;
    int m_lineHeight = 0;
};
