// Untextured single-colour 2D primitives (rectangles, quadrilaterals,
// ellipses and rings, outlined or filled) drawn straight through the graph
// server's device inside a frame, in pixels of the render target. Every user
// owns its own object; colour and segments are set by the owner directly.
// Main thread only.
#pragma once

#include <cstdint>

#include "orvo/platform/gpu/a_gputypes.h"
#include "orvo/util/a_geometry.h"

class aGraphServer;

class aGDI {
public:
    static constexpr uint32_t kVertexCount = 400;

    aGDI();

    void drawRect(float x, float y, float width, float height, bool filled);
    void drawRect16(const aRect& rect, bool filled);
    // Corners in drawing order.
    void drawQuad(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3, bool filled);
    void drawEllipse(float cx, float cy, float rx, float ry, bool filled);
    // The band between two ellipses; always filled.
    void drawRing(float cx1, float cy1, float rx1, float ry1, float cx2, float cy2, float rx2, float ry2);

    aColor color = 0xFFFFFFFF;
    // Of ellipses and rings; more than the vertices hold are drawn as many as fit.
    uint16_t segments = 50;

private:
    void set(uint32_t index, float x, float y);
    void draw(aGpuPrimitive type, uint32_t primitives);
    // Point k of n on the ellipse.
    void ellipsePoint(uint32_t index, float cx, float cy, float rx, float ry, uint32_t k, uint32_t n);

    aGraphServer* m_graphServer = nullptr;
    aGpuVertex m_vertices[kVertexCount];
};
