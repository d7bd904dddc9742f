#include "orvo/platform/gpu/a_gputypes.h"

#include <algorithm>
#include <cmath>

uint32_t gpu_primitiveVertexCount(aGpuPrimitive type, uint32_t primitives)
{
    if (primitives == 0)
        return 0;
    switch (type) {
    case aGpuPrimitive::TriangleList:
        return primitives * 3;
    case aGpuPrimitive::TriangleStrip:
    case aGpuPrimitive::TriangleFan:
        return primitives + 2;
    case aGpuPrimitive::LineStrip:
        return primitives + 1;
    }
    return 0;
}

namespace {

// Beyond any render target: coordinates are kept within it before turning to integers.
constexpr float kFar = 1 << 24;
// Rasterisers snap vertices to a sub-pixel grid (1/256 or coarser 1/16):
// an edge may land this far from where it was asked for.
constexpr float kSnapMargin = 0.125f;

} // namespace

aGpuPixelBox aGpuPixelBox::of(const aGpuVertex* vertices, uint32_t count)
{
    float x0 = kFar, y0 = kFar, x1 = -kFar, y1 = -kFar;
    for (uint32_t i = 0; i < count; ++i) {
        const float x = vertices[i].x, y = vertices[i].y;
        if (!std::isfinite(x) || !std::isfinite(y))
            return {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    // A pixel is touched when its centre (+0.5) may lie within the edges.
    auto first = [](float edge) {
        return static_cast<int32_t>(std::ceil(std::clamp(edge - kSnapMargin - 0.5f, -kFar, kFar)));
    };
    auto last = [](float edge) {
        return static_cast<int32_t>(std::floor(std::clamp(edge + kSnapMargin - 0.5f, -kFar, kFar)));
    };
    return {first(x0), first(y0), last(x1), last(y1)};
}

aGpuPixelBox aGpuPixelBox::clipped(const aGpuViewport& v) const
{
    const int64_t x1 = static_cast<int64_t>(v.x) + v.width - 1, y1 = static_cast<int64_t>(v.y) + v.height - 1;
    aGpuPixelBox out;
    out.left = std::max(left, v.x);
    out.top = std::max(top, v.y);
    out.right = static_cast<int32_t>(std::min<int64_t>(right, x1));
    out.bottom = static_cast<int32_t>(std::min<int64_t>(bottom, y1));
    return out;
}

void aGpuPixelBox::add(const aGpuPixelBox& other)
{
    if (other.empty())
        return;
    if (empty()) {
        *this = other;
        return;
    }
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
}
