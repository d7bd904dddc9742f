#include "game/support/shipped_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <utility>

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

std::string shippedFile(const std::string& gamePath)
{
    static const std::pair<const char*, const char*> kFolders[] = {{"levels:", "Levels/"}, {"sprites:", "Sprites/"}};
    for (const auto& [assign, folder] : kFolders)
        if (gamePath.rfind(assign, 0) == 0)
            return shippedData() + folder + gamePath.substr(std::strlen(assign));
    ADD_FAILURE() << "no folder for " << gamePath;
    return {};
}

float creatureReach(const std::string& name)
{
    const std::string animal = shippedData() + "Animals/" + name + "/";
    const bool poacher = !std::filesystem::exists(animal);
    const std::string dir = poacher ? shippedData() + "Poachers/" + name + "/" : animal;
    const std::string sheet = dir + "animations/" + (poacher ? "walk_right.ini" : "adult_walk_right.ini");
    const std::string scale =
        iniSection(dir + name + ".ini", "DATA").getString(poacher ? "BaseScale" : "AdultBaseScale");
    const float width = static_cast<float>(iniSection(sheet, "_General_").getInt("Width"));
    EXPECT_GT(width, 0.0f) << sheet;
    return width * 0.5f * (scale.empty() ? 1.0f : std::stof(scale)) * (poacher ? 1.0f : 1.1f);
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
        level.background = shippedFile(iniSection(level.path, "BACKGROUND").getString("Background"));
        level.grid->buildWalkableGrid(decodePicture(shippedFile(data.getString("WalkableMask"))), herbivores,
                                      predators);
        levels.push_back(std::move(level));
    }
    return levels;
}

} // namespace kbtest
