// Each combination of stage and alpha-test states gets a program of its own; every one must compute
// the stage rules (operations, arguments, complements, stage 1 unless the vertices lack its coordinates).
#include <gtest/gtest.h>

#include <array>

#include "orvo/platform/gpu/gl_fixture.h"

using namespace kbtest;

namespace {

// Channels as fractions: diffuse a .5 r 1 g .25 b .75; texture 0 a .75 r .25 g .5 b .125;
// texture 1 a .375 r .625 g .875 b .0625.
constexpr uint32_t kDiffuse = 0x80FF40C0, kTexture0 = 0xC0408020, kTexture1 = 0x60A0E010;
constexpr uint32_t D = 0, C = 1, T = 2, N = gpuArgComplement;
// aGpuTextureOp values, as the stage states take them.
constexpr uint32_t Off = 1, Sel1 = 2, Sel2 = 3, Mod = 4, Add = 7, Sub = 10;

// A stage's colour op and arguments, then its alpha op and arguments.
using Stage = std::array<uint32_t, 6>;
constexpr Stage kOff{Off, 0, 0, Off, 0, 0};

struct Case {
    const char* name;
    uint32_t expected; // the quad's colour, black where the alpha test drops it
    bool textured;
    Stage s0, s1 = kOff;
    aGpuCompare alphaFunc = aGpuCompare::Always; // with the test on
    uint32_t alphaRef = 0;
    bool oneCoordinateSet = false; // 28-byte vertices: stage 1 has no effect
};

// clang-format off
const Case kCases[] = {
    {"diffuse x texture", 0xFF402018, true, {Mod, D, T, Mod, T, C}},
    {"texture + diffuse, clamped", 0xFFFFC0E0, true, {Add, T, D, Mod, T, C}},
    {"diffuse - texture", 0xFFBF00A0, true, {Sub, D, T, Add, T, D}},
    {"diffuse only", 0xFFFF40C0, true, {Sel1, D, T, Mod, T, C}},
    {"second argument", 0xFF408020, true, {Sel2, D, T, Sel2, D, T}},
    {"(1 - texture) x diffuse", 0xFFBF20A8, true, {Mod, T | N, D, Sub, C | N, T}},
    {"stage 0 off", 0xFFFF40C0, true, {Off, T, D, Mod, T, D}},
    {"untextured", 0xFFFF40C0, false, {Mod, T, D, Mod, T, D}},
    {"stage 1 modulates", 0xFF281C02, true, {Mod, D, T, Mod, T, C}, {Mod, C, T, Sel1, C, T}},
    {"stage 1 adds a complement", 0xFFFFDFFF, true, {Add, T, D, Mod, T, C}, {Add, C, T | N, Mod, T | N, C}},
    // Alpha 0xC0 from the texture.
    {"alpha test passes", 0xFF402018, true, {Mod, D, T, Sel1, T, C}, kOff, aGpuCompare::Greater, 0xBF},
    {"alpha test fails", 0xFF000000, true, {Mod, D, T, Sel1, T, C}, kOff, aGpuCompare::Greater, 0xC0},
    {"stage 1 without its coordinates", 0xFF402018, true, {Mod, D, T, Mod, T, C}, {Mod, C, T, Sel1, C, T},
     aGpuCompare::Always, 0, true},
};
// clang-format on

} // namespace

TEST_F(GpuGL, EveryStageAndAlphaTestProgramFollowsTheStageRules)
{
    auto texture0 = solidTexture(4, 4, aGpuFormat::A8R8G8B8, kTexture0);
    auto texture1 = solidTexture(4, 4, aGpuFormat::A8R8G8B8, kTexture1);
    beginFrame();
    device().setRenderState(aGpuRenderState::AlphaBlendEnable, 0);
    device().setTexture(1, texture1.get());
    for (const Case& k : kCases) {
        for (uint32_t i = 0; i < 12; ++i)
            ASSERT_EQ(device().setTextureStageState(i / 6, aGpuStageState(i % 6), (i < 6 ? k.s0 : k.s1)[i % 6]),
                      aGpuResult::Ok)
                << k.name;
        device().setTexture(0, k.textured ? texture0.get() : nullptr);
        device().setRenderState(aGpuRenderState::AlphaTestEnable, k.alphaFunc != aGpuCompare::Always);
        device().setRenderState(aGpuRenderState::AlphaFunc, static_cast<uint32_t>(k.alphaFunc));
        device().setRenderState(aGpuRenderState::AlphaRef, k.alphaRef);
        const uint32_t index = uint32_t(&k - kCases), x = index % 10 * 16, y = index / 10 * 16;
        aGpuVertex2 quad[4];
        aGpuVertex one[4];
        for (int i = 0; i < 4; ++i) {
            const float u = float(i & 1), v = float(i >> 1), qx = float(x) + 8 * u, qy = float(y) + 8 * v;
            quad[i] = {qx, qy, 0, 1, kDiffuse, u, v, u, v};
            one[i] = {qx, qy, 0, 1, kDiffuse, u, v};
        }
        device().setVertexFormat(k.oneCoordinateSet ? aGpuVertexFormat::Tex1 : aGpuVertexFormat::Tex2);
        ASSERT_EQ(k.oneCoordinateSet
                      ? device().drawPrimitiveUP(aGpuPrimitive::TriangleStrip, 2, one, sizeof(aGpuVertex))
                      : device().drawPrimitiveUP(aGpuPrimitive::TriangleStrip, 2, quad, sizeof(aGpuVertex2)),
                  aGpuResult::Ok);
    }
    const auto px = endFrame();
    for (const Case& k : kCases) {
        const uint32_t index = uint32_t(&k - kCases), got = at(px, index % 10 * 16 + 4, index / 10 * 16 + 4);
        EXPECT_LE(channelDistance(got, k.expected), 1) << k.name << ": " << std::hex << got;
    }
}
