// The shipped sounds as the game's lists name them ("<list path under
// Sounds/>:<name>"): every name reaches a file that decodes, and no two names
// share one recording unless the media generator's manifest ("Sounds shared on
// purpose") gives a reason. (The generator's check_audio holds the peak levels.)
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "orvo/platform/audio/a_audiodecoder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

TEST(ShippedSounds, EveryNameDecodesAndHasARecordingOfItsOwn)
{
    const fs::path root = fs::path(KB_TEST_DATA_DIR).parent_path().parent_path(), sounds = root / "data" / "Sounds";
    auto pairKey = [](const std::string& a, const std::string& b) { return std::min(a, b) + "|" + std::max(a, b); };
    std::set<std::string> ids;
    std::map<std::pair<size_t, size_t>, std::vector<std::string>> byContent; // (size, hash of the samples) -> ids
    for (const auto& list : fs::recursive_directory_iterator(sounds)) {
        if (list.path().extension() != ".list")
            continue;
        std::istringstream lines(kbtest::readFile(list.path().string()));
        for (std::string line, file; std::getline(lines, line);) {
            if (!(std::istringstream(line) >> file))
                continue;
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
    // The manifest's rows "| `a:x` | `b:y` | why |" under its heading.
    std::set<std::string> allowed;
    std::istringstream manifest(kbtest::readFile((root / "tools" / "gen_data" / "MANIFEST.md").string()));
    const std::regex row(R"(^\|\s*`?([^|`\s]*:[^|`\s]*)`?\s*\|\s*`?([^|`\s]*)`?\s*\|\s*([^|]*?)\s*\|)");
    std::smatch m;
    for (std::string line, section; std::getline(manifest, line);)
        if (line.starts_with("#"))
            section = line;
        else if (section.find("Sounds shared on purpose") != std::string::npos && std::regex_search(line, m, row)) {
            EXPECT_TRUE(m[3].length() > 0 && ids.count(m[1]) && ids.count(m[2]))
                << "an unknown or unexplained pair: " << line;
            allowed.insert(pairKey(m[1], m[2]));
        }
    for (const auto& [content, same] : byContent)
        for (size_t i = 0; i < same.size(); ++i)
            for (size_t j = i + 1; j < same.size(); ++j)
                EXPECT_TRUE(allowed.count(pairKey(same[i], same[j])))
                    << same[i] << " and " << same[j] << " are one recording";
}
