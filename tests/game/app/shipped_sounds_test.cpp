// The shipped sounds as the game's lists name them: every name reaches a file
// that decodes, is long and loud enough to be heard and keeps the peak rule of
// the media generator's manifest, and no two names share one recording unless
// the manifest's "Sounds shared on purpose" table says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
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

// "a|b" with the smaller id first.
std::string pairKey(const std::string& a, const std::string& b)
{
    return std::min(a, b) + "|" + std::max(a, b);
}

// The rows of the manifest's table, each with the reason given.
std::map<std::string, std::string> sharedOnPurpose()
{
    std::map<std::string, std::string> pairs;
    std::istringstream lines(kbtest::readFile((kRoot / "tools" / "gen_data" / "MANIFEST.md").string()));
    bool inSection = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("#"))
            inSection = line.find("Sounds shared on purpose") != std::string::npos;
        if (!inSection || !line.starts_with("|"))
            continue;
        std::vector<std::string> cells;
        std::istringstream row(line.substr(1));
        for (std::string cell; std::getline(row, cell, '|');) {
            const size_t a = cell.find_first_not_of(" `"), b = cell.find_last_not_of(" `");
            cells.push_back(a == std::string::npos ? "" : cell.substr(a, b - a + 1));
        }
        if (cells.size() >= 3 && cells[0].find(':') != std::string::npos) // not the header or its rule
            pairs[pairKey(cells[0], cells[1])] = cells[2];
    }
    return pairs;
}

} // namespace

TEST(ShippedSounds, EveryNameIsAudibleWithinThePeakRuleAndHasARecordingOfItsOwn)
{
    const fs::path sounds = kRoot / "data" / "Sounds";
    std::vector<fs::path> lists;
    for (const auto& entry : fs::recursive_directory_iterator(sounds))
        if (entry.path().extension() == ".list")
            lists.push_back(entry.path());
    std::sort(lists.begin(), lists.end());

    // A sound as the lists give it: "<list path under Sounds/>:<name>".
    std::set<std::string> ids;
    std::map<std::pair<size_t, size_t>, std::vector<std::string>> byContent; // (size, hash) -> ids
    for (const fs::path& list : lists) {
        std::istringstream lines(kbtest::readFile(list.string()));
        for (std::string line, file; std::getline(lines, line);) {
            if (!(std::istringstream(line) >> file))
                continue;
            const std::string id = fs::relative(list, sounds).generic_string() + ":" + fs::path(file).stem().string();
            EXPECT_TRUE(ids.insert(id).second) << id << " is listed twice";
            const std::string bytes = kbtest::readFile((list.parent_path() / file).string());
            auto decoder = audio_openDecoder(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            std::string pcm;
            int peak = 0;
            size_t frames = 0;
            std::vector<int16_t> buffer(4096 * static_cast<size_t>(decoder ? decoder->channels() : 0));
            while (decoder) {
                const uint32_t got = decoder->read(buffer.data(), 4096);
                if (got == 0)
                    break;
                const size_t values = got * static_cast<size_t>(decoder->channels());
                for (size_t i = 0; i < values; ++i)
                    peak = std::max(peak, std::abs(static_cast<int>(buffer[i])));
                pcm.append(reinterpret_cast<const char*>(buffer.data()), values * sizeof(int16_t));
                frames += got;
            }
            if (frames == 0) {
                ADD_FAILURE() << id << ": " << file << " is missing or does not decode";
                continue;
            }
            EXPECT_GE(frames, static_cast<size_t>(decoder->rate() / 50)) << id << " is shorter than 20 ms";
            // Effects and music peak at -3 dBFS at most, the ambient beds under them at -4.
            const double ceiling = id.starts_with("Ambient/") ? -4.0 : -3.0;
            const double db = 20.0 * std::log10(std::max(peak, 1) / 32768.0);
            EXPECT_LE(db, ceiling) << id;
            EXPECT_GE(db, ceiling - 3.0) << id << " is far below the level of the others";
            byContent[{pcm.size(), std::hash<std::string>{}(pcm)}].push_back(id);
        }
    }
    ASSERT_GT(ids.size(), 100u) << sounds;

    const std::map<std::string, std::string> allowed = sharedOnPurpose();
    for (const auto& [key, reason] : allowed) {
        EXPECT_FALSE(reason.empty()) << "no reason given for " << key;
        EXPECT_TRUE(ids.count(key.substr(0, key.find('|'))) && ids.count(key.substr(key.find('|') + 1)))
            << "the manifest allows an unknown sound: " << key;
    }
    for (const auto& [content, same] : byContent)
        for (size_t i = 0; i < same.size(); ++i)
            for (size_t j = i + 1; j < same.size(); ++j)
                EXPECT_TRUE(allowed.count(pairKey(same[i], same[j]))) << same[i] << " and " << same[j] << " are one recording";
}
