#include "game/app/profiles.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "game/app/game.h"
#include "game/app/profilesfile.h"
#include "game/app/tutorialflag.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_string.h"
#include "orvo/util/a_stringlist.h"

namespace {

constexpr size_t kMaxListEntries = PROFILES_MAX_LIST_ENTRIES;
// Players read between two looks at the quit request.
constexpr size_t kQuitCheckEvery = 256;

template <class T, class ToText> std::string join(const T& items, ToText toText)
{
    std::string out;
    bool first = true;
    for (const auto& item : items) {
        if (!first)
            out += ',';
        out += toText(item);
        first = false;
    }
    return out;
}

std::string joinInts(const std::vector<int32_t>& values)
{
    return join(values, [](int32_t v) { return std::to_string(v); });
}

// Stored as a whole percentage, truncated; the product is taken in double.
int32_t volumePercent(float v)
{
    return static_cast<int32_t>(static_cast<double>(v) * 100.0);
}

// Percent x 0.01 is often a float just below the percentage (0.57 -> 0.569999),
// which would be stored back one percent lower: every start would turn the
// volume down a little. The next float up stores back unchanged.
float volumeFromPercent(int32_t percent)
{
    float v = static_cast<float>(percent * 0.01);
    if (volumePercent(v) < percent)
        v = std::nextafter(v, 2.0f);
    return v;
}

std::string flag(bool b)
{
    return b ? "1" : "0";
}

bool holdsPlayerKey(aOptionsFile& ini)
{
    for (ini.firstKey(); !ini.isKeyEnd(); ini.nextKey())
        if (profilesfile_isPlayerKey(ini.getKeyName()))
            return true;
    return false;
}

// The first of "<file>.damaged", "<file>.damaged.1", "<file>.damaged.2", ...
// that nothing on disk has taken yet: file, folder or link.
std::string freeCopyName(const std::string& path)
{
    const std::string first = path + ".damaged";
    std::string name = first;
    for (uint32_t n = 1; file_nameTaken(name.c_str()); ++n)
        name = first + "." + std::to_string(n);
    return name;
}

} // namespace

cProfiles::~cProfiles() = default;

bool cProfiles::load(const std::string& path)
{
    m_path = path;
    m_keepFileBecause.clear();
    m_setAsideCopy.clear();
    m_unsavedFile.clear();
    // Saves that a kill interrupted left their temporary files behind.
    file_removeStaleTemps(path.c_str());
    if (file_nameTaken(path.c_str())) {
        uint32_t size = 0;
        if (void* raw = file_readFullAndMalloc(path.c_str(), &size)) {
            const ProfilesFileText file = profilesfile_decode(static_cast<const uint8_t*>(raw), size);
            const std::string lost = profilesfile_unreadable(file.text);
            if (file.plain || !file.damage.empty() || !lost.empty())
                setAside(raw, size, file, lost);
            std::free(raw);
            readText(file.text);
        } else if (const int why = errno) {
            // Players the game may not read are still the players: a save would replace them by none.
            m_keepFileBecause = "could not be read";
            m_unsavedFile = m_path;
            a_log("cProfiles. Cannot read file %s (%s); it is left as it is and nothing is saved to it in this run",
                  m_path.c_str(), std::strerror(why));
        }
    }
    if (!m_current && !m_profiles.empty())
        makeCurrent(m_profiles.front().get());
    return true;
}

void cProfiles::setAside(const void* bytes, uint32_t size, const ProfilesFileText& file, const std::string& lost)
{
    // The next save replaces the file: keep the bytes for whoever wants to look,
    // beside the copies of earlier runs.
    const std::string copy = freeCopyName(m_path);
    std::string where = "a copy is kept as " + copy;
    if (file_writeFull(copy.c_str(), bytes, size)) {
        m_setAsideCopy = copy;
    } else {
        const int why = errno;
        m_keepFileBecause = "could not be copied aside";
        m_unsavedFile = m_path;
        where = "no copy could be kept as " + copy + " (" + std::strerror(why) + "), so it is not written over";
    }
    const std::string what = file.damage + (file.damage.empty() || lost.empty() ? "" : ", ") + lost;
    if (file.plain && what.empty())
        a_log("cProfiles. File %s is not in the game's form, read whole as plain text; %s", m_path.c_str(),
              where.c_str());
    else if (file.plain)
        a_log("cProfiles. File %s is not in the game's form, read as plain text (%s); %s", m_path.c_str(), what.c_str(),
              where.c_str());
    else if (!file.damage.empty())
        a_log("cProfiles. Damaged file %s, read what could be read (%s); %s", m_path.c_str(), what.c_str(),
              where.c_str());
    else
        a_log("cProfiles. Not all of %s could be read (%s); %s", m_path.c_str(), what.c_str(), where.c_str());
}

