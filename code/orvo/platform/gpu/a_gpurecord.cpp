#include "orvo/platform/gpu/a_gpurecord.h"

#include <cstdio>

std::string aGpuRecord::text() const
{
    char buffer[256];
    switch (call) {
    case aGpuCall::SpriteDraw:
        std::snprintf(buffer, sizeof(buffer),
                      "SpriteDraw(src %d %d %d %d, scale %g %g, centre %g %g, rot %g, at %g %g, colour %08X)",
                      static_cast<int>(u[0]), static_cast<int>(u[1]), static_cast<int>(u[2]), static_cast<int>(u[3]),
                      f[0], f[1], f[2], f[3], f[4], f[5], f[6], u[4]);
        break;
    default:
        std::snprintf(buffer, sizeof(buffer), "%s(%u, %u, %u, %u)", gpu_callName(call), u[0], u[1], u[2], u[3]);
        break;
    }
    std::string out = buffer;
    if (result != aGpuResult::Ok)
        out += std::string(" -> ") + gpu_errorName(result);
    return out;
}
