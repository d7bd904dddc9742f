// Each combination of stage and alpha-test states gets a program of its own;
// every one must compute the stage rules: checked against a model of them
// for the operations, arguments, complements, the second stage (ignored by
// vertices without its coordinates) and the alpha test, one solid quad per case.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "orvo/platform/gpu/gl_fixture.h"

using namespace kbtest;

namespace {

using Colour = std::array<float, 4>; // a, r, g, b

Colour unpack(uint32_t argb)
{
    return {(argb >> 24) / 255.0f, ((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f,
            (argb & 0xFF) / 255.0f};
}

// The stage rules, as the device documents them.
Colour pick(uint32_t arg, const Colour& diffuse, const Colour& current, const Colour& texture)
{
    Colour v = (arg & ~gpuArgComplement) == 0 ? diffuse : (arg & ~gpuArgComplement) == 1 ? current : texture;
    for (float& x : v)
        x = arg & gpuArgComplement ? 1.0f - x : x;
    return v;
}

float combine(aGpuTextureOp op, float a1, float a2, float current)
{
    using Op = aGpuTextureOp;
    return op == Op::SelectArg1   ? a1
           : op == Op::SelectArg2 ? a2
           : op == Op::Modulate   ? a1 * a2
           : op == Op::Add        ? std::min(a1 + a2, 1.0f)
           : op == Op::Subtract   ? std::max(a1 - a2, 0.0f)
                                  : current;
}

struct StageSetting {
    aGpuTextureOp colourOp = aGpuTextureOp::Disable;
    uint32_t colour1 = 0, colour2 = 0;
    aGpuTextureOp alphaOp = aGpuTextureOp::Disable;
    uint32_t alpha1 = 0, alpha2 = 0;
};

Colour stage(const StageSetting& s, const Colour& diffuse, const Colour& current, const Colour& texture)
{
    const Colour c1 = pick(s.colour1, diffuse, current, texture), c2 = pick(s.colour2, diffuse, current, texture);
    const Colour a1 = pick(s.alpha1, diffuse, current, texture), a2 = pick(s.alpha2, diffuse, current, texture);
    Colour out{combine(s.alphaOp, a1[0], a2[0], current[0])};
    for (int i = 1; i < 4; ++i)
        out[i] = combine(s.colourOp, c1[i], c2[i], current[i]);
    return out;
}

constexpr uint32_t kDiffuse = 0x80FF40C0, kTexture0 = 0xC0408020, kTexture1 = 0x60A0E010, kClear = 0xFF000000;
constexpr uint32_t D = 0, C = 1, T = 2, N = gpuArgComplement;
using Op = aGpuTextureOp;

struct Case {
    const char* name;
    bool textured = true;
    StageSetting s0;
    StageSetting s1;                             // used when its colour op is not Disable
    aGpuCompare alphaFunc = aGpuCompare::Always; // with the test on
    uint32_t alphaRef = 0;
    bool oneCoordinateSet = false; // 28-byte vertices: stage 1 has no effect
};

// clang-format off
const Case kCases[] = {
    {"diffuse x texture", true, {Op::Modulate, D, T, Op::Modulate, T, C}, {}},
    {"texture + diffuse", true, {Op::Add, T, D, Op::Modulate, T, C}, {}},
    {"diffuse - texture", true, {Op::Subtract, D, T, Op::Add, T, D}, {}},
    {"diffuse only", true, {Op::SelectArg1, D, T, Op::Modulate, T, C}, {}},
    {"second argument", true, {Op::SelectArg2, D, T, Op::SelectArg2, D, T}, {}},
    {"complements", true, {Op::Modulate, T | N, D, Op::Subtract, C | N, T}, {}},
    {"stage 0 off", true, {Op::Disable, T, D, Op::Modulate, T, D}, {}},
    {"untextured", false, {Op::Modulate, T, D, Op::Modulate, T, D}, {}},
    {"stage 1 modulates", true, {Op::Modulate, D, T, Op::Modulate, T, C}, {Op::Modulate, C, T, Op::SelectArg1, C, T}},
    {"stage 1 adds a complement", true, {Op::Add, T, D, Op::Modulate, T, C}, {Op::Add, C, T | N, Op::Modulate, T | N, C}},
    {"alpha test passes", true, {Op::Modulate, D, T, Op::SelectArg1, T, C}, {}, aGpuCompare::Greater, 0xBF},
    {"alpha test fails", true, {Op::Modulate, D, T, Op::SelectArg1, T, C}, {}, aGpuCompare::Greater, 0xC0},
    {"alpha test never", true, {Op::Modulate, D, T, Op::SelectArg1, T, C}, {}, aGpuCompare::Never, 0},
    {"stage 1 without its coordinates", true, {Op::Modulate, D, T, Op::Modulate, T, C},
     {Op::Modulate, C, T, Op::SelectArg1, C, T}, aGpuCompare::Always, 0, true},
};
// clang-format on

} // namespace

TEST_F(GpuGL, EveryStageAndAlphaTestProgramFollowsTheStageRules)
{
    auto texture0 = solidTexture(4, 4, aGpuFormat::A8R8G8B8, kTexture0);
    auto texture1 = solidTexture(4, 4, aGpuFormat::A8R8G8B8, kTexture1);
    beginFrame();
    device().setRenderState(aGpuRenderState::AlphaBlendEnable, 0);
    std::vector<Probe> expected;
    for (const Case& k : kCases) {
        for (uint32_t stageNo : {0u, 1u}) {
            const StageSetting& s = stageNo ? k.s1 : k.s0;
            const std::pair<aGpuStageState, uint32_t> states[] = {
                {aGpuStageState::ColorOp, static_cast<uint32_t>(s.colourOp)},
                {aGpuStageState::ColorArg1, s.colour1},
                {aGpuStageState::ColorArg2, s.colour2},
                {aGpuStageState::AlphaOp, static_cast<uint32_t>(s.alphaOp)},
                {aGpuStageState::AlphaArg1, s.alpha1},
                {aGpuStageState::AlphaArg2, s.alpha2}};
            for (const auto& [state, value] : states)
                ASSERT_EQ(device().setTextureStageState(stageNo, state, value), aGpuResult::Ok) << k.name;
        }
        device().setTexture(0, k.textured ? texture0.get() : nullptr);
        device().setTexture(1, texture1.get());
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

        // What the model says the quad shows.
        const Colour diffuse = unpack(kDiffuse);
        Colour current = diffuse;
        if (k.textured && k.s0.colourOp != Op::Disable) {
            current = stage(k.s0, diffuse, current, unpack(kTexture0));
            if (k.s1.colourOp != Op::Disable && !k.oneCoordinateSet)
                current = stage(k.s1, diffuse, current, unpack(kTexture1));
        }
        uint32_t argb = 0xFF000000u;
        for (int i = 1; i < 4; ++i)
            argb |= uint32_t(std::lround(std::clamp(current[i], 0.0f, 1.0f) * 255.0f)) << (8 * (3 - i));
        const int alpha = int(std::clamp(current[0], 0.0f, 1.0f) * 255.0f + 0.5f);
        const bool kept =
            k.alphaFunc == aGpuCompare::Always || (k.alphaFunc == aGpuCompare::Greater && alpha > int(k.alphaRef));
        expected.push_back({x + 4, y + 4, kept ? argb : kClear, 1});
    }
    device().setRenderState(aGpuRenderState::AlphaTestEnable, 0);
    device().setTexture(1, nullptr);
    const auto px = endFrame();
    for (const Probe& p : expected) {
        SCOPED_TRACE(kCases[p.y / 16 * 10 + p.x / 16].name);
        expectProbes(px, {p});
    }
}
