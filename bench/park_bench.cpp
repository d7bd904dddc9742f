// The park's geometry and level set-up.
//  - PathSearch: one walker plans a path past 30 obstacles that all cross
//    its straight line, refined into staircase steps as animals walk.
//    Counter: waypoints of the path.
//  - LoadLevel01: the whole load of the fenced park level from the shipped
//    data (level file, mask decoded and turned into the grid, background
//    picture into a texture on the recording device), then its release.
#include <benchmark/benchmark.h>

#include "game/park/level.h"
#include "game/park/movableelement.h"
#include "orvo/gfx/a_graphserver.h"
#include "support/app_fixture.h"

namespace {

class Walker : public cMovableElement {
public:
    void setDirection(const aVector2&) override {}
};

// Thirty posts of different heights across the walker's line: every one is
// crossed, so the search weighs all their corners.
cObstacleList rowOfPosts()
{
    cObstacleList list;
    for (int i = 0; i < 30; ++i) {
        cObstacle o;
        const int16_t x = static_cast<int16_t>(40 + i * 31), y = static_cast<int16_t>(330 + (i % 3) * 20);
        const uint16_t w = 20, h = static_cast<uint16_t>(90 + (i % 4) * 15);
        o.rect = aRect(x, y, w, h);
        o.cornerCount = 4;
        o.corners[0] = aVector2(x - 1.0f, y - 1.0f);
        o.corners[1] = aVector2(x + w + 1.0f, y - 1.0f);
        o.corners[2] = aVector2(x + w + 1.0f, y + h + 1.0f);
        o.corners[3] = aVector2(x - 1.0f, y + h + 1.0f);
        list.push_back(o);
    }
    return list;
}

void PathSearch(benchmark::State& state)
{
    const cObstacleList obstacles = rowOfPosts();
    Walker walker;
    walker.obstacles = &obstacles;
    walker.setPosition(aVector2(10.0f, 400.0f));
    for (auto _ : state) {
        walker.moveTo(aVector2(1000.0f, 410.0f));
        if (walker.blocked)
            state.SkipWithError("no path found");
        benchmark::DoNotOptimize(walker.path.data());
    }
    state.counters["waypoints"] = static_cast<double>(walker.path.size());
}
BENCHMARK(PathSearch)->Unit(benchmark::kMicrosecond);

void LoadLevel01(benchmark::State& state)
{
    kbtest::TestApp app;
    aGraphServer graph(1024, 768, false, false, true, "bench", 0, false, true, kbtest::recorder());
    app.getFileServer().setAssign("data", std::string(KB_TEST_DATA_DIR) + "/../../data/");
    app.getFileServer().setAssign("levels", "data:Levels/");
    for (auto _ : state) {
        cLevel level("levels:Level01.ini", true);
        if (!level.loaded)
            state.SkipWithError("Level01 did not load");
        level.release();
    }
}
BENCHMARK(LoadLevel01)->Unit(benchmark::kMillisecond);

} // namespace
