// Video playback costs at 640x480, on a clip with detail and motion in it:
//  - DecodeAndConvert: one frame decoded and converted to 32-bit pixels.
//  - ConvertOnly: the colour conversion alone.
//  - VideoUpdate: a whole update of the player that shows a new frame
//    (decode, convert, copy into the image's texture; recording device, so
//    the texture is not uploaded).
// "fps" is frames per second of CPU; a 25 fps video takes 25 / fps of one core.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_theorastream.h"
#include "orvo/gfx/a_theoravideo.h"
#include "orvo/gfx/a_yuvconverter.h"
#include "support/app_fixture.h"
#include "theoragen.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// Two seconds at 25 fps, textured and changing colour, written once.
const std::string& clipPath()
{
    static const std::string path = [] {
        theoragen::Options o;
        o.width = kWidth;
        o.height = kHeight;
        o.quality = 40;
        o.keyframeInterval = 25;
        std::vector<theoragen::Frame> frames;
        for (int i = 0; i < 50; ++i) {
            theoragen::Frame f({uint8_t(60 + 3 * i), uint8_t(100 + i), 150},
                               {uint8_t(180 - 2 * i), 128, uint8_t(90 + i)});
            f.textured = true;
            frames.push_back(f);
        }
        const std::string bytes = theoragen::clip(o, frames);
        const std::string file = (std::filesystem::temp_directory_path() / "kesterby-video-bench.ogv").string();
        std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
        return file;
    }();
    return path;
}

void BM_DecodeAndConvert640x480(benchmark::State& state)
{
    aTheoraStream stream;
    if (!stream.open(clipPath())) {
        state.SkipWithError("the clip did not open");
        return;
    }
    for (auto _ : state) {
        if (!stream.decodeFrame(true)) {
            state.SkipWithError("a frame did not decode");
            break;
        }
        benchmark::DoNotOptimize(stream.getPixels());
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeAndConvert640x480)->Unit(benchmark::kMillisecond);

void BM_ConvertOnly640x480(benchmark::State& state)
{
    std::vector<uint8_t> y(kWidth * kHeight), u(kWidth * kHeight / 4), v(kWidth * kHeight / 4);
    for (size_t i = 0; i < y.size(); ++i)
        y[i] = static_cast<uint8_t>(i * 7);
    for (size_t i = 0; i < u.size(); ++i) {
        u[i] = static_cast<uint8_t>(i * 3);
        v[i] = static_cast<uint8_t>(255 - i * 5);
    }
    aYuvPicture p;
    p.y = {y.data(), kWidth};
    p.u = {u.data(), kWidth / 2};
    p.v = {v.data(), kWidth / 2};
    p.width = kWidth;
    p.height = kHeight;
    std::vector<uint32_t> out(kWidth * kHeight);
    for (auto _ : state) {
        aYuvConverter::convert(p, out.data(), kWidth);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ConvertOnly640x480)->Unit(benchmark::kMillisecond);

void BM_VideoUpdate640x480(benchmark::State& state)
{
    kbtest::TestApp app;
    aGraphServer graph(1024, 768, false, false, true, "bench", 0, false, true, kbtest::recorder());
    aTheoraVideo video;
    if (!video.open(clipPath(), true)) {
        state.SkipWithError("the clip did not open");
        return;
    }
    for (auto _ : state)
        video.update(0.04f); // one frame's time: every update shows a new frame
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VideoUpdate640x480)->Unit(benchmark::kMillisecond);

} // namespace
