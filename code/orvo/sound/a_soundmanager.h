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

#include "orvo/sound/a_sound.h"

class aSoundManager {
public:
    using ItemLoadedHook = void (*)(const char* item);

    aSoundManager() = default;
    virtual ~aSoundManager();
    aSoundManager(const aSoundManager&) = delete;
    aSoundManager& operator=(const aSoundManager&) = delete;

    // A list line is "<file name>.<extension> <volume>"; the name is the text
    // before the first ".", the file is read from `folder`.
    virtual void loadItem(const std::string& folder, const std::string& line, const std::string& listName);
    virtual std::string getItemFile(const std::string& line);
    virtual bool unloadItem(const std::string& line, const std::string& listName);

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

    // Every line of the list file, each item read from the list's folder.
    // FIXME: these two come from the resource-manager base once it lands.
    void loadList(const std::string& path, const std::string& listName = "");
    void unloadList(const std::string& path, const std::string& listName = "");

    void setItemLoadedHook(ItemLoadedHook hook) { m_itemLoaded = hook; }

private:
    struct Copy {
        std::unique_ptr<aSound> sound;
        bool keep = false;
    };

    ItemLoadedHook m_itemLoaded = nullptr;
    std::map<std::string, std::unique_ptr<aSound>> m_sounds;
    std::map<aSound*, Copy> m_copies;
};
