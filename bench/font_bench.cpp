// Text at volume: 10,000 characters a frame in the game's generated arial14
// font (Latin and Cyrillic words with spaces and kerned pairs).
//  - MeasureWide: getTextSize of the whole text (glyph look-ups, kerning).
//  - MeasureNarrow: getTextSizeA, which first converts from the narrow code page.
//  - DrawFrame: a whole frame on the OpenGL device (offscreen, 1024 x 768):
//    the text drawn as 50 lines of 200 characters, each line centred
//    (so measured too), then the frame closed and presented.
//  - EmptyFrame: the same frame without text, to subtract.
// Counter items_per_second: characters per second.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/util/a_string.h"
#include "support/app_fixture.h"

namespace {

constexpr size_t kCharacters = 10000;

const std::string& fontPath()
{
    static const std::string path =
        std::string(KB_TEST_DATA_DIR) + "/../../data/Localization/English/Fonts/arial14.ini";
    return path;
}

// Words of both scripts, with pairs the font kerns (AV, To, Ty).
std::wstring sampleText()
{
    const std::wstring words[] = {L"AVATAR ", L"Today ",         L"zebra ",      L"\x0416\x0438\x0440\x0430\x0444 ",
                                  L"Typo, ",  L"\x00C9t\x00E9 ", L"money 1250$ "};
    std::wstring text;
    for (size_t i = 0; text.size() < kCharacters; ++i)
        text += words[i % std::size(words)];
    text.resize(kCharacters);
    return text;
}

void MeasureWide(benchmark::State& state)
{
    aFont font(fontPath().c_str());
    const std::wstring text = sampleText();
    for (auto _ : state)
        benchmark::DoNotOptimize(font.getTextSize(text));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCharacters));
}
BENCHMARK(MeasureWide)->Unit(benchmark::kMicrosecond);

void MeasureNarrow(benchmark::State& state)
{
    aFont font(fontPath().c_str());
    const std::string text = string_wideToCp1251(sampleText());
    for (auto _ : state)
        benchmark::DoNotOptimize(font.getTextSizeA(text));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCharacters));
}
BENCHMARK(MeasureNarrow)->Unit(benchmark::kMicrosecond);

constexpr size_t kLines = 50;

void frame(benchmark::State& state, bool withText)
{
    kbtest::TestApp app;
    auto device = std::make_unique<aGpuDeviceGL>();
    aGpuDeviceGL* gl = device.get();
    aGraphServer graph(1024, 768, false, false, true, "bench", 0, false, true, std::move(device));
    if (!gl->isCreated()) {
        state.SkipWithError("no OpenGL device (SDL_VIDEODRIVER=offscreen?)");
        return;
    }
    aFont font(fontPath().c_str());
    const std::wstring text = sampleText();
    std::vector<std::wstring> lines;
    for (size_t i = 0; i < kLines; ++i)
        lines.push_back(text.substr(i * (kCharacters / kLines), kCharacters / kLines));
    for (auto _ : state) {
        if (!graph.beginScene())
            continue;
        if (withText)
            for (size_t i = 0; i < kLines; ++i)
                font.drawText(512.0f, 8.0f + 15.0f * i, lines[i], A_FONT_CENTER_X);
        graph.endScene();
    }
    if (withText)
        state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCharacters));
}

void DrawFrame(benchmark::State& state)
{
    frame(state, true);
}
BENCHMARK(DrawFrame)->Unit(benchmark::kMillisecond);

void EmptyFrame(benchmark::State& state)
{
    frame(state, false);
}
BENCHMARK(EmptyFrame)->Unit(benchmark::kMillisecond);

} // namespace
