// Text at volume: 10,000 characters a frame in the game's generated arial14
// font (Latin and Cyrillic words with spaces and kerned pairs).
//  - MeasureWide: getTextSize of the whole text (glyph look-ups, kerning).
//  - MeasureNarrow: getTextSizeA, which first converts from the narrow code page.
// Counter items_per_second: characters per second.
#include <benchmark/benchmark.h>

#include <string>

#include "orvo/gfx/a_font.h"
#include "orvo/util/a_string.h"

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

} // namespace
