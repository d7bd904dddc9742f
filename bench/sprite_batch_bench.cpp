// The sprite batch under load: 10,000 textured 32 x 32 sprites a frame on
// the OpenGL backend (offscreen with SDL_VIDEODRIVER=offscreen), 1024 x 768.
//  - SubmitFrame: CPU time to open a frame, draw every sprite and close it
//    (the batch's vertices are built and handed to GL; the GPU may still be
//    working afterwards).
//  - FullFrame: the same plus present and a read-back of the frame, which
//    waits for the renderer to finish: the whole cost of a frame.
//  - ReadBackOnly: the read-back alone, to subtract from FullFrame.
//  - GatherOnly: only the sprite draw() calls of a frame (corner maths and
//    gathering), without handing anything to GL.
// Argument: how many sprites share a texture before the next one is used
// (10000: one texture, one draw call; 25: four textures taking turns).
// Counters: draw calls per frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/platform/gpu/a_gpusprite.h"

namespace {

constexpr int kSprites = 10000;

struct Scene {
    aGpuDeviceGL device;
    std::vector<std::unique_ptr<aGpuTexture>> textures;
    std::unique_ptr<aGpuSprite> sprite;
    std::vector<aGpuVec2> positions;
    bool ok = false;

    Scene()
    {
        aGpuPresentParams params;
        params.backBufferWidth = 1024;
        params.backBufferHeight = 768;
        if (device.create(params) != aGpuResult::Ok)
            return;
        for (uint32_t t = 0; t < 4; ++t) {
            aGpuPicture p;
            p.width = p.height = 32;
            for (uint32_t i = 0; i < 32 * 32; ++i)
                p.pixels.push_back(((i % 32 + i / 32) % 8 < 4 ? 0xFF000000u : 0x80000000u) | (0x3F << (t * 4)));
            textures.emplace_back();
            if (gpu_createTextureFromPicture(device, p, aGpuFormat::A8R8G8B8, textures.back()) != aGpuResult::Ok)
                return;
        }
        if (device.createSprite(sprite) != aGpuResult::Ok)
            return;
        for (int i = 0; i < kSprites; ++i)
            positions.push_back({static_cast<float>((i * 37) % 992), static_cast<float>((i * 53) % 736)});
        device.setRenderState(aGpuRenderState::AlphaBlendEnable, 1);
        device.setRenderState(aGpuRenderState::SrcBlend, static_cast<uint32_t>(aGpuBlend::SrcAlpha));
        device.setRenderState(aGpuRenderState::DestBlend, static_cast<uint32_t>(aGpuBlend::InvSrcAlpha));
        ok = true;
    }

    void submit(int run)
    {
        device.beginScene();
        device.clear(0xFF000000);
        sprite->begin();
        for (int i = 0; i < kSprites; ++i) {
            aGpuTexture* texture = textures[(i / run) % textures.size()].get();
            sprite->draw(texture, nullptr, nullptr, nullptr, 0.0f, &positions[i], 0xFFFFFFFF);
        }
        sprite->end();
        device.endScene();
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

void BM_SubmitFrame(benchmark::State& state)
{
    Scene& s = scene();
    if (!s.ok) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    const int run = static_cast<int>(state.range(0));
    for (auto _ : state) {
        s.submit(run);
        state.PauseTiming();
        s.device.present();
        std::vector<uint32_t> pixels;
        uint32_t w = 0, h = 0;
        s.device.readBackBuffer(pixels, w, h); // let the GPU drain outside the timed part
        state.ResumeTiming();
    }
    state.counters["draw_calls"] = s.device.lastFrameStats().drawCalls;
    state.counters["sprites"] = kSprites;
}
BENCHMARK(BM_SubmitFrame)->Arg(10000)->Arg(25)->Unit(benchmark::kMillisecond);

void BM_FullFrame(benchmark::State& state)
{
    Scene& s = scene();
    if (!s.ok) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    const int run = static_cast<int>(state.range(0));
    std::vector<uint32_t> pixels;
    for (auto _ : state) {
        s.submit(run);
        s.device.present();
        uint32_t w = 0, h = 0;
        s.device.readBackBuffer(pixels, w, h);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["draw_calls"] = s.device.lastFrameStats().drawCalls;
}
BENCHMARK(BM_FullFrame)->Arg(10000)->Arg(25)->Unit(benchmark::kMillisecond);

void BM_ReadBackOnly(benchmark::State& state)
{
    Scene& s = scene();
    if (!s.ok) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    std::vector<uint32_t> pixels;
    for (auto _ : state) {
        uint32_t w = 0, h = 0;
        s.device.readBackBuffer(pixels, w, h);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_ReadBackOnly)->Unit(benchmark::kMillisecond);

void BM_GatherOnly(benchmark::State& state)
{
    Scene& s = scene();
    if (!s.ok) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    for (auto _ : state) {
        s.device.beginScene();
        s.sprite->begin();
        for (int i = 0; i < kSprites; ++i)
            s.sprite->draw(s.textures[0].get(), nullptr, nullptr, nullptr, 0.0f, &s.positions[i], 0xFFFFFFFF);
        state.PauseTiming();
        s.sprite->end();
        s.device.endScene();
        s.device.present();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GatherOnly)->Unit(benchmark::kMillisecond);

} // namespace
