// The shipped sounds as the game's lists name them: every name reaches a file
// that decodes, and no two names share one recording unless the media
// generator's manifest ("Sounds shared on purpose") says why. (The generator's
// check_audio holds the peak levels.)
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

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

// The rows "| `a:x` | `b:y` | why |" of the manifest's table, each with the reason given.
std::map<std::string, std::string> sharedOnPurpose()
{
    std::map<std::string, std::string> pairs;
    std::istringstream lines(kbtest::readFile((kRoot / "tools" / "gen_data" / "MANIFEST.md").string()));
    const std::regex row(R"(^\|\s*`?([^|`\s]*:[^|`\s]*)`?\s*\|\s*`?([^|`\s]*)`?\s*\|\s*([^|]*?)\s*\|)");
    bool inSection = false;
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("#"))
            inSection = line.find("Sounds shared on purpose") != std::string::npos;
        else if (inSection && std::regex_search(line, m, row))
            pairs[pairKey(m[1], m[2])] = m[3];
    }
    return pairs;
}

} // namespace

TEST(ShippedSounds, EveryNameDecodesAndHasARecordingOfItsOwn)
{
    const fs::path sounds = kRoot / "data" / "Sounds";
    std::set<std::string> ids;
    std::map<std::pair<size_t, size_t>, std::vector<std::string>> byContent; // (size, hash of the samples) -> ids
    for (const auto& list : fs::recursive_directory_iterator(sounds)) {
        if (list.path().extension() != ".list")
            continue;
        std::istringstream lines(kbtest::readFile(list.path().string()));
        for (std::string line, file; std::getline(lines, line);) {
            if (!(std::istringstream(line) >> file))
                continue;
            // A sound as the lists give it: "<list path under Sounds/>:<name>".
            const std::string id = fs::relative(list, sounds).generic_string() + ":" + fs::path(file).stem().string();
            EXPECT_TRUE(ids.insert(id).second) << id << " is listed twice";
            const std::string bytes = kbtest::readFile((list.path().parent_path() / file).string());
            auto decoder = audio_openDecoder(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            std::vector<int16_t> pcm, buffer(4096 * 8);
            while (decoder)
                if (const uint32_t got = decoder->read(buffer.data(), 4096 * 8 / decoder->channels()))
                    pcm.insert(pcm.end(), buffer.begin(), buffer.begin() + got * decoder->channels());
                else
                    break;
            if (pcm.empty()) {
                ADD_FAILURE() << id << ": " << file << " is missing or does not decode";
                continue;
            }
            const std::string_view samples(reinterpret_cast<const char*>(pcm.data()), pcm.size() * 2);
            byContent[{pcm.size(), std::hash<std::string_view>{}(samples)}].push_back(id);
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
                EXPECT_TRUE(allowed.count(pairKey(same[i], same[j])))
                    << same[i] << " and " << same[j] << " are one recording";
}
