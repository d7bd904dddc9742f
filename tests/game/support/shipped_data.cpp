#include "game/support/shipped_data.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace kbtest {

const std::string& shippedData()
{
    static const std::string dir = std::string(KB_TEST_DATA_DIR) + "/../../data/";
    return dir;
}

aGpuPicture decodePicture(const std::string& path)
{
    const std::string bytes = readFile(path);
    aGpuPicture picture;
    EXPECT_EQ(gpu_decodeImage(bytes.data(), bytes.size(), picture), aGpuResult::Ok) << path;
    return picture;
}

aOptionsFile iniSection(const std::string& path, const char* section)
{
    const std::string bytes = readFile(path);
    aOptionsFile file;
    file.parse(bytes.data(), bytes.size(), path.c_str());
    return file.setSection(section) ? file : aOptionsFile();
}

std::vector<ShippedLevel> shippedLevels()
{
    std::vector<ShippedLevel> levels;
    for (const auto& entry : std::filesystem::directory_iterator(shippedData() + "Levels")) {
        if (entry.path().extension() != ".ini")
            continue;
        ShippedLevel level{entry.path().string(), {}, {}, std::make_unique<cLevel>("", true)};
        const aOptionsFile data = iniSection(level.path, "DATA");
        aRect herbivores, predators;
        cLevel::readRect(data, "HerbivoresArea", herbivores);
        cLevel::readRect(data, "PredatorsArea", predators);
        aOptionsFile::splitStrings(data.getString("AvailableAnimals"), level.walkers);
        aOptionsFile::splitStrings(iniSection(level.path, "CONDITIONS").getString("Animals"), level.walkers);
        aOptionsFile::splitStrings(iniSection(level.path, "POACHERS").getString("Types"), level.walkers);
        const auto file = [](const std::string& p) { return shippedData() + "Levels/" + p.substr(p.find(':') + 1); };
        level.background = file(iniSection(level.path, "BACKGROUND").getString("Background"));
        level.grid->buildWalkableGrid(decodePicture(file(data.getString("WalkableMask"))), herbivores, predators);
        levels.push_back(std::move(level));
    }
    return levels;
}

} // namespace kbtest
