// The sprite batch through which every image is drawn: begin(), any number
// of draw() calls, end(). Sprites are gathered and drawn as few calls as the
// picture allows: one call per texture, where sprites of other textures in
// between do not overlap them. A sprite whose pixels could meet those of a
// sprite of another texture drawn after its texture's last call keeps its
// place behind it, so the picture is the same as if every sprite were drawn
// at once, in order. What is gathered is drawn at end() and by the device
// before any other draw, with the states and viewport it was gathered under.
//
// draw() places the source rectangle's point p (pixels, 0,0 at its top-left)
// at R(p * scale - centre) + centre + translation, R turning by `rotation`
// radians (positive turns counter-clockwise on screen, y down). A negative
// scale mirrors the picture about the translation point.
//
// Sprites draw with the device's current render and stage-0 states (blend,
// colour operation, alpha test, filter); the second stage is not used.
// Magnified or turned sprites drawn with linear filtering keep to their
// source rectangle: frames of a packed strip draw without seams. A call
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

    // Draws what is gathered (through the device, with the states it was gathered under).
    void flush();
    // Quads gathered; calls they would take if drawn now.
    uint32_t gatheredQuads() const;
    uint32_t gatheredCalls() const { return static_cast<uint32_t>(m_used); }
    // The pixels the gathered quads may touch.
    aGpuPixelBox gatheredBounds() const;

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
    friend class aGpuFont;
    explicit aGpuSprite(aGpuDevice& device);

    // Gathers one quad made elsewhere (the font's glyphs), drawn when the batch is.
    void gather(aGpuTexture* texture, const aGpuVertex quad[4], bool texelForPixel);

    // Quads of one texture, drawn in one call.
    struct Group {
        aGpuTexture* texture = nullptr;
        std::vector<aGpuVertex> vertices;
        std::vector<aGpuPixelBox> boxes; // one a quad
        aGpuPixelBox bounds;             // of them all
        bool texelForPixel = true;       // every quad lands texel for pixel
    };

    // The group a quad of `texture` touching `box` joins: the texture's last
    // group when no quad drawn after it meets the box, else a new one.
    Group& groupFor(aGpuTexture* texture, const aGpuPixelBox& box);
    // Draws the groups in order and empties them (the device calls it).
    void drawGathered();

    aGpuDevice& m_device;
    bool m_open = false;
    std::vector<Group> m_groups; // the first m_used gather; the rest keep their storage
    size_t m_used = 0;
};
