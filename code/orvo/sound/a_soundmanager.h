// The resource manager of sound effects: loads the samples named by sound
// lists, keeps them by name (or "name:list"), hands them out for playing,
// applies the player's sound volume to all of them, stops them all on a
// screen change, and makes copies for sounds that must overlap themselves.
// Filled on the loading thread, used on the main thread, never both at once;
// takes no lock.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "orvo/app/a_basemanager.h"
#include "orvo/sound/a_sound.h"

class aSoundManager : public aBaseManager {
public:
    aSoundManager() = default;
    ~aSoundManager() override;

    // A list line is "<file name>.<extension> <volume>"; the name is the text
    // before the first ".", the file is read from `folder`.
    void loadItem(const std::string& folder, const std::string& line, const std::string& listName) override;
    std::string getItemFile(const std::string& line) override;
    bool unloadItem(const std::string& line, const std::string& listName) override;

    // Null (logged) when there is no sound of that name in that list.
    aSound* getSound(const std::string& name, const std::string& listName = "");
    bool hasSound(const std::string& name, const std::string& listName = "") const;
    // 0..1 for every sound and copy; other values are logged and ignored.
    void setVolume(float volume);
    // Stops every sound and every copy not made with `keep`.
    void stopAll();
    // A copy sharing the sound's sample, owned by the manager until releaseClone.
    aSound* cloneSound(const aSound* sound, bool keep = false);
    bool releaseClone(aSound* copy);

private:
    struct Copy {
        std::unique_ptr<aSound> sound;
        bool keep = false;
    };

    std::map<std::string, std::unique_ptr<aSound>> m_sounds;
    std::map<aSound*, Copy> m_copies;
};
