#include "orvo/platform/gpu/a_gpufont.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <vector>

#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/platform/gpu/a_gpurecord.h"
#include "orvo/platform/gpu/a_gpusprite.h"
#include "orvo/util/a_log.h"

namespace {

constexpr uint32_t kAtlasSize = 512;

std::string& folderSlot()
{
    static std::string folder = "/usr/share/fonts/truetype/liberation2";
    return folder;
}

} // namespace

struct aGpuFont::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Face()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

void aGpuFont::setFontFolder(const std::string& folder)
{
    folderSlot() = folder;
}
const std::string& aGpuFont::fontFolder()
{
    return folderSlot();
}

aGpuFont::aGpuFont(aGpuDevice& device, const aGpuFontDesc& desc) : m_device(device), m_desc(desc)
{
}

aGpuFont::~aGpuFont()
{
    // Texts still gathered are drawn while their glyphs are there.
    if (m_batch)
        m_batch->flush();
}

aGpuResult aGpuFont::create(aGpuDevice& device, const aGpuFontDesc& desc, std::unique_ptr<aGpuFont>& out)
{
    if (desc.height == 0 || desc.height < -1000 || desc.height > 1000)
        return aGpuResult::InvalidCall;
    std::unique_ptr<aGpuFont> font(new aGpuFont(device, desc));
    font->m_face = std::make_unique<Face>();
    const std::string path =
        fontFolder() + (desc.weight >= 600 ? "/LiberationSans-Bold.ttf" : "/LiberationSans-Regular.ttf");
    if (FT_Init_FreeType(&font->m_face->library) != 0)
        return aGpuResult::NotAvailable;
    if (FT_New_Face(font->m_face->library, path.c_str(), 0, &font->m_face->face) != 0) {
        a_log("gpu. Font face '%s' not found (%s)", desc.faceName.c_str(), path.c_str());
        return aGpuResult::NotFound;
    }
    // A negative height asks for the character height, a positive one for
    // the whole cell (ascent plus descent).
    FT_Size_RequestRec request = {};
    request.type = desc.height < 0 ? FT_SIZE_REQUEST_TYPE_NOMINAL : FT_SIZE_REQUEST_TYPE_CELL;
    request.height = static_cast<FT_Long>(desc.height < 0 ? -desc.height : desc.height) * 64;
    if (FT_Request_Size(font->m_face->face, &request) != 0)
        return aGpuResult::InvalidCall;
    const FT_Size_Metrics& metrics = font->m_face->face->size->metrics;
    font->m_ascender = static_cast<int>((metrics.ascender + 63) >> 6);
    font->m_lineHeight = static_cast<int>((metrics.height + 63) >> 6);
    const aGpuResult made =
        device.createTexture(kAtlasSize, kAtlasSize, aGpuFormat::A8R8G8B8, aGpuUsage::None, font->m_atlas);
    if (made != aGpuResult::Ok)
        return made;
    font->m_batch.reset(new aGpuSprite(device));
    out = std::move(font);
    return aGpuResult::Ok;
}

const aGpuFont::Glyph* aGpuFont::glyph(uint32_t code)
{
    auto found = m_glyphs.find(code);
    if (found != m_glyphs.end())
        return &found->second;
    FT_Face face = m_face->face;
    if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0)
        return nullptr;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    Glyph g;
    g.width = static_cast<int16_t>(bitmap.width);
    g.height = static_cast<int16_t>(bitmap.rows);
    g.left = static_cast<int16_t>(face->glyph->bitmap_left);
    g.top = static_cast<int16_t>(face->glyph->bitmap_top);
    g.advance = static_cast<int16_t>((face->glyph->advance.x + 32) >> 6);
    if (g.width > 0 && g.height > 0 && bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        if (m_penX + g.width + 1 > static_cast<int>(kAtlasSize)) {
            m_penX = 1;
            m_penY += m_rowHeight + 1;
            m_rowHeight = 0;
        }
        if (m_penY + g.height + 1 > static_cast<int>(kAtlasSize))
            return nullptr; // the glyph texture is full: such characters are skipped
        g.x = static_cast<int16_t>(m_penX);
        g.y = static_cast<int16_t>(m_penY);
        aGpuLockedRect locked;
        const aGpuRect area{g.x, g.y, g.x + g.width, g.y + g.height};
        if (m_atlas->lock(locked, &area) == aGpuResult::Ok) {
            for (int row = 0; row < g.height; ++row) {
                auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + row * locked.pitch);
                const uint8_t* in = bitmap.buffer + row * bitmap.pitch;
                for (int col = 0; col < g.width; ++col)
                    out[col] = (static_cast<uint32_t>(in[col]) << 24) | 0x00FFFFFFu;
            }
            m_atlas->unlock();
        }
        m_penX += g.width + 1;
        m_rowHeight = std::max<int>(m_rowHeight, g.height);
    } else {
        g.width = g.height = 0;
    }
    return &m_glyphs.emplace(code, g).first->second;
}

