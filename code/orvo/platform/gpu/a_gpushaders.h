// The GL backend's shaders. Texture stages and the alpha test are baked
// into each fragment program instead of being read from uniforms: a
// software rasteriser pays for every instruction and texture lookup on
// every pixel, so a plain sprite must not carry the second stage, the
// argument choices or the alpha test it does not use. Each program computes
// exactly what the stage rules give (see aGpuDevice), with the same
// arithmetic for every state, so pictures do not depend on which program
// drew them.
//
// Internal to the platform layer.
#pragma once

#include <cstdint>
#include <string>

// What a fragment program is made for. Built by gpu_shaderKey from the
// states of a draw; fields that cannot matter are left at zero, so equal
// pictures share one program.
struct aGpuShaderKey {
    uint8_t stages = 0;    // 0: diffuse only, 1: stage 0, 2: stages 0 and 1
    uint8_t alphaTest = 0; // 0: none, 1: nothing passes, 2: alpha greater than u_alphaRef
    uint8_t ops[4] = {};   // colour and alpha operation of stage 0, then stage 1
    uint8_t args[8] = {};  // colour 1, colour 2, alpha 1, alpha 2 of stage 0, then stage 1

    uint64_t packed() const;
};

// stageStates: per stage ColorOp, ColorArg1, ColorArg2, AlphaOp, AlphaArg1,
// AlphaArg2 (the device's numbers). alphaFunc: the compare function, or
// Always when the test is off.
aGpuShaderKey gpu_shaderKey(bool textured0, bool stage1, const uint32_t stage0[6], const uint32_t stage1States[6],
                            uint32_t alphaFunc);

// The vertex program every fragment program links with: pixel positions
// (u_target: target size; u_offset: added to x and y) to clip space.
const char* gpu_vertexShaderSource();
std::string gpu_fragmentShaderSource(const aGpuShaderKey& key);
