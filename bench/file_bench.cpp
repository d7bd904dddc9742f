// Whole-file reads: the loading thread reads hundreds of small definition
// files from one archive, and videos and music are large files on disk or in
// an archive.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "orvo/app/a_file.h"
#include "orvo/app/a_fileserver.h"
#include "support/temp_dir.h"
#include "support/zip_writer.h"

namespace {

constexpr int kSmallMembers = 1000;
constexpr size_t kLargeSize = 32u << 20;

// Text-like bytes that deflate about as well as the game's data files.
std::string sample(size_t size, unsigned seed)
{
    static const char* const words[] = {"image", "= ", "gfx/", "anim_", "0565", "8888", "\n", "frame ", "1 2 3 4 "};
    std::string text;
    uint32_t x = seed * 2654435761u + 7;
    while (text.size() < size) {
        x = x * 1103515245u + 12345u;
        text += words[(x >> 16) % 9];
        text += static_cast<char>('a' + (x >> 8) % 26);
    }
    text.resize(size);
    return text;
}

struct Fixture {
    Fixture()
    {
        server.setAssign("data", dir.path() + "/");
        std::vector<kbtest::ZipEntry> small;
        for (int i = 0; i < kSmallMembers; ++i)
            small.push_back({"defs/item" + std::to_string(i) + ".ini", sample(500 + (i * 37) % 3500, i)});
        kbtest::writeFile(dir.file("small.pak"), kbtest::makeZip(small));

        const std::string large = sample(kLargeSize, 99);
        kbtest::writeFile(dir.file("disk/large.bin"), large);
        kbtest::writeFile(dir.file("deflated.zip"), kbtest::makeZip({{"large.bin", large, true}}));
        kbtest::writeFile(dir.file("stored.zip"), kbtest::makeZip({{"large.bin", large, false}}));
        for (int i = 0; i < kSmallMembers; ++i)
            names.push_back("data:small/defs/item" + std::to_string(i) + ".ini");
    }

    kbtest::TempDir dir{"bench"};
    aFileServer server;
    std::vector<std::string> names;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void readAll(const std::vector<std::string>& names, benchmark::State& state)
{
    for (const std::string& name : names) {
        uint32_t size = 0;
        void* bytes = file_readFullAndMalloc(name.c_str(), &size);
        if (!bytes) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(bytes);
        std::free(bytes);
    }
}

void readLarge(benchmark::State& state, const char* path)
{
    fixture();
    for (auto _ : state) {
        uint32_t size = 0;
        void* bytes = file_readFullAndMalloc(path, &size);
        if (!bytes || size != kLargeSize) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(bytes);
        std::free(bytes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLargeSize));
}

} // namespace

// 1,000 small deflated members of one archive, the archive already open.
static void BM_file_smallMembers(benchmark::State& state)
{
    const auto& names = fixture().names;
    for (auto _ : state)
        readAll(names, state);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
}
BENCHMARK(BM_file_smallMembers)->Unit(benchmark::kMillisecond);

// The same with the archive opened afresh (its directory read) each time.
static void BM_file_smallMembersColdCache(benchmark::State& state)
{
    const auto& names = fixture().names;
    for (auto _ : state) {
        file_closeArchives();
        readAll(names, state);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
}
BENCHMARK(BM_file_smallMembersColdCache)->Unit(benchmark::kMillisecond);

static void BM_file_largeFromDisk(benchmark::State& state)
{
    readLarge(state, "data:disk/large.bin");
}
BENCHMARK(BM_file_largeFromDisk)->Unit(benchmark::kMillisecond);

static void BM_file_largeFromArchiveDeflated(benchmark::State& state)
{
    readLarge(state, "data:deflated/large.bin");
}
BENCHMARK(BM_file_largeFromArchiveDeflated)->Unit(benchmark::kMillisecond);

static void BM_file_largeFromArchiveStored(benchmark::State& state)
{
    readLarge(state, "data:stored/large.bin");
}
BENCHMARK(BM_file_largeFromArchiveStored)->Unit(benchmark::kMillisecond);