aGpuResult aGpuFont::drawText(const char* text, int count, const aGpuRect& rect, uint32_t format, uint32_t argb,
                              int* height)
{
    aGpuResult result = m_device.registry()->takeFailure(aGpuCall::FontDraw);
    if (result == aGpuResult::Ok && (!text || !m_device.onMainThread() || !m_device.inScene()))
        result = aGpuResult::InvalidCall;
    if (m_device.tracing()) {
        aGpuRecord record;
        record.call = aGpuCall::FontDraw;
        record.result = result;
        record.object = this;
        record.u[0] = static_cast<uint32_t>(rect.left);
        record.u[1] = static_cast<uint32_t>(rect.top);
        record.u[2] = format;
        record.u[3] = argb;
        if (text)
            record.vertices.assign(text, text + (count < 0 ? std::strlen(text) : static_cast<size_t>(count)));
        m_device.trace(record);
    }
    if (result != aGpuResult::Ok)
        return result;

    const size_t length = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
    if (height)
        *height = m_lineHeight;
    // Glyphs first: a new one is written into the glyph texture before any quad uses it.
    std::vector<std::pair<int, const Glyph*>> placed;
    placed.reserve(length);
    int penX = rect.left;
    for (size_t i = 0; i < length; ++i) {
        const Glyph* g = glyph(static_cast<uint8_t>(text[i]));
        if (!g)
            continue;
        if (g->width > 0)
            placed.emplace_back(penX, g);
        penX += g->advance;
    }
    if (placed.empty())
        return aGpuResult::Ok;

    // Text is drawn alpha-blended in its colour whatever the states are;
    // the caller's states come back afterwards.
    const aGpuRenderState renderStates[] = {aGpuRenderState::AlphaBlendEnable, aGpuRenderState::SrcBlend,
                                            aGpuRenderState::DestBlend, aGpuRenderState::AlphaTestEnable};
    const uint32_t wanted[] = {1, static_cast<uint32_t>(aGpuBlend::SrcAlpha),
                               static_cast<uint32_t>(aGpuBlend::InvSrcAlpha), 0};
    const aGpuStageState stageStates[] = {
        aGpuStageState::ColorOp,   aGpuStageState::ColorArg1, aGpuStageState::ColorArg2, aGpuStageState::AlphaOp,
        aGpuStageState::AlphaArg1, aGpuStageState::AlphaArg2, aGpuStageState::MinFilter, aGpuStageState::MagFilter};
    const uint32_t modulate = static_cast<uint32_t>(aGpuTextureOp::Modulate);
    const uint32_t tex = static_cast<uint32_t>(aGpuTextureArg::Texture);
    const uint32_t cur = static_cast<uint32_t>(aGpuTextureArg::Current);
    const uint32_t point = static_cast<uint32_t>(aGpuFilter::Point);
    const uint32_t wantedStage[] = {modulate, tex, cur, modulate, tex, cur, point, point};
    uint32_t savedRender[4], savedStage[8];
    for (int i = 0; i < 4; ++i) {
        savedRender[i] = m_device.getRenderState(renderStates[i]);
        m_device.setRenderState(renderStates[i], wanted[i]);
    }
    for (int i = 0; i < 8; ++i) {
        savedStage[i] = m_device.getTextureStageState(0, stageStates[i]);
        m_device.setTextureStageState(0, stageStates[i], wantedStage[i]);
    }
    const int baseline = rect.top + m_ascender;
    const float s = 1.0f / kAtlasSize;
    for (const auto& [x, g] : placed) {
        const float x0 = static_cast<float>(x + g->left), y0 = static_cast<float>(baseline - g->top);
        const float x1 = x0 + g->width, y1 = y0 + g->height;
        const float u0 = g->x * s, v0 = g->y * s, u1 = (g->x + g->width) * s, v1 = (g->y + g->height) * s;
        const aGpuVertex quad[4] = {{x0, y0, 0.0f, 1.0f, argb, u0, v0},
                                    {x1, y0, 0.0f, 1.0f, argb, u1, v0},
                                    {x0, y1, 0.0f, 1.0f, argb, u0, v1},
                                    {x1, y1, 0.0f, 1.0f, argb, u1, v1}};
        m_batch->gather(m_atlas.get(), quad, false);
    }
    for (int i = 0; i < 4; ++i)
        m_device.setRenderState(renderStates[i], savedRender[i]);
    for (int i = 0; i < 8; ++i)
        m_device.setTextureStageState(0, stageStates[i], savedStage[i]);
    return aGpuResult::Ok;
}
