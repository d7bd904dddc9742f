// A creature must read against the ground it walks on: the lower quartile of
// CIELAB distances between its opaque pixels and the ground right behind them
// (a dark outline alone does not pass), over up to eight spots of its ground.
// Patches of one ground differ by 9-11; a tan cat on dry grass measured 14-22
// and read as grass: a figure needs about three times the ground's own.
// And it must be large enough to tell apart and to click at the front of the park.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "game/park/drawelement.h"
#include "game/support/shipped_data.h"
#include "support/log_capture.h"

namespace {

using kbtest::decodePicture;
using kbtest::iniSection;

const std::string& kData = kbtest::shippedData();

using Lab = std::array<double, 3>;

Lab lab(uint32_t argb)
{
    double c[3];
    for (int i = 0; i < 3; ++i) {
        const double v = ((argb >> (16 - 8 * i)) & 0xFF) / 255.0;
        c[i] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    }
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; };
    const double x = f((0.4124 * c[0] + 0.3576 * c[1] + 0.1805 * c[2]) / 0.95047),
                 y = f(0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]),
                 z = f((0.0193 * c[0] + 0.1192 * c[1] + 0.9505 * c[2]) / 1.08883);
    return {116.0 * y - 16.0, 500.0 * (x - y), 200.0 * (y - z)};
}

// Opaque pixels at three moments of each sheet's cycle, placed as the game
// draws a cell: bottom centre a little below the feet.
struct Figure {
    std::string name;
    int32_t ground, width = 0, height = 0;
    std::vector<std::tuple<int32_t, int32_t, Lab>> pixels;
};

Figure figure(const std::string& name, int32_t ground, const std::string& base,
              std::initializer_list<const char*> states)
{
    Figure f{name, ground, 0, 0, {}};
    for (const char* state : states)
        for (const char* d : {"up", "up_right", "right", "down_right", "down"}) {
            const std::string sheet = base + state + "_" + d;
            const aOptionsFile size = iniSection(sheet + ".ini", "_General_");
            const int32_t w = size.getInt("Width"), h = size.getInt("Height");
            const aGpuPicture p = decodePicture(sheet + ".png");
            if (!(w > 0 && h > 0 && int32_t(p.width) >= w && int32_t(p.height) >= h)) {
                ADD_FAILURE() << sheet;
                continue;
            }
            if (!f.width)
                f.width = w, f.height = h;
            const int32_t columns = p.width / w, cells = columns * (p.height / h);
            for (int32_t cell : {0, cells / 3, 2 * cells / 3})
                for (int32_t y = 0; y < h; ++y)
                    for (int32_t x = 0; x < w; ++x) {
                        const uint32_t argb =
                            p.pixels[size_t((cell / columns) * h + y) * p.width + (cell % columns) * w + x];
                        if ((argb >> 24) >= 192)
                            f.pixels.emplace_back(x - w / 2, y + 8 - h, lab(argb));
                    }
        }
    return f;
}

double measure(const Figure& figure, const aGpuPicture& ground, const cLevel& grid)
{
    const int32_t gw = ground.width, gh = ground.height;
    std::vector<std::pair<int32_t, int32_t>> spots;
    for (int32_t y = figure.height; y + 8 < gh; y += 24)
        for (int32_t x = figure.width / 2; x + figure.width / 2 < gw; x += 24)
            if (grid.walkableAt(x, y) == figure.ground)
                spots.emplace_back(x, y);
    const size_t count = std::min<size_t>(8, spots.size());
    double total = 0.0, measured = 0;
    for (size_t i = 0; i < count; ++i) {
        const auto [fx, fy] = spots[(2 * i + 1) * spots.size() / (2 * count)];
        std::vector<double> d;
        for (const auto& [dx, dy, a] : figure.pixels)
            if (fx + dx >= 0 && fy + dy >= 0 && fx + dx < gw && fy + dy < gh) {
                const Lab b = lab(ground.pixels[size_t(fy + dy) * gw + fx + dx]);
                d.push_back(std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]));
            }
        if (!d.empty()) {
            std::nth_element(d.begin(), d.begin() + d.size() / 4, d.end());
            total += d[d.size() / 4];
            ++measured;
        }
    }
    return measured ? total / measured : 0.0; // 0: none of its ground found
}

