// Parsing speed of the text readers on files of the size the game loads:
// a 10,000-line INI file and a 2,000-line layout script.
#include <benchmark/benchmark.h>

#include <string>

#include "orvo/app/a_optionsfile.h"
#include "orvo/app/a_scriptloader.h"
#include "support/temp_dir.h"

namespace {

kbtest::TempDir& benchDir()
{
    static kbtest::TempDir dir("bench");
    return dir;
}

int lineCount(const std::string& text)
{
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

// 500 sections of a header, a comment and 18 keys of the usual kinds.
const std::string& iniText()
{
    static const std::string text = [] {
        std::string t;
        for (int s = 0; s < 500; ++s) {
            t += "[ANIMAL_KIND_" + std::to_string(s) + "]\r\n";
            t += "; growth and prices\r\n";
            for (int k = 0; k < 6; ++k) {
                t += "AdultAnimalsPercent" + std::to_string(k) + " = " + std::to_string(s * k) + "\r\n";
                t += "Rect" + std::to_string(k) + "=10, 20, 300, 400 ; area\r\n";
                t += "Sprite" + std::to_string(k) + "=sprites:animals/zebra_adult_walk.png\r\n";
            }
        }
        return t;
    }();
    return text;
}

// Blocks of a screen layout: a window with 90 buttons of four properties each
// and a nested label, per 500 lines; macros used on most lines.
const std::string& scriptText()
{
    static const std::string text = [] {
        std::string t = "#define BTN_W \"120\"\n#define FONT \"main\"\n";
        int n = 0;
        while (lineCount(t) < 2000) {
            t += "window \"screen " + std::to_string(n++) + "\"\n{\n  AreaRect 0 0 1024 768\n  Font $FONT$\n";
            for (int b = 0; b < 60 && lineCount(t) < 1990; ++b) {
                t += "  button btn_" + std::to_string(b) + "\n  {\n";
                t += "    AreaRect 10 " + std::to_string(b * 32) + " $BTN_W$ 30\n";
                t += "    Text \"caption_" + std::to_string(b) + "\"\n    Font $FONT$\n  }\n";
            }
            t += "}\n";
        }
        return t;
    }();
    return text;
}

std::string writeOnce(const char* name, const std::string& text)
{
    const std::string path = benchDir().file(name);
    kbtest::writeFile(path, text);
    return path;
}

class CountingLoader : public aScriptLoader {
public:
    int64_t calls = 0;

protected:
    int32_t OnSectionHeader(int32_t parent, const Words& words) override
    {
        calls += static_cast<int64_t>(words.size());
        return parent + 1;
    }
    void OnSectionEnd(int32_t) override { ++calls; }
    void OnSectionLine(int32_t, const Words& words) override { calls += static_cast<int64_t>(words.size()); }
};

} // namespace

static void BM_ini_loadFile_10000_lines(benchmark::State& state)
{
    const std::string path = writeOnce("big.ini", iniText());
    for (auto _ : state) {
        aOptionsFile ini(path.c_str());
        benchmark::DoNotOptimize(ini.getKeyCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * iniText().size()));
    state.counters["lines"] = lineCount(iniText());
}
BENCHMARK(BM_ini_loadFile_10000_lines)->Unit(benchmark::kMillisecond);

static void BM_ini_parseMemory_10000_lines(benchmark::State& state)
{
    const std::string& text = iniText();
    for (auto _ : state) {
        aOptionsFile ini;
        ini.parse(text.data(), text.size());
        benchmark::DoNotOptimize(ini.getKeyCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ini_parseMemory_10000_lines)->Unit(benchmark::kMillisecond);

static void BM_ini_readEveryKey_10000_lines(benchmark::State& state)
{
    const std::string& text = iniText();
    aOptionsFile ini;
    ini.parse(text.data(), text.size());
    for (auto _ : state) {
        int64_t sum = 0;
        for (ini.firstSection(); !ini.isSectionEnd(); ini.nextSection())
            for (int k = 0; k < 6; ++k)
                sum += ini.getInt("AdultAnimalsPercent" + std::to_string(k));
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ini_readEveryKey_10000_lines)->Unit(benchmark::kMillisecond);

static void BM_script_load_2000_lines(benchmark::State& state)
{
    const std::string path = writeOnce("layout.agui", scriptText());
    for (auto _ : state) {
        CountingLoader loader;
        loader.load(path);
        benchmark::DoNotOptimize(loader.calls);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * scriptText().size()));
    state.counters["lines"] = lineCount(scriptText());
}
BENCHMARK(BM_script_load_2000_lines)->Unit(benchmark::kMillisecond);
