// cProfiles: every player profile, which one is current, and the profiles
// file that holds them between runs. A member of the game object; main thread.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "game/app/playerprofile.h"

struct ProfilesFileText;

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
    // damaged, plain text, or holds anything that cannot be read back, gives
    // what can be read of it and is copied beside itself with one log line
    // saying what was set aside: as ".damaged", or ".damaged.1", ".damaged.2"
    // ... beside the copies of earlier loads. When no copy can be made, or the
    // file is there but cannot be opened or read, it is not written over.
    // Only sections with a name that fits and a key of a player make players.
    // Temporary files of saves that were killed are removed. A quit request
    // stops the reading of a long file. With no profile marked active the
    // first one becomes current. Always true.
    bool load(const std::string& path);
    // Writes every profile to the stored path in one step; false when the
    // file could not be replaced (the old one stays), or must be kept as it
    // is (not read to its end, or damaged and not copied aside).
    bool save() const;
    // The path of the copy the last load set aside, once: empty afterwards
    // and when nothing was set aside. The player is told of it.
    std::string takeSetAsideCopy();
    // The path of the file the last load had to keep as it is, because it
    // could not be read or no copy of it could be made, once: nothing is saved
    // to it for the rest of the run, and the player is told.
    std::string takeUnsavedFile();

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
    void setAside(const void* bytes, uint32_t size, const ProfilesFileText& file, const std::string& lost);
    void makeCurrent(cPlayerProfile* profile);
    static void applySettings(const cPlayerProfile& profile);

    std::string m_path;
    // Why the file must stay as it is ("was not read to its end"); empty when it may be written.
    std::string m_keepFileBecause;
    std::string m_setAsideCopy;
    std::string m_unsavedFile;
    cPlayerProfile* m_current = nullptr;
    std::vector<std::unique_ptr<cPlayerProfile>> m_profiles;
};