TEST(CreatureContrast, EveryFigureStandsOutFromEveryGroundItWalksOn)
{
    kbtest::LogCapture log;
    std::map<std::string, std::vector<Figure>> figures;
    for (const char* kind : {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"}) {
        const std::string dir = kData + "Animals/" + kind + "/";
        const bool predator = iniSection(dir + kind + ".ini", "DATA").getInt("FoodType") == 1;
        for (const char* age : {"adult", "child"})
            figures[kind].push_back(figure(std::string(kind) + " " + age,
                                           predator ? cLevel::PREDATOR : cLevel::HERBIVORE,
                                           dir + "animations/" + age + "_", {"walk", "idle_01"}));
    }
    figures["hunter"].push_back(
        figure("hunter", cLevel::HERBIVORE, kData + "Poachers/hunter/animations/", {"walk", "shoot"}));
    std::map<std::pair<std::string, std::string>, double> pairs;
    std::map<std::string, aGpuPicture> pictures;
    for (const kbtest::ShippedLevel& level : kbtest::shippedLevels()) {
        if (!pictures.count(level.background))
            pictures[level.background] = decodePicture(level.background);
        const std::string ground = std::filesystem::path(level.background).filename().string();
        for (const std::string& name : level.walkers) {
            ASSERT_TRUE(figures.count(name)) << "unknown figure " << name << " in " << level.path;
            for (const Figure& f : figures[name])
                if (!pairs.count({f.name, ground}))
                    pairs[{f.name, ground}] = measure(f, pictures[level.background], *level.grid);
        }
    }
    EXPECT_GE(pairs.size(), 40u);
    for (const auto& [key, contrast] : pairs)
        EXPECT_GE(contrast, 30.0) << key.first << " blends into " << key.second;
}

// How tall a sheet's figure stands: the median over its frames of the rows
// that hold opaque pixels, from the top of the figure to its feet.
int32_t figureHeight(const std::string& sheet)
{
    const aOptionsFile size = iniSection(sheet + ".ini", "_General_");
    const int32_t w = size.getInt("Width"), h = size.getInt("Height");
    const aGpuPicture p = decodePicture(sheet + ".png");
    if (!(w > 0 && h > 0 && int32_t(p.width) >= w && int32_t(p.height) >= h)) {
        ADD_FAILURE() << sheet;
        return 0;
    }
    std::vector<int32_t> heights;
    for (int32_t cell = 0; cell < int32_t(p.width / w) * int32_t(p.height / h); ++cell) {
        const int32_t cx = cell % int32_t(p.width / w) * w, cy = cell / int32_t(p.width / w) * h;
        int32_t top = h, bottom = -1;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                if ((p.pixels[size_t(cy + y) * p.width + cx + x] >> 24) >= 128)
                    top = std::min(top, y), bottom = std::max(bottom, y);
        if (bottom >= 0)
            heights.push_back(bottom - top + 1);
    }
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    return heights.empty() ? 0 : heights[heights.size() / 2];
}

// At the front of the park, where the park's perspective draws them at their
// full size, a grown animal stands at least 48 pixels tall walking or idling
// in every direction, a young one 28 and a poacher 48 (without the random
// growth of a grown animal): smaller, a player could neither tell them apart
// nor click them.
TEST(CreatureSize, EveryFigureIsLargeEnoughAtTheFrontOfThePark)
{
    kbtest::LogCapture log;
    float front = 0.0f;
    for (const kbtest::ShippedLevel& level : kbtest::shippedLevels())
        for (int32_t y = 0; y < 768; ++y)
            for (int32_t x = 0; x < 1024; x += 4)
                if (level.grid->walkableAt(x, y) != cLevel::NOT_WALKABLE)
                    front = std::max(front, float(y));
    const aOptionsFile render = iniSection(kData + "game.ini", "RENDER");
    cDrawElement::setPerspective(std::stof(render.getString("PerspectiveCorrectionStartDist")),
                                 std::stof(render.getString("PerspectiveCorrectionStartScale")),
                                 std::stof(render.getString("PerspectiveCorrectionEndDist")));
    const float depth = cDrawElement::depthScale(front);
    cDrawElement::setPerspective(180.0f, 0.7f, 500.0f);
    EXPECT_GT(front, 500.0f) << "the park reaches down to its front";

    struct Case {
        std::string name, sheets, scaleFile, scaleKey;
        std::vector<const char*> states;
        float least;
    };
    std::vector<Case> cases;
    for (const char* kind : {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"}) {
        const std::string dir = kData + "Animals/" + kind + "/";
        cases.push_back({std::string(kind) + " grown",
                         dir + "animations/adult_",
                         dir + kind + ".ini",
                         "AdultBaseScale",
                         {"walk", "idle_01"},
                         48.0f});
        cases.push_back({std::string(kind) + " young",
                         dir + "animations/child_",
                         dir + kind + ".ini",
                         "ChildBaseScale",
                         {"walk", "idle_01"},
                         28.0f});
    }
    cases.push_back({"hunter",
                     kData + "Poachers/hunter/animations/",
                     kData + "Poachers/hunter/hunter.ini",
                     "BaseScale",
                     {"walk", "shoot"},
                     48.0f});
    for (const Case& c : cases) {
        const std::string scaleText = iniSection(c.scaleFile, "DATA").getString(c.scaleKey);
        const float scale = (scaleText.empty() ? 1.0f : std::stof(scaleText)) * depth;
        for (const char* state : c.states)
            for (const char* d : {"up", "up_right", "right", "down_right", "down"}) {
                const std::string sheet = c.sheets + state + "_" + d;
                EXPECT_GE(figureHeight(sheet) * scale, c.least) << c.name << ", " << sheet;
            }
    }
}

} // namespace