std::string cProfiles::takeSetAsideCopy()
{
    return std::exchange(m_setAsideCopy, std::string());
}

std::string cProfiles::takeUnsavedFile()
{
    return std::exchange(m_unsavedFile, std::string());
}

void cProfiles::readText(const std::string& text)
{
    aOptionsFile ini;
    ini.parse(text.data(), text.size(), m_path.c_str());
    // Names looked up by a map while reading: a file of many players would take quadratic time otherwise.
    std::unordered_map<std::wstring, cPlayerProfile*> byName;
    for (const auto& p : m_profiles)
        byName.emplace(p->getName(), p.get());
    size_t read = 0;
    for (ini.firstSection(); !ini.isSectionEnd(); ini.nextSection()) {
        if (++read % kQuitCheckEvery == 0 && cGame::quitRequested()) {
            m_keepFileBecause = "was not read to its end";
            a_log("cProfiles. Reading %s stopped after %zu players: the game is ending; the file is left as it is",
                  m_path.c_str(), read - 1);
            return;
        }
        const std::wstring name = string_cp1251ToWide(ini.getSectionName());
        // Set aside, and told in the log line of the load.
        if (!profilesfile_nameFits(name) || !holdsPlayerKey(ini))
            continue;
        cPlayerProfile*& known = byName[name];
        if (!known) {
            m_profiles.push_back(std::make_unique<cPlayerProfile>(name));
            known = m_profiles.back().get();
        }
        cPlayerProfile* p = known;
        p->stars = ini.getInt("Stars");
        p->doneUpgrades = static_cast<uint32_t>(ini.getInt("NumDoneUpgrades"));

        std::vector<int32_t> rewards;
        std::vector<std::string> levels;
        ini.getIntList("Rewards", rewards);
        ini.getStringList("Levels", levels);
        for (size_t i = 0; i < std::min(levels.size(), rewards.size()); ++i)
            p->setLevelReward(levels[i], rewards[i]);

        std::vector<int32_t> values;
        ini.getIntList("Upgrades", values);
        for (size_t i = 0; i < std::min(values.size(), kMaxListEntries); ++i)
            p->setUpgradeStage(static_cast<uint16_t>(i), values[i]);
        values.clear();
        ini.getIntList("Awards", values);
        for (size_t i = 0; i < std::min(values.size(), kMaxListEntries); ++i)
            p->setAwardProgress(static_cast<uint16_t>(i), values[i], false);
        if (ini.findKey("NewAwards")) {
            p->newAwards.clear();
            ini.getIntList("NewAwards", p->newAwards);
        }
        const uint32_t tips = static_cast<uint32_t>(ini.getInt("Tips"));
        if (!tutorial_isRunning())
            p->tipsMask |= tips;

        if (ini.findKey("SoundVolume"))
            p->setSoundVolume(volumeFromPercent(ini.getInt("SoundVolume")));
        if (ini.findKey("MusicVolume"))
            p->setMusicVolume(volumeFromPercent(ini.getInt("MusicVolume")));
        if (ini.findKey("FullScreen"))
            p->setFullscreen(ini.getInt("FullScreen") > 0);
        if (ini.findKey("WideScreen"))
            p->setWidescreen(ini.getInt("WideScreen") > 0);
        if (ini.findKey("FXQuality"))
            p->setFxQuality(ini.getInt("FXQuality") > 0);
        if (ini.getInt("Active") > 0)
            makeCurrent(p);
    }
}

