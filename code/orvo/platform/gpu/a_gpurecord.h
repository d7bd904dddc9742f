// One traced device call, as the recording backend keeps it: the call, its
// result, its numeric arguments, the resource it touched and, for draws, the
// vertices and indices as they were sent. text() gives a readable line for
// test failure messages ("SetRenderState(SrcBlend, 5)").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orvo/platform/gpu/a_gpuregistry.h"
#include "orvo/platform/gpu/a_gpuresult.h"

struct aGpuRecord {
    aGpuCall call = aGpuCall::Create;
    aGpuResult result = aGpuResult::Ok;
    uint32_t u[6] = {0, 0, 0, 0, 0, 0};    // integer arguments in call order
    float f[8] = {0, 0, 0, 0, 0, 0, 0, 0}; // float arguments in call order
    const void* object = nullptr;          // texture, buffer or target involved
    const void* object2 = nullptr;         // stage-1 texture of a draw
    std::vector<uint8_t> vertices;         // draws: vertex bytes as sent (stride u[2])
    std::vector<uint16_t> indices;         // indexed draws: the indices as sent

    std::string text() const;
};
