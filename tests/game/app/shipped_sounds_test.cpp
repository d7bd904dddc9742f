// The shipped sounds as the game's lists name them: every name reaches a file
// that decodes, is long and loud enough to be heard and keeps the peak rule of
// the media generator's manifest, and no two names share one recording unless
// the manifest's "Sounds shared on purpose" table says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "orvo/platform/audio/a_audiodecoder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = fs::path(KB_TEST_DATA_DIR).parent_path().parent_path();
const fs::path kSounds = kRoot / "data" / "Sounds";
const fs::path kManifest = kRoot / "tools" / "gen_data" / "MANIFEST.md";

// A sound as the lists give it: "<list path under Sounds/>:<name>".
struct ListedSound {
    std::string id;
    fs::path file;
};

std::vector<ListedSound> listedSounds()
{
    std::vector<fs::path> lists;
    for (const auto& entry : fs::recursive_directory_iterator(kSounds))
        if (entry.is_regular_file() && entry.path().extension() == ".list")
            lists.push_back(entry.path());
    std::sort(lists.begin(), lists.end());
    std::vector<ListedSound> sounds;
    for (const fs::path& list : lists) {
        std::istringstream lines(kbtest::readFile(list.string()));
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string file;
            if (!(words >> file))
                continue;
            const std::string listId = fs::relative(list, kSounds).generic_string();
            sounds.push_back({listId + ":" + fs::path(file).stem().string(), list.parent_path() / file});
        }
    }
    return sounds;
}

struct Decoded {
    bool ok = false;
    int rate = 0;
    size_t frames = 0;
    int peak = 0; // largest sample magnitude
    std::string pcm;
};

Decoded decode(const fs::path& file)
{
    Decoded d;
    const std::string bytes = kbtest::readFile(file.string());
    auto decoder = audio_openDecoder(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (!decoder)
        return d;
    d.rate = decoder->rate();
    const int channels = decoder->channels();
    std::vector<int16_t> buffer(4096 * static_cast<size_t>(channels));
    while (uint32_t got = decoder->read(buffer.data(), 4096)) {
        const size_t values = got * static_cast<size_t>(channels);
        for (size_t i = 0; i < values; ++i)
            d.peak = std::max(d.peak, std::abs(static_cast<int>(buffer[i])));
        d.pcm.append(reinterpret_cast<const char*>(buffer.data()), values * sizeof(int16_t));
        d.frames += got;
    }
    d.ok = d.frames > 0;
    return d;
}

double dbfs(int peak)
{
    return 20.0 * std::log10(std::max(peak, 1) / 32768.0);
}

// The pairs of the manifest's table, as "a|b" with the smaller id first.
std::map<std::string, std::string> sharedOnPurpose()
{
    std::map<std::string, std::string> pairs;
    std::istringstream lines(kbtest::readFile(kManifest.string()));
    std::string line;
    bool inSection = false;
    while (std::getline(lines, line)) {
        if (line.rfind("#", 0) == 0) {
            inSection = line.find("Sounds shared on purpose") != std::string::npos;
            continue;
        }
        if (!inSection || line.rfind("|", 0) != 0)
            continue;
        std::vector<std::string> cells;
        std::istringstream row(line.substr(1));
        std::string cell;
        while (std::getline(row, cell, '|')) {
            const size_t a = cell.find_first_not_of(" `");
            const size_t b = cell.find_last_not_of(" `");
            cells.push_back(a == std::string::npos ? "" : cell.substr(a, b - a + 1));
        }
        if (cells.size() < 3 || cells[0].find(':') == std::string::npos)
            continue; // the header and its rule
        EXPECT_FALSE(cells[2].empty()) << "no reason given for " << cells[0] << " and " << cells[1];
        pairs[std::min(cells[0], cells[1]) + "|" + std::max(cells[0], cells[1])] = cells[2];
    }
    return pairs;
}

} // namespace

TEST(ShippedSounds, EveryNameIsAudibleWithinThePeakRuleAndHasARecordingOfItsOwn)
{
    const std::vector<ListedSound> sounds = listedSounds();
    ASSERT_GT(sounds.size(), 100u) << kSounds;

    std::map<std::pair<size_t, size_t>, std::vector<std::string>> byContent; // (size, hash) -> ids
    std::set<std::string> ids;
    std::string loudest;
    double loudestDb = -100.0;
    for (const ListedSound& s : sounds) {
        EXPECT_TRUE(ids.insert(s.id).second) << s.id << " is listed twice";
        const Decoded d = decode(s.file);
        if (!d.ok) {
            ADD_FAILURE() << s.id << ": " << s.file << " is missing or does not decode";
            continue;
        }
        EXPECT_GE(d.frames, static_cast<size_t>(d.rate / 50)) << s.id << " is shorter than 20 ms";
        // Effects and music peak at -3 dBFS at most, the ambient beds under them at -4.
        const bool bed = s.id.rfind("Ambient/", 0) == 0;
        const double ceiling = bed ? -4.0 : -3.0;
        const double peak = dbfs(d.peak);
        EXPECT_LE(peak, ceiling) << s.id;
        EXPECT_GE(peak, ceiling - 3.0) << s.id << " is far below the level of the others";
        if (peak > loudestDb) {
            loudestDb = peak;
            loudest = s.id;
        }
        byContent[{d.pcm.size(), std::hash<std::string>{}(d.pcm)}].push_back(s.id);
    }
    std::cout << "loudest: " << loudest << " at " << loudestDb << " dBFS\n";

    const std::map<std::string, std::string> allowed = sharedOnPurpose();
    for (const auto& [key, reason] : allowed) {
        const std::string a = key.substr(0, key.find('|'));
        const std::string b = key.substr(key.find('|') + 1);
        EXPECT_TRUE(ids.count(a) && ids.count(b)) << "the manifest allows an unknown sound: " << key;
    }
    for (const auto& [content, same] : byContent)
        for (size_t i = 0; i < same.size(); ++i)
            for (size_t j = i + 1; j < same.size(); ++j) {
                const std::string key = std::min(same[i], same[j]) + "|" + std::max(same[i], same[j]);
                EXPECT_TRUE(allowed.count(key)) << same[i] << " and " << same[j] << " are one recording";
            }
}
