#include "orvo/sound/a_soundmanager.h"

#include <cstdlib>

#include "orvo/util/a_log.h"

namespace {

constexpr const char* kBlanks = " \t";

struct ListLine {
    std::string name;
    std::string file;
    size_t volumeAt = std::string::npos;
};

// "<name>.<ext><blanks><volume>"; false when the dot or the blank after it is
// missing, or (with `needVolume`) when nothing follows the blanks.
bool parseLine(const std::string& line, bool needVolume, ListLine* out)
{
    const size_t dot = line.find('.');
    if (dot == std::string::npos)
        return false;
    const size_t blank = line.find_first_of(kBlanks, dot);
    if (blank == std::string::npos)
        return false;
    out->file = line.substr(0, blank);
    out->name = line.substr(0, dot);
    if (needVolume) {
        out->volumeAt = line.find_first_not_of(kBlanks, blank);
        if (out->volumeAt == std::string::npos)
            return false;
    }
    return true;
}

std::string makeKey(const std::string& name, const std::string& listName)
{
    return listName.empty() ? name : name + ":" + listName;
}

} // namespace

aSoundManager::~aSoundManager()
{
    m_copies.clear();
    m_sounds.clear();
}

void aSoundManager::loadItem(const std::string& folder, const std::string& line, const std::string& listName)
{
    ListLine parsed;
    if (!parseLine(line, true, &parsed)) {
        a_log("aSoundManager. Error in line: %s", line.c_str());
        return;
    }
    const std::string key = makeKey(parsed.name, listName);
    if (m_sounds.count(key)) {
        a_log("aSoundManager. Sound with name \"%s\" already loaded!", parsed.file.c_str());
        return;
    }
    const float volume = static_cast<float>(std::atof(line.c_str() + parsed.volumeAt));
    m_sounds[key] = std::make_unique<aSound>((folder + parsed.file).c_str(), volume);
    if (m_itemLoaded)
        m_itemLoaded(parsed.file.c_str());
}

std::string aSoundManager::getItemFile(const std::string& line)
{
    ListLine parsed;
    if (!parseLine(line, false, &parsed)) {
        a_log("aSoundManager: Error in line: %s", line.c_str());
        return "";
    }
    return parsed.file;
}

bool aSoundManager::unloadItem(const std::string& line, const std::string& listName)
{
    const size_t dot = line.find('.');
    auto it = m_sounds.find(makeKey(line.substr(0, dot), listName));
    if (it == m_sounds.end())
        return false;
    m_sounds.erase(it);
    return true;
}

aSound* aSoundManager::getSound(const std::string& name, const std::string& listName)
{
    const std::string key = makeKey(name, listName);
    auto it = m_sounds.find(key);
    if (it == m_sounds.end()) {
        a_log("aSoundManager. Cannot find sound \"%s\"", key.c_str());
        return nullptr;
    }
    return it->second.get();
}

bool aSoundManager::hasSound(const std::string& name, const std::string& listName) const
{
    return m_sounds.count(makeKey(name, listName)) != 0;
}

void aSoundManager::setVolume(float volume)
{
    // Written so that NaN is refused too.
    if (!(volume >= 0.0f && volume <= 1.0f)) {
        a_log("aSoundManager. Invalid volume value %f", static_cast<double>(volume));
        return;
    }
    for (auto& [key, sound] : m_sounds)
        sound->setMasterVolume(volume);
    for (auto& [copy, entry] : m_copies)
        copy->setMasterVolume(volume);
}

void aSoundManager::stopAll()
{
    for (auto& [key, sound] : m_sounds)
        sound->stop();
    for (auto& [copy, entry] : m_copies)
        if (!entry.keep)
            copy->stop();
}

aSound* aSoundManager::cloneSound(const aSound* sound, bool keep)
{
    if (!sound) {
        a_log("aSoundManager. Cannot clone NULL sound");
        return nullptr;
    }
    auto copy = std::make_unique<aSound>(*sound);
    aSound* raw = copy.get();
    m_copies[raw] = Copy{std::move(copy), keep};
    return raw;
}

bool aSoundManager::releaseClone(aSound* copy)
{
    auto it = copy ? m_copies.find(copy) : m_copies.end();
    if (it == m_copies.end())
        return false;
    m_copies.erase(it);
    return true;
}
