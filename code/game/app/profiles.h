// cProfiles: every player profile, which one is current, and the profiles
// file that holds them between runs. A member of the game object; main thread.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "game/app/playerprofile.h"

class cProfiles {
public:
    // What keeps a typed name from becoming a player.
    enum class NameCheck {
        Ok,
        Empty,
        // "]", a control character or a character the file cannot store.
        Invalid,
        // Another player has it, or would have it once stored.
        Taken,
    };

    cProfiles() = default;
    ~cProfiles();
    cProfiles(const cProfiles&) = delete;
    cProfiles& operator=(const cProfiles&) = delete;

    // Stores the path and reads the file when it exists. A file that is
    // damaged, or holds anything that cannot be read back, gives what can be
    // read of it and is copied beside itself (".damaged") with one log line
    // saying what was lost. Temporary files of saves that were killed are
    // removed. A quit request stops the reading of a long file. With no
    // profile marked active the first one becomes current. Always true.
    bool load(const std::string& path);
    // Writes every profile to the stored path in one step; false when the
    // file could not be replaced (the old one stays), or was not read to its end.
    bool save() const;

    // The profile of that exact name, else a new one with the defaults
    // (taking the current player's volumes and display mode with `copySettings`).
    cPlayerProfile* createProfile(const std::wstring& name, bool copySettings);
    void createAndSelect(const std::wstring& name);
    // Makes the profile current; `applySettings` switches the display mode
    // and volumes to the player's.
    void select(cPlayerProfile* profile, bool applySettings);
    cPlayerProfile* findByName(const std::wstring& name) const;
    // The current pointer becomes null when the current profile goes.
    void deleteProfile(const std::wstring& name);

    NameCheck checkName(const std::wstring& name) const;

    cPlayerProfile* current() const { return m_current; }
    size_t count() const { return m_profiles.size(); }
    // Null past the end.
    cPlayerProfile* at(size_t i) const { return i < m_profiles.size() ? m_profiles[i].get() : nullptr; }
    const std::string& path() const { return m_path; }

    // The INI text of the file (before widening).
    std::string toText() const;

private:
    void readText(const std::string& text);
    void makeCurrent(cPlayerProfile* profile);
    static void applySettings(const cPlayerProfile& profile);

    std::string m_path;
    bool m_readWhole = true; // false when a quit request cut the reading short
    cPlayerProfile* m_current = nullptr;
    std::vector<std::unique_ptr<cPlayerProfile>> m_profiles;
};
