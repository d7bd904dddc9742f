// aImage: drawing through the graph server's sprite batch.
#include <cmath>

#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imageshared.h"
#include "orvo/platform/gpu/a_gpusprite.h"

namespace {

// The colour times the graph server's global colour (alpha, red, green, blue; 0..255 each).
uint32_t modulate(uint32_t color, const int32_t* global)
{
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
        const int shift = 24 - 8 * i;
        const uint32_t channel = (color >> shift) & 0xFF;
        const int32_t factor = global[i] < 0 ? 0 : global[i] > 255 ? 255 : global[i];
        out |= (channel * static_cast<uint32_t>(factor) / 255) << shift;
    }
    return out;
}

// strength x alpha, truncated and kept within 0..255.
uint32_t haloAlpha(float strength, uint32_t alpha)
{
    const float value = strength * static_cast<float>(alpha);
    if (!(value > 0.0f))
        return 0;
    return value >= 255.0f ? 255u : static_cast<uint32_t>(value);
}

struct Placement {
    float x = 0.0f, y = 0.0f; // top-left on screen
    float scaleX = 1.0f, scaleY = 1.0f;
    float centreX = 0.0f, centreY = 0.0f; // rotation centre, scaled pixels
    float rotation = 0.0f;
};

void spriteDraw(aGraphServer& graph, aGpuTexture* texture, const aRect& source, const Placement& at, uint32_t color)
{
    aGpuSprite* sprite = graph.getSprite();
    if (!sprite || !texture)
        return;
    const aGpuRect rect{source.x, source.y, source.x + source.width, source.y + source.height};
    const aGpuVec2 scale{at.scaleX, at.scaleY}, centre{at.centreX, at.centreY}, position{at.x, at.y};
    sprite->draw(texture, &rect, &scale, &centre, at.rotation, &position, color);
}

} // namespace

void aImage::drawAt(int16_t x, int16_t y, aColor color, const float* scale, float rotation, const float* centre)
{
    drawAtF(x, y, color, scale, rotation, centre);
}

void aImage::drawAtF(float x, float y, aColor color, const float* scale, float rotation, const float* centre)
{
    if (!m_record || !m_record->hasTexture() || !m_surface)
        return;
    const float position[2] = {x, y};
    draw(position, aRect(0, 0, m_surface->imageWidth, m_surface->imageHeight), color, scale, rotation, centre, false);
}

void aImage::drawRegionAt(int16_t x, int16_t y, const aRect& source, aColor color, const float* scale, float rotation,
                          const float* centre)
{
    const float position[2] = {static_cast<float>(x), static_cast<float>(y)};
    draw(position, source, color, scale, rotation, centre, true);
}

void aImage::draw(const float* position, const aRect& source, aColor color, const float* scale, float rotation,
                  const float* centre, bool regionMode)
{
    aGraphServer* graph = image_graphServer();
    if (!graph || !position || !m_record || !m_record->hasTexture() || !m_surface || source.width == 0 ||
        source.height == 0)
        return;
    const uint32_t modulated = modulate(color, graph->getColor());
    Placement at;
    at.x = position[0];
    at.y = position[1];
    at.scaleX = scale ? scale[0] : 1.0f;
    at.scaleY = scale ? scale[1] : 1.0f;
    at.rotation = rotation;
    at.centreX = centre ? centre[0] * at.scaleX : source.width * at.scaleX * 0.5f;
    at.centreY = centre ? centre[1] * at.scaleY : source.height * at.scaleY * 0.5f;
    if (m_effect != EFFECT_BLOOM) {
        spriteDraw(*graph, m_surface->texture.get(), source, at, modulated);
        return;
    }

    // Bloom: the blurred copy as a halo under the picture and added over it.
    const Surface& halo = m_record->surfaces[SURFACE_BLURRED];
    const Surface& plain = m_record->surfaces[SURFACE_PLAIN];
    const int32_t radius = m_record->bloom ? m_record->bloom->radius : 0;
    const float strength = m_record->bloom ? m_record->bloom->strength : 1.0f;
    const uint32_t haloColor = (modulated & 0x00FFFFFFu) | (haloAlpha(strength, modulated >> 24) << 24);
    const float r = static_cast<float>(radius);
    Placement haloAt = at;
    aRect haloSource;
    if (regionMode) {
        haloSource = aRect(static_cast<int16_t>(source.x + radius), static_cast<int16_t>(source.y + radius),
                           source.width, source.height);
        // With a centre it is the picture's; without one the middle of the same-sized region.
    } else {
        haloSource = aRect(0, 0, halo.imageWidth, halo.imageHeight);
        haloAt.x = at.x - r * at.scaleX;
        haloAt.y = at.y - r * at.scaleY;
        haloAt.centreX = centre ? (r + centre[0]) * at.scaleX : halo.imageWidth * at.scaleX * 0.5f;
        haloAt.centreY = centre ? (r + centre[1]) * at.scaleY : halo.imageHeight * at.scaleY * 0.5f;
    }
    const uint32_t blend = graph->getBlendMode();
    if (halo.texture)
        spriteDraw(*graph, halo.texture.get(), haloSource, haloAt, haloColor);
    graph->setBlendMode(blend);
    spriteDraw(*graph, plain.texture.get(), source, at, modulated);
    graph->setBlendMode(A_BLEND_ADDITIVE);
    if (halo.texture)
        spriteDraw(*graph, halo.texture.get(), haloSource, haloAt, haloColor);
    graph->setBlendMode(blend);
}
