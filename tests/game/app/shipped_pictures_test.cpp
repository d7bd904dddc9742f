// The shipped image lists as the image manager keys them (the file name
// without its extension, no list name): one image manager holds them all, so
// a name listed twice loads only the first picture and the other is never
// drawn. Every particle definition draws a picture of the particle list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path& dataRoot()
{
    static const fs::path root = fs::path(KB_TEST_DATA_DIR).parent_path().parent_path() / "data";
    return root;
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool isPicture(const fs::path& file)
{
    const std::string ext = lower(file.extension().string());
    return ext == ".png" || ext == ".jpg" || ext == ".jng" || ext == ".bmp";
}

// The picture names of one list file, as the image manager keys them.
std::vector<std::string> pictureNames(const fs::path& list)
{
    std::vector<std::string> names;
    std::istringstream lines(kbtest::readFile(list.string()));
    for (std::string line, file; std::getline(lines, line);)
        if ((std::istringstream(line) >> file) && isPicture(file))
            names.push_back(lower(fs::path(file).stem().string()));
    return names;
}

} // namespace

TEST(ShippedPictures, EveryNameOfTheImageListsIsUniqueAndEveryEffectDrawsAParticlePicture)
{
    std::map<std::string, std::string> listOf; // picture name -> the list that names it first
    size_t lists = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dataRoot())) {
        if (entry.path().extension() != ".list")
            continue;
        const std::vector<std::string> names = pictureNames(entry.path());
        lists += names.empty() ? 0 : 1;
        const std::string here = fs::relative(entry.path(), dataRoot()).generic_string();
        for (const std::string& name : names) {
            const auto [it, added] = listOf.emplace(name, here);
            EXPECT_TRUE(added) << "\"" << name << "\" is named by " << it->second << " and " << here;
        }
    }
    EXPECT_GE(lists, 8u) << "the image lists were not found";

    std::set<std::string> particles;
    for (const std::string& name : pictureNames(dataRoot() / "Particles" / "particle.list"))
        particles.insert(name);
    size_t definitions = 0;
    for (const auto& entry : fs::directory_iterator(dataRoot() / "Particles")) {
        if (entry.path().extension() != ".psi")
            continue;
        ++definitions;
        std::istringstream lines(kbtest::readFile(entry.path().string()));
        for (std::string line, word, texture; std::getline(lines, line);) {
            if ((std::istringstream(line) >> word >> texture) && word == "texture") {
                EXPECT_TRUE(particles.count(lower(texture))) << entry.path().filename() << " draws " << texture;
            }
        }
    }
    EXPECT_GE(definitions, 20u);
}
