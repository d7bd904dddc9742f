// Animation and distortion-grid costs.
//  - AdvAnimStep: one frame of 1,000 advanced animations (two blocks of 8
//    frames, looping, some ping-pong or reversed), each stepped by 1/60 s.
//  - GridBuild: making a 32 x 32 vertex grid (the only grid, so its shared
//    buffers are made too), giving it its image and destroying it.
//  - GridWaveAndRender: moving every vertex of a 32 x 32 grid and drawing it
//    (the vertex buffer is rewritten and the draw handed to OpenGL).
//  - GridFrame: the same inside a whole frame (begin, render, end and
//    present, offscreen OpenGL, 1024 x 768).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "orvo/app/a_application.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_distortiongrid.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "support/temp_dir.h"

namespace {

constexpr int kAnimations = 1000;

std::string animationText(int variant)
{
    std::string text = "[_General_]\nAutoStart=1\nNLoops=0\n";
    if (variant % 3 == 1)
        text += "PingPong=1\n";
    if (variant % 3 == 2)
        text += "Reverse=1\n";
    for (const char* name : {"walk", "turn"}) {
        text += std::string("[") + name + "]\n";
        for (int i = 0; i < 8; ++i)
            text += "Frame=(Rect=" + std::to_string(i * 16) + " 0 16 16)(Disp=0 " + std::to_string(i) + ")\n";
    }
    text += "[_Play_]\nwalk=(Fps=24)(NLoops=2)\nturn=(Fps=12)(PingPong=1)(NLoops=3)\n";
    return text;
}

std::string animFile(const kbtest::TempDir& dir, int variant)
{
    return dir.file(std::string("a").append(std::to_string(variant)).append(".anim"));
}

void BM_AdvAnimStep(benchmark::State& state)
{
    kbtest::TempDir dir("anim-bench");
    std::vector<std::unique_ptr<aAdvAnim>> animations;
    for (int v = 0; v < 3; ++v)
        kbtest::writeFile(animFile(dir, v), animationText(v));
    for (int i = 0; i < kAnimations; ++i) {
        animations.push_back(std::make_unique<aAdvAnim>());
        if (!animations.back()->Load(animFile(dir, i % 3), nullptr)) {
            state.SkipWithError("animation did not load");
            return;
        }
        // Spread them over their steps.
        animations.back()->update(0.013f * static_cast<float>(i % 97));
    }
    for (auto _ : state)
        for (auto& a : animations)
            a->update(1.0f / 60.0f);
    uint32_t playing = 0;
    for (auto& a : animations)
        playing += a->isPlaying();
    state.counters["playing"] = playing;
    state.counters["animations"] = kAnimations;
}
BENCHMARK(BM_AdvAnimStep)->Unit(benchmark::kMicrosecond);

// An application with a graph server drawing offscreen through OpenGL.
struct Stage {
    aApplication app;
    std::unique_ptr<aGraphServer> graph;
    aImage image;
    bool ok = false;

    Stage()
    {
        try {
            graph = std::make_unique<aGraphServer>(1024, 768, false, false, true, "bench", 0, false, true);
        } catch (...) {
            return;
        }
        image.create(256, 256);
        ok = image.hasTexture();
    }
};

Stage& stage()
{
    static Stage s;
    return s;
}

void wave(aDistortionGrid& grid, float t)
{
    for (uint32_t r = 0; r < grid.getRows(); ++r)
        for (uint32_t c = 0; c < grid.getColumns(); ++c)
            grid.setVertexOffset(c, r, 3.0f * std::sin(t + 0.3f * static_cast<float>(r)),
                                 2.0f * std::cos(t + 0.2f * static_cast<float>(c)), aDistortionGrid::FROM_REST);
}

void BM_GridBuild(benchmark::State& state)
{
    Stage& s = stage();
    if (!s.ok) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    for (auto _ : state) {
        aDistortionGrid grid(32, 32);
        grid.setImage(&s.image, nullptr);
        benchmark::DoNotOptimize(grid.getVertex(31, 31));
    }
}
BENCHMARK(BM_GridBuild)->Unit(benchmark::kMicrosecond);

void BM_GridWaveAndRender(benchmark::State& state)
{
    Stage& s = stage();
    if (!s.ok || !s.graph->beginScene()) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    aDistortionGrid grid(32, 32);
    grid.setImage(&s.image, nullptr);
    float t = 0.0f;
    for (auto _ : state) {
        wave(grid, t += 0.1f);
        grid.render(100.0f, 100.0f, 2.0f);
    }
    s.graph->endScene();
    state.counters["cells"] = grid.getCellCount();
}
BENCHMARK(BM_GridWaveAndRender)->Unit(benchmark::kMicrosecond);

void BM_GridFrame(benchmark::State& state)
{
    Stage& s = stage();
    if (!s.ok) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    aDistortionGrid grid(32, 32);
    grid.setImage(&s.image, nullptr);
    float t = 0.0f;
    for (auto _ : state) {
        if (!s.graph->beginScene())
            continue;
        wave(grid, t += 0.1f);
        grid.render(100.0f, 100.0f, 2.0f);
        s.graph->endScene();
    }
}
BENCHMARK(BM_GridFrame)->Unit(benchmark::kMicrosecond);

} // namespace
