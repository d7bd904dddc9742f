#include "orvo/gfx/a_gdi.h"

#include <algorithm>
#include <cmath>

#include "orvo/app/a_application.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/util/a_log.h"

namespace {

constexpr float kTwoPi = 6.2831853f;

} // namespace

aGDI::aGDI()
{
    for (aGpuVertex& v : m_vertices) {
        v.z = 0.0f;
        v.rhw = 1.0f;
    }
    aApplication* app = aApplication::get();
    if (!app) {
        a_log("aGDI. Error, aApplication object not created!");
        return;
    }
    m_graphServer = app->getGraphServer();
    if (!m_graphServer)
        a_log("aGDI. Error, aGraphServer object not created!");
}

void aGDI::set(uint32_t index, float x, float y)
{
    m_vertices[index].x = x;
    m_vertices[index].y = y;
    m_vertices[index].color = color;
}

void aGDI::draw(aGpuPrimitive type, uint32_t primitives)
{
    aGpuDevice* device = m_graphServer ? m_graphServer->getDevice() : nullptr;
    if (!device || primitives == 0)
        return;
    device->setVertexFormat(aGpuVertexFormat::Tex1);
    device->setTexture(0, nullptr);
    device->drawPrimitiveUP(type, primitives, m_vertices, sizeof(aGpuVertex));
}

void aGDI::ellipsePoint(uint32_t index, float cx, float cy, float rx, float ry, uint32_t k, uint32_t n)
{
    const float step = kTwoPi / static_cast<float>(n);
    const float angle = static_cast<float>(k) * step;
    set(index, cx + std::cos(angle) * rx, cy + std::sin(angle) * ry);
}

void aGDI::drawRect(float x, float y, float w, float h, bool filled)
{
    if (filled) {
        set(0, x, y);
        set(1, x + w, y);
        set(2, x, y + h);
        set(3, x + w, y + h);
        draw(aGpuPrimitive::TriangleStrip, 2);
        return;
    }
    set(0, x, y);
    set(1, x + w - 1.0f, y);
    set(2, x + w - 1.0f, y + h - 1.0f);
    set(3, x, y + h - 1.0f);
    set(4, x, y);
    draw(aGpuPrimitive::LineStrip, 4);
}

void aGDI::drawRect16(const aRect& rect, bool filled)
{
    drawRect(rect.x, rect.y, rect.width, rect.height, filled);
}

void aGDI::drawQuad(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3, bool filled)
{
    if (filled) {
        set(0, x0, y0);
        set(1, x1, y1);
        set(2, x3, y3);
        set(3, x2, y2);
        draw(aGpuPrimitive::TriangleStrip, 2);
        return;
    }
    set(0, x0, y0);
    set(1, x1, y1);
    set(2, x2, y2);
    set(3, x3, y3);
    set(4, x0, y0);
    draw(aGpuPrimitive::LineStrip, 4);
}

void aGDI::drawEllipse(float cx, float cy, float rx, float ry, bool filled)
{
    // A fan or strip of n points needs n + 1 (filled: n + 2) vertices.
    const uint32_t n = std::min<uint32_t>(filled ? (segments > 0 ? segments - 1u : 0u) : segments,
                                          filled ? kVertexCount - 2 : kVertexCount - 1);
    if (n < (filled ? 2u : 1u))
        return;
    if (filled) {
        set(0, cx, cy);
        for (uint32_t k = 0; k < n; ++k)
            ellipsePoint(k + 1, cx, cy, rx, ry, k, n);
        m_vertices[n + 1] = m_vertices[1];
        draw(aGpuPrimitive::TriangleFan, n);
        return;
    }
    for (uint32_t k = 0; k < n; ++k)
        ellipsePoint(k, cx, cy, rx, ry, k, n);
    m_vertices[n] = m_vertices[0];
    draw(aGpuPrimitive::LineStrip, n);
}

void aGDI::drawRing(float cx1, float cy1, float rx1, float ry1, float cx2, float cy2, float rx2, float ry2)
{
    const uint32_t n = std::min<uint32_t>(segments, (kVertexCount - 2) / 2);
    if (n == 0)
        return;
    for (uint32_t k = 0; k < n; ++k) {
        ellipsePoint(2 * k, cx2, cy2, rx2, ry2, k, n);
        ellipsePoint(2 * k + 1, cx1, cy1, rx1, ry1, k, n);
    }
    m_vertices[2 * n] = m_vertices[0];
    m_vertices[2 * n + 1] = m_vertices[1];
    draw(aGpuPrimitive::TriangleStrip, 2 * n);
}
