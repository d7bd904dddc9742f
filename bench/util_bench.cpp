// Name hashing runs on every map look-up of sprites, sounds and kinds.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "orvo/util/a_crc32.h"

static void BM_crc32_string_names(benchmark::State& state)
{
    const std::vector<std::string> names = {"zebra",       "hippo_adult", "heal",          "helo_click",
                                            "ANIMAL_BORN_01", "caption_quit", "money_sign", "GROWN",
                                            "cursors",     "lion_child_walk_down_right"};
    size_t bytes = 0;
    for (const auto& n : names)
        bytes += n.size();
    for (auto _ : state) {
        for (const auto& n : names)
            benchmark::DoNotOptimize(crc32_string(n.c_str()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
}
BENCHMARK(BM_crc32_string_names);
