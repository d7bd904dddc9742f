// Every creature must read against every level ground it can walk on: its
// opaque pixels are compared with the ground pixels right behind them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/park/level.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

const std::string kData = std::string(KB_TEST_DATA_DIR) + "/../../data/";

// CIELAB distance (CIE76) between a figure's opaque pixels and the ground
// behind them, taken at the lower quartile: three quarters of the figure
// differ from the ground by at least this much, so a thin dark outline round
// a body coloured like the ground does not pass for contrast. For scale, a
// just noticeable difference is about 2.3 and neighbouring patches of one
// ground differ by 9-11 on average. A figure has to differ from its ground
// about three times as much as the ground differs from itself to be picked
// out at a glance; a tan cat on dry grass measured 14-22 and read as grass.
constexpr double kMinContrast = 30.0;

aGpuPicture decode(const std::string& path)
{
    const std::string bytes = kbtest::readFile(path);
    aGpuPicture picture;
    if (gpu_decodeImage(bytes.data(), bytes.size(), picture) != aGpuResult::Ok)
        ADD_FAILURE() << "cannot decode " << path;
    return picture;
}

aOptionsFile readIni(const std::string& path)
{
    const std::string bytes = kbtest::readFile(path);
    aOptionsFile file;
    file.parse(bytes.data(), bytes.size(), path.c_str());
    return file;
}

std::vector<std::string> names(const std::string& list)
{
    std::vector<std::string> out;
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ',')) {
        item.erase(0, item.find_first_not_of(" \t"));
        item.erase(item.find_last_not_of(" \t\r") + 1);
        if (!item.empty())
            out.push_back(item);
    }
    return out;
}

// Strips "levels:" style prefixes: the game's aliases map onto data/ folders.
std::string dataPath(const std::string& folder, const std::string& gamePath)
{
    const size_t colon = gamePath.find(':');
    return kData + folder + gamePath.substr(colon == std::string::npos ? 0 : colon + 1);
}

struct Lab {
    double l, a, b;
};

Lab toLab(uint32_t argb)
{
    static const std::array<double, 256> linear = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    const double r = linear[(argb >> 16) & 0xFF], g = linear[(argb >> 8) & 0xFF], b = linear[argb & 0xFF];
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; };
    return {116.0 * f(y) - 16.0, 500.0 * (f(x) - f(y)), 200.0 * (f(y) - f(z))};
}

double distance(uint32_t p, uint32_t q)
{
    const Lab a = toLab(p), b = toLab(q);
    return std::sqrt((a.l - b.l) * (a.l - b.l) + (a.a - b.a) * (a.a - b.a) + (a.b - b.b) * (a.b - b.b));
}

