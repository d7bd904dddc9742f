// The sprite batch through which every image is drawn: begin(), any number
// of draw() calls, end(). Quads of the same texture are gathered and drawn
// in one call; the batch is drawn when the texture changes, at end(), and by
// the device before any other draw or state change, so the picture is the
// same as if every sprite were drawn at once.
//
// draw() places the source rectangle's point p (pixels, 0,0 at its top-left)
// at R(p * scale - centre) + centre + translation, R turning by `rotation`
// radians (positive turns counter-clockwise on screen, y down). A negative
// scale mirrors the picture about the translation point.
//
// Sprites draw with the device's current render and stage-0 states (blend,
// colour operation, alpha test, filter); the second stage is not used.
// Magnified or turned sprites drawn with linear filtering keep to their
// source rectangle: frames of a packed strip draw without seams. A batch
// whose sprites all land texel for pixel (unscaled, unturned, at whole
// pixels) is drawn unfiltered: filtering would give the same picture.
// Made by aGpuDevice::createSprite; main thread only; must be destroyed
// before its device.
#pragma once

#include <cstdint>
#include <vector>

#include "orvo/platform/gpu/a_gpuresult.h"
#include "orvo/platform/gpu/a_gputypes.h"

class aGpuDevice;
class aGpuTexture;

class aGpuSprite {
public:
    ~aGpuSprite();
    aGpuSprite(const aGpuSprite&) = delete;
    aGpuSprite& operator=(const aGpuSprite&) = delete;

    aGpuResult begin();
    // Null source: the whole texture. Null scale: 1, 1. Null centre: 0, 0.
    // Null translation: 0, 0. Outside begin/end the sprite is drawn at once.
    aGpuResult draw(aGpuTexture* texture, const aGpuRect* source, const aGpuVec2* scale, const aGpuVec2* centre,
                    float rotation, const aGpuVec2* translation, uint32_t argb);
    aGpuResult end();
    bool isOpen() const { return m_open; }

    // Draws what is gathered (the device calls this before other work).
    void flush();

    // Where draw() would put the four corners (top-left, top-right,
    // bottom-left, bottom-right) and their texture coordinates. With
    // `filtered` (linear filtering), a magnified or turned sprite samples from
    // up to half a texel inside its source, so nothing outside it blends in.
    // True when the quad lands texel for pixel: each pixel it covers shows
    // one texel, texel centre on pixel centre, so filtering cannot change it.
    static bool transform(const aGpuTexture& texture, const aGpuRect& source, aGpuVec2 scale, aGpuVec2 centre,
                          float rotation, aGpuVec2 translation, uint32_t argb, aGpuVertex out[4],
                          bool filtered = false);

private:
    friend class aGpuDevice;
    explicit aGpuSprite(aGpuDevice& device);

    aGpuDevice& m_device;
    bool m_open = false;
    aGpuTexture* m_texture = nullptr;
    std::vector<aGpuVertex> m_vertices;
    bool m_texelForPixel = true; // every gathered quad lands texel for pixel
};
