// Image decoding and effects.
//  - DecodeJng / DecodePng: a 1024 x 768 picture with alpha (smooth colour
//    with some detail, as game art) from memory to ARGB words: the JNG
//    through libmng, the PNG through libpng.
//  - LoadJngTexture: the whole load of the JNG from disk into an A8R8G8B8
//    texture (recording device: the texture is made but not uploaded).
//  - StackBlur: the blur of radius 8 on a 256 x 256 picture, as the blur
//    effect runs it (the picture framed by the radius: 272 x 272).
//  - BlurEffect: the whole blur effect on a 256 x 256 image (surface made,
//    filled, blurred through the pixel rule).
// Counters: bytes of the encoded picture.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "jngwrite.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemng.h"
#include "orvo/gfx/a_stackblur.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "support/app_fixture.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

constexpr uint32_t kWidth = 1024, kHeight = 768;

std::vector<uint32_t> artwork(uint32_t w, uint32_t h)
{
    std::vector<uint32_t> p(static_cast<size_t>(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const float fx = static_cast<float>(x) / w, fy = static_cast<float>(y) / h;
            const uint32_t r = static_cast<uint32_t>(127.5f + 127.5f * std::sin(fx * 9.0f + fy * 3.0f));
            const uint32_t g = static_cast<uint32_t>(127.5f + 127.5f * std::sin(fy * 7.0f - fx * 2.0f));
            const uint32_t b = ((x ^ y) & 0x1F) * 4 + 64;
            const uint32_t a = (x / 64 + y / 64) % 3 == 0 ? 0 : (x / 64 + y / 64) % 3 == 1 ? 255 : (x * 255 / w);
            p[static_cast<size_t>(y) * w + x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    return p;
}

const std::string& jngFile()
{
    static const std::string bytes = jngwrite::encode(artwork(kWidth, kHeight), kWidth, kHeight, {90});
    return bytes;
}

const std::string& pngFile()
{
    static const std::string bytes = kbtest::encodePng(artwork(kWidth, kHeight), kWidth, kHeight);
    return bytes;
}

void DecodeJng(benchmark::State& state)
{
    const std::string& bytes = jngFile();
    for (auto _ : state) {
        aGpuPicture picture;
        if (!image_decodeMng(bytes.data(), bytes.size(), picture))
            state.SkipWithError("JNG decode failed");
        benchmark::DoNotOptimize(picture.pixels.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(DecodeJng)->Unit(benchmark::kMillisecond);

void DecodePng(benchmark::State& state)
{
    const std::string& bytes = pngFile();
    for (auto _ : state) {
        aGpuPicture picture;
        if (gpu_decodeImage(bytes.data(), bytes.size(), picture) != aGpuResult::Ok)
            state.SkipWithError("PNG decode failed");
        benchmark::DoNotOptimize(picture.pixels.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(DecodePng)->Unit(benchmark::kMillisecond);

// An application and a graph server on the recording device.
struct Rig {
    Rig() : graph(1024, 768, false, false, true, "bench", 0, false, true, kbtest::recorder()) {}
    kbtest::TestApp app;
    aGraphServer graph;
};

void LoadJngTexture(benchmark::State& state)
{
    Rig rig;
    kbtest::TempDir dir("bench");
    kbtest::writeFile(dir.file("art.jng"), jngFile());
    for (auto _ : state) {
        aImage image(dir.file("art.jng"), aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
        if (!image.hasTexture())
            state.SkipWithError("JNG load failed");
    }
}
BENCHMARK(LoadJngTexture)->Unit(benchmark::kMillisecond);

void StackBlur(benchmark::State& state)
{
    const uint32_t side = 256 + 2 * 8;
    const std::vector<uint32_t> source = artwork(side, side);
    std::vector<uint32_t> pixels;
    for (auto _ : state) {
        pixels = source;
        image_stackBlur(pixels.data(), side, side, side, 8);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(StackBlur)->Unit(benchmark::kMillisecond);

void BlurEffect(benchmark::State& state)
{
    Rig rig;
    kbtest::TempDir dir("bench");
    kbtest::writeFile(dir.file("tile.png"), kbtest::encodePng(artwork(256, 256), 256, 256));
    const aImage loaded(dir.file("tile.png"), aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    const aImage::BloomParam radius8(8, 1.0f), radius7(7, 1.0f);
    aImage image(loaded);
    bool flip = false;
    for (auto _ : state) {
        // Radii take turns, so that every call blurs anew.
        flip = !flip;
        if (!image.setEffect(aImage::EFFECT_BLUR, flip ? &radius8 : &radius7))
            state.SkipWithError("blur failed");
    }
}
BENCHMARK(BlurEffect)->Unit(benchmark::kMillisecond);

} // namespace