std::string cProfiles::toText() const
{
    aStringList lines;
    for (const auto& p : m_profiles) {
        lines.add("[" + string_wideToCp1251(p->getName()) + "]");
        lines.add("Stars=" + std::to_string(p->stars));
        lines.add("Active=" + flag(p->active));
        lines.add("NumDoneUpgrades=" + std::to_string(static_cast<int32_t>(p->doneUpgrades)));
        lines.add("FullScreen=" + flag(p->isFullscreen()));
        lines.add("WideScreen=" + flag(p->isWidescreen()));
        lines.add("FXQuality=" + flag(p->getFxQuality()));
        lines.add("SoundVolume=" + std::to_string(volumePercent(p->getSoundVolume())));
        lines.add("MusicVolume=" + std::to_string(volumePercent(p->getMusicVolume())));
        lines.add("Levels=" + join(p->levelResults, [](const auto& entry) { return entry.first; }));
        lines.add("Rewards=" + join(p->levelResults, [](const auto& entry) { return std::to_string(entry.second); }));
        lines.add("Upgrades=" + joinInts(p->upgradeStages));
        lines.add("Awards=" + joinInts(p->awardProgress));
        lines.add("NewAwards=" + joinInts(p->newAwards));
        lines.add("Tips=" + std::to_string(static_cast<int32_t>(p->tipsMask)));
        lines.add("");
    }
    return lines.toText();
}

bool cProfiles::save() const
{
    if (!m_keepFileBecause.empty()) {
        // Writing now would drop players that were never read, or the only copy of a damaged file.
        a_log("cProfiles. %s %s and is not written", m_path.c_str(), m_keepFileBecause.c_str());
        return false;
    }
    const std::string bytes = profilesfile_widen(toText());
    if (m_path.empty() || bytes.size() > UINT32_MAX ||
        !file_writeFull(m_path.c_str(), bytes.data(), static_cast<uint32_t>(bytes.size()))) {
        a_log("cProfiles. Cannot write file %s", m_path.c_str());
        return false;
    }
    return true;
}

cPlayerProfile* cProfiles::createProfile(const std::wstring& name, bool copySettings)
{
    if (cPlayerProfile* known = findByName(name))
        return known;
    m_profiles.push_back(std::make_unique<cPlayerProfile>(name));
    cPlayerProfile* made = m_profiles.back().get();
    if (copySettings && m_current) {
        made->setMusicVolume(m_current->getMusicVolume());
        made->setSoundVolume(m_current->getSoundVolume());
        made->setFullscreen(m_current->isFullscreen());
        made->setWidescreen(m_current->isWidescreen());
    }
    return made;
}

void cProfiles::createAndSelect(const std::wstring& name)
{
    select(createProfile(name, true), true);
}

void cProfiles::makeCurrent(cPlayerProfile* profile)
{
    if (profile == m_current)
        return;
    if (m_current)
        m_current->active = false;
    m_current = profile;
    profile->active = true;
}

void cProfiles::select(cPlayerProfile* profile, bool apply)
{
    if (!profile || profile == m_current)
        return;
    makeCurrent(profile);
    if (apply)
        applySettings(*profile);
}

cPlayerProfile* cProfiles::findByName(const std::wstring& name) const
{
    for (const auto& p : m_profiles)
        if (p->getName() == name)
            return p.get();
    return nullptr;
}

void cProfiles::deleteProfile(const std::wstring& name)
{
    const auto it =
        std::find_if(m_profiles.begin(), m_profiles.end(), [&](const auto& p) { return p->getName() == name; });
    if (it == m_profiles.end())
        return;
    if (it->get() == m_current)
        m_current = nullptr;
    m_profiles.erase(it);
}

cProfiles::NameCheck cProfiles::checkName(const std::wstring& name) const
{
    if (name.empty())
        return NameCheck::Empty;
    if (!profilesfile_nameFits(name))
        return NameCheck::Invalid;
    const std::string stored = string_wideToCp1251(name);
    for (const auto& p : m_profiles)
        if (string_wideToCp1251(p->getName()) == stored)
            return NameCheck::Taken;
    return NameCheck::Ok;
}

void cProfiles::applySettings(const cPlayerProfile& profile)
{
    cGame* game = cGame::get();
    if (!game)
        return;
    // Read first: a mode switch copies the server's flags into the profile.
    const bool wide = profile.isWidescreen();
    game->setFullscreen(profile.isFullscreen());
    game->setWidescreen(wide);
    game->setSoundVolume(profile.getSoundVolume());
    game->setMusicVolume(profile.getMusicVolume());
}