// A few frames of one figure: cells cut from its sheets.
struct Frame {
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

std::vector<Frame> framesOf(const std::string& sheetBase)
{
    const aOptionsFile ini = readIni(sheetBase + ".ini");
    aOptionsFile general = ini;
    if (!general.setSection("_General_")) {
        ADD_FAILURE() << sheetBase << ".ini has no size";
        return {};
    }
    const uint32_t w = static_cast<uint32_t>(general.getInt("Width"));
    const uint32_t h = static_cast<uint32_t>(general.getInt("Height"));
    const aGpuPicture sheet = decode(sheetBase + ".png");
    if (w == 0 || h == 0 || sheet.width < w || sheet.height < h)
        return {};
    std::vector<Frame> frames;
    const uint32_t columns = sheet.width / w, cells = columns * (sheet.height / h);
    // Three moments of the cycle are enough: the colours do not change, the outline does.
    for (uint32_t cell : {0u, cells / 3, 2 * cells / 3}) {
        Frame f{w, h, {}};
        const uint32_t x0 = (cell % columns) * w, y0 = (cell / columns) * h;
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                f.pixels.push_back(sheet.pixels[size_t(y0 + y) * sheet.width + x0 + x]);
        frames.push_back(std::move(f));
    }
    return frames;
}

const char* const kDirections[] = {"up", "up_right", "right", "down_right", "down"};

struct Figure {
    std::string name;
    int32_t ground; // cLevel::HERBIVORE or PREDATOR
    std::vector<Frame> frames;
};

Figure animal(const std::string& kind, const std::string& age)
{
    aOptionsFile ini = readIni(kData + "Animals/" + kind + "/" + kind + ".ini");
    Figure f{kind + " " + age, cLevel::HERBIVORE, {}};
    if (ini.setSection("DATA") && ini.getInt("FoodType") == 1)
        f.ground = cLevel::PREDATOR;
    for (const char* state : {"walk", "idle_01"})
        for (const char* d : kDirections)
            for (Frame& fr : framesOf(kData + "Animals/" + kind + "/animations/" + age + "_" + state + "_" + d))
                f.frames.push_back(std::move(fr));
    return f;
}

Figure hunter()
{
    Figure f{"hunter", cLevel::HERBIVORE, {}};
    for (const char* state : {"walk", "shoot"})
        for (const char* d : kDirections)
            for (Frame& fr : framesOf(kData + "Poachers/hunter/animations/" + std::string(state) + "_" + d))
                f.frames.push_back(std::move(fr));
    return f;
}

// A level's ground picture, its walkable grid, and who can be seen on it.
struct Ground : cLevel {
    Ground() : cLevel("", true) {}
};

struct LevelGround {
    std::string background;
    std::string mask;
    aRect herbivores, predators;
    std::set<std::string> figures;
};

std::vector<LevelGround> levelGrounds()
{
    std::vector<LevelGround> out;
    for (const auto& entry : std::filesystem::directory_iterator(kData + "Levels")) {
        if (entry.path().extension() != ".ini")
            continue;
        aOptionsFile ini = readIni(entry.path().string());
        LevelGround g;
        if (!ini.setSection("DATA"))
            continue;
        cLevel::readRect(ini, "HerbivoresArea", g.herbivores);
        cLevel::readRect(ini, "PredatorsArea", g.predators);
        g.mask = dataPath("Levels/", ini.getString("WalkableMask"));
        for (const std::string& n : names(ini.getString("AvailableAnimals")))
            g.figures.insert(n);
        if (ini.setSection("CONDITIONS"))
            for (const std::string& n : names(ini.getString("Animals")))
                g.figures.insert(n);
        if (ini.setSection("POACHERS"))
            for (const std::string& n : names(ini.getString("Types")))
                g.figures.insert(n);
        if (!ini.setSection("BACKGROUND"))
            continue;
        g.background = dataPath("Levels/", ini.getString("Background"));
        out.push_back(std::move(g));
    }
    std::sort(out.begin(), out.end(), [](const LevelGround& a, const LevelGround& b) { return a.mask < b.mask; });
    return out;
}

struct Score {
    double mean = 0.0;
    double weakestSpot = 0.0;
    int spots = 0;
};

// Stands the figure at up to eight spots spread over its walkable ground and
// takes the lower quartile of the colour distances of its pixels to the
// ground behind them, averaged over the spots.
Score measure(const Figure& figure, const aGpuPicture& ground, const Ground& grid)
{
    const uint32_t cw = figure.frames.front().width, ch = figure.frames.front().height;
    std::vector<std::pair<int32_t, int32_t>> candidates;
    for (int32_t y = int32_t(ch); y + 8 < int32_t(ground.height); y += 24)
        for (int32_t x = int32_t(cw / 2); x + int32_t(cw / 2) < int32_t(ground.width); x += 24)
            if (grid.walkableAt(x, y) == figure.ground)
                candidates.emplace_back(x, y);
    Score s;
    s.weakestSpot = 1e9;
    const size_t count = std::min<size_t>(8, candidates.size());
    double total = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const auto [fx, fy] = candidates[(2 * i + 1) * candidates.size() / (2 * count)];
        std::vector<double> d;
        for (const Frame& f : figure.frames) {
            // The cell's bottom centre a little below the feet, as the game draws it.
            const int32_t left = fx - int32_t(f.width / 2), top = fy + 8 - int32_t(f.height);
            for (uint32_t y = 0; y < f.height; ++y)
                for (uint32_t x = 0; x < f.width; ++x) {
                    const uint32_t p = f.pixels[size_t(y) * f.width + x];
                    if ((p >> 24) < 192)
                        continue;
                    const int32_t gx = left + int32_t(x), gy = top + int32_t(y);
                    if (gx < 0 || gy < 0 || gx >= int32_t(ground.width) || gy >= int32_t(ground.height))
                        continue;
                    d.push_back(distance(p, ground.pixels[size_t(gy) * ground.width + size_t(gx)]));
                }
        }
        if (d.empty())
            continue;
        std::nth_element(d.begin(), d.begin() + d.size() / 4, d.end());
        const double spot = d[d.size() / 4];
        s.weakestSpot = std::min(s.weakestSpot, spot);
        total += spot;
        ++s.spots;
    }
    s.mean = s.spots ? total / s.spots : 0.0;
    return s;
}

TEST(CreatureContrast, EveryFigureStandsOutFromEveryGroundItWalksOn)
{
    kbtest::LogCapture log;
    std::map<std::string, std::vector<Figure>> figures;
    for (const char* kind : {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"})
        for (const char* age : {"adult", "child"})
            figures[kind].push_back(animal(kind, age));
    figures["hunter"].push_back(hunter());
    for (const auto& [name, list] : figures)
        for (const Figure& f : list)
            ASSERT_EQ(f.frames.size(), 30u) << f.name;

    const std::vector<LevelGround> levels = levelGrounds();
    ASSERT_GE(levels.size(), 19u);
    // One measurement per figure and ground picture, over every level using that ground.
    std::map<std::pair<std::string, std::string>, Score> pairs;
    std::map<std::string, aGpuPicture> pictures;
    for (const LevelGround& level : levels) {
        Ground grid;
        grid.buildWalkableGrid(decode(level.mask), level.herbivores, level.predators);
        if (!pictures.count(level.background))
            pictures[level.background] = decode(level.background);
        const aGpuPicture& picture = pictures[level.background];
        ASSERT_EQ(picture.width, 1024u) << level.background;
        const std::string groundName = std::filesystem::path(level.background).filename().string();
        for (const std::string& name : level.figures) {
            ASSERT_TRUE(figures.count(name)) << "unknown figure " << name;
            for (const Figure& f : figures[name]) {
                const auto key = std::make_pair(f.name, groundName);
                if (pairs.count(key))
                    continue;
                const Score s = measure(f, picture, grid);
                EXPECT_GT(s.spots, 0) << f.name << " finds no ground on " << groundName;
                pairs[key] = s;
            }
        }
    }

    std::pair<std::string, std::string> weakest;
    double weakestScore = 1e9;
    for (const auto& [key, s] : pairs) {
        std::printf("contrast %-16s on %-16s %6.1f (weakest spot %5.1f)\n", key.first.c_str(), key.second.c_str(),
                    s.mean, s.weakestSpot);
        if (s.mean < weakestScore) {
            weakestScore = s.mean;
            weakest = key;
        }
        EXPECT_GE(s.mean, kMinContrast) << key.first << " blends into " << key.second;
    }
    std::printf("contrast weakest: %s on %s %.1f\n", weakest.first.c_str(), weakest.second.c_str(), weakestScore);
    EXPECT_GE(pairs.size(), 40u);
}

} // namespace
