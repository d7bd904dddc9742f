#include "orvo/gfx/a_imagemanager.h"

#include <utility>

#include "orvo/util/a_log.h"

namespace {

constexpr const char* kBlanks = " \t";

std::string makeKey(const std::string& name, const std::string& listName)
{
    return listName.empty() ? name : name + ":" + listName;
}

// The parts of an image list line; false when one is missing.
struct ImageLine {
    std::string name;
    std::string file;
    std::string format16;
    std::string format32;
};

bool parseFile(const std::string& line, ImageLine& out)
{
    const size_t dot = line.rfind('.');
    if (dot == std::string::npos)
        return false;
    const size_t blank = line.find_first_of(kBlanks, dot);
    if (blank == std::string::npos)
        return false;
    out.name = line.substr(0, dot);
    out.file = line.substr(0, blank);
    return true;
}

bool parseLine(const std::string& line, ImageLine& out)
{
    if (!parseFile(line, out))
        return false;
    const size_t start16 = line.find_first_not_of(kBlanks, out.file.size());
    if (start16 == std::string::npos)
        return false;
    const size_t end16 = line.find_first_of(kBlanks, start16);
    if (end16 == std::string::npos)
        return false;
    const size_t start32 = line.find_first_not_of(kBlanks, end16);
    if (start32 == std::string::npos)
        return false;
    const size_t end32 = line.find_first_of(kBlanks, start32);
    out.format16 = line.substr(start16, end16 - start16);
    out.format32 = line.substr(start32, end32 == std::string::npos ? std::string::npos : end32 - start32);
    return true;
}

} // namespace

aImageManager::~aImageManager()
{
    m_images.clear();
}

aGpuFormat aImageManager::formatByName(const std::string& name)
{
    static const std::map<std::string, aGpuFormat> table = {
        {"1555", aGpuFormat::A1R5G5B5},
        {"4444", aGpuFormat::A4R4G4B4},
        {"0565", aGpuFormat::R5G6B5},
        {"8888", aGpuFormat::A8R8G8B8},
    };
    const auto it = table.find(name);
    return it == table.end() ? aGpuFormat::Unknown : it->second;
}

void aImageManager::loadItem(const std::string& folder, const std::string& line, const std::string& listName)
{
    ImageLine parsed;
    if (!parseLine(line, parsed)) {
        a_log("aImageManager: Error in line: %s", line.c_str());
        return;
    }
    const aGpuFormat format16 = formatByName(parsed.format16);
    const aGpuFormat format32 = formatByName(parsed.format32);
    if (format16 == aGpuFormat::Unknown || format32 == aGpuFormat::Unknown)
        a_log("aImageManager. Unknown image format: %s", line.c_str());
    const std::string key = makeKey(parsed.name, listName);
    if (m_images.count(key)) {
        a_log("aImageManager. Image with name \"%s\" already loaded!", parsed.file.c_str());
        return;
    }
    m_images.emplace(key, aImage(folder + parsed.file, format16, format32));
    if (m_itemLoaded)
        m_itemLoaded(parsed.file.c_str());
}

std::string aImageManager::getItemFile(const std::string& line)
{
    ImageLine parsed;
    if (!parseFile(line, parsed)) {
        a_log("aImageManager: Error in line: %s", line.c_str());
        return "";
    }
    return parsed.file;
}

bool aImageManager::unloadItem(const std::string& line, const std::string& listName)
{
    const size_t dot = line.rfind('.');
    return m_images.erase(makeKey(dot == std::string::npos ? line : line.substr(0, dot), listName)) != 0;
}

aImage* aImageManager::getImage(const std::string& name, const std::string& listName)
{
    const auto it = m_images.find(makeKey(name, listName));
    if (it != m_images.end())
        return &it->second;
    if (listName.empty())
        a_log("aImageManager. Cannot find image: %s", name.c_str());
    else
        a_log("aImageManager. Cannot find image: %s : %s", name.c_str(), listName.c_str());
    return nullptr;
}

bool aImageManager::hasImage(const std::string& name, const std::string& listName) const
{
    return m_images.count(makeKey(name, listName)) != 0;
}
