#include "orvo/platform/gpu/a_gputypes.h"

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
