// Each combination of stage and alpha-test states gets a program of its own;
// every one must compute the stage rules: checked against a model of them
// for the operations, arguments, complements, the second stage and the
// alpha test, one solid quad per case.
#include <gtest/gtest.h>

#include <cmath>

#include "orvo/platform/gpu/gl_fixture.h"

using namespace kbtest;

namespace {

struct Colour {
    float c[4]; // a, r, g, b
};

Colour unpack(uint32_t argb)
{
    return {
        {(argb >> 24) / 255.0f, ((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f}};
}

// The stage rules, as the device documents them.
Colour pick(uint32_t arg, const Colour& diffuse, const Colour& current, const Colour& texture)
{
    const uint32_t which = arg & ~gpuArgComplement;
    Colour v = which == 0 ? diffuse : which == 1 ? current : texture;
    if (arg & gpuArgComplement)
        for (float& x : v.c)
            x = 1.0f - x;
    return v;
}

Colour combine(aGpuTextureOp op, const Colour& a1, const Colour& a2, const Colour& current)
{
    Colour out = current;
    for (int i = 0; i < 4; ++i) {
        switch (op) {
        case aGpuTextureOp::SelectArg1:
            out.c[i] = a1.c[i];
            break;
        case aGpuTextureOp::SelectArg2:
            out.c[i] = a2.c[i];
            break;
        case aGpuTextureOp::Modulate:
            out.c[i] = a1.c[i] * a2.c[i];
            break;
        case aGpuTextureOp::Add:
            out.c[i] = std::min(a1.c[i] + a2.c[i], 1.0f);
            break;
        case aGpuTextureOp::Subtract:
            out.c[i] = std::max(a1.c[i] - a2.c[i], 0.0f);
            break;
        case aGpuTextureOp::Disable:
            break;
        }
    }
    return out;
}

struct StageSetting {
    aGpuTextureOp colourOp = aGpuTextureOp::Disable;
    uint32_t colour1 = 0, colour2 = 0;
    aGpuTextureOp alphaOp = aGpuTextureOp::Disable;
    uint32_t alpha1 = 0, alpha2 = 0;
};

Colour stage(const StageSetting& s, const Colour& diffuse, const Colour& current, const Colour& texture)
{
    const Colour c = combine(s.colourOp, pick(s.colour1, diffuse, current, texture),
                             pick(s.colour2, diffuse, current, texture), current);
    const Colour a = combine(s.alphaOp, pick(s.alpha1, diffuse, current, texture),
                             pick(s.alpha2, diffuse, current, texture), current);
    return {{a.c[0], c.c[1], c.c[2], c.c[3]}};
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
};

const Case kCases[] = {
    {"diffuse x texture", true, {Op::Modulate, D, T, Op::Modulate, T, C}, {}},
    {"texture + diffuse", true, {Op::Add, T, D, Op::Modulate, T, C}, {}},
    {"texture - diffuse", true, {Op::Subtract, T, D, Op::Modulate, T, C}, {}},
    {"diffuse - texture", true, {Op::Subtract, D, T, Op::Add, T, D}, {}},
    {"diffuse only", true, {Op::SelectArg1, D, T, Op::Modulate, T, C}, {}},
    {"second argument", true, {Op::SelectArg2, D, T, Op::SelectArg2, D, T}, {}},
    {"complements", true, {Op::Modulate, T | N, D, Op::Subtract, C | N, T}, {}},
    {"stage 0 off", true, {Op::Disable, T, D, Op::Modulate, T, D}, {}},
    {"untextured", false, {Op::Modulate, T, D, Op::Modulate, T, D}, {}},
    {"stage 1 modulates", true, {Op::Modulate, D, T, Op::Modulate, T, C}, {Op::Modulate, C, T, Op::SelectArg1, C, T}},
    {"stage 1 adds a complement",
     true,
     {Op::Add, T, D, Op::Modulate, T, C},
     {Op::Add, C, T | N, Op::Modulate, T | N, C}},
    {"alpha test passes", true, {Op::Modulate, D, T, Op::SelectArg1, T, C}, {}, aGpuCompare::Greater, 0xBF},
    {"alpha test fails", true, {Op::Modulate, D, T, Op::SelectArg1, T, C}, {}, aGpuCompare::Greater, 0xC0},
    {"alpha test never", true, {Op::Modulate, D, T, Op::SelectArg1, T, C}, {}, aGpuCompare::Never, 0},
};

} // namespace

TEST_F(GpuGL, EveryStageAndAlphaTestProgramFollowsTheStageRules)
{
    auto texture0 = solidTexture(4, 4, aGpuFormat::A8R8G8B8, kTexture0);
    auto texture1 = solidTexture(4, 4, aGpuFormat::A8R8G8B8, kTexture1);
    beginFrame();
    device().setRenderState(aGpuRenderState::AlphaBlendEnable, 0);
    device().setVertexFormat(aGpuVertexFormat::Tex2);
    int index = 0;
    for (const Case& k : kCases) {
        auto set = [&](uint32_t stageNo, const StageSetting& s) {
            const std::pair<aGpuStageState, uint32_t> states[] = {
                {aGpuStageState::ColorOp, static_cast<uint32_t>(s.colourOp)},
                {aGpuStageState::ColorArg1, s.colour1},
                {aGpuStageState::ColorArg2, s.colour2},
                {aGpuStageState::AlphaOp, static_cast<uint32_t>(s.alphaOp)},
                {aGpuStageState::AlphaArg1, s.alpha1},
                {aGpuStageState::AlphaArg2, s.alpha2}};
            for (const auto& [state, value] : states)
                ASSERT_EQ(device().setTextureStageState(stageNo, state, value), aGpuResult::Ok) << k.name;
        };
        set(0, k.s0);
        set(1, k.s1);
        device().setTexture(0, k.textured ? texture0.get() : nullptr);
        device().setTexture(1, texture1.get());
        const bool tested = k.alphaFunc != aGpuCompare::Always;
        device().setRenderState(aGpuRenderState::AlphaTestEnable, tested ? 1 : 0);
        device().setRenderState(aGpuRenderState::AlphaFunc, static_cast<uint32_t>(k.alphaFunc));
        device().setRenderState(aGpuRenderState::AlphaRef, k.alphaRef);
        const float x = float(index % 10) * 16.0f, y = float(index / 10) * 16.0f;
        const aGpuVertex2 quad[4] = {{x, y, 0, 1, kDiffuse, 0, 0, 0, 0},
                                     {x + 8, y, 0, 1, kDiffuse, 1, 0, 1, 0},
                                     {x, y + 8, 0, 1, kDiffuse, 0, 1, 0, 1},
                                     {x + 8, y + 8, 0, 1, kDiffuse, 1, 1, 1, 1}};
        ASSERT_EQ(device().drawPrimitiveUP(aGpuPrimitive::TriangleStrip, 2, quad, sizeof(aGpuVertex2)), aGpuResult::Ok);
        ++index;
    }
    device().setRenderState(aGpuRenderState::AlphaTestEnable, 0);
    device().setTexture(1, nullptr);
    const auto px = endFrame();

    index = 0;
    for (const Case& k : kCases) {
        const Colour diffuse = unpack(kDiffuse);
        Colour current = diffuse;
        if (k.textured && k.s0.colourOp != Op::Disable) {
            current = stage(k.s0, diffuse, current, unpack(kTexture0));
            if (k.s1.colourOp != Op::Disable)
                current = stage(k.s1, diffuse, current, unpack(kTexture1));
        }
        uint32_t expected = 0xFF000000u;
        for (int i = 1; i < 4; ++i) {
            const float v = std::clamp(current.c[i], 0.0f, 1.0f);
            expected |= uint32_t(std::lround(v * 255.0f)) << (8 * (3 - i));
        }
        const int alpha = int(std::clamp(current.c[0], 0.0f, 1.0f) * 255.0f + 0.5f);
        const bool kept =
            k.alphaFunc == aGpuCompare::Always || (k.alphaFunc == aGpuCompare::Greater && alpha > int(k.alphaRef));
        const uint32_t x = uint32_t(index % 10) * 16 + 4, y = uint32_t(index / 10) * 16 + 4;
        SCOPED_TRACE(k.name);
        kbtest::expectProbes(px, kWidth, {{x, y, kept ? expected : kClear, 1}});
        ++index;
    }
}
