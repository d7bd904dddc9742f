// cPlayerProfile: everything the game remembers about one player between
// runs: name, stars, level medals, park upgrade stages, award progress, the
// awards not yet presented, the one-time tips already shown and the player's
// own volumes and display choices. Owned by cProfiles; the game reaches the
// current one through cGame::getCurrentProfile, which is null while no
// profile is current (readers then fall back to the defaults below). Read
// and changed by the screens on the main thread.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// How award goals are known and a newly earned award is announced. The awards
// screen and the new-award window fill these in; while `goal` is unset every
// progress value is stored as given (which is how the profiles file loads).
struct cAwardHooks {
    // The goal of award `index`; 0 or less when there is no such award.
    int32_t (*goal)(uint16_t index) = nullptr;
    // Called once when an award is earned with notification.
    void (*announce)(uint16_t index) = nullptr;
};

class cPlayerProfile {
public:
    static constexpr float DEFAULT_VOLUME = 0.4f;
    // The award that counts the awards earned.
    static constexpr uint16_t AWARDS_EARNED = 13;

    explicit cPlayerProfile(std::wstring name = L"");

    static void setAwardHooks(const cAwardHooks& hooks);
    static const cAwardHooks& awardHooks();

    const std::wstring& getName() const { return m_name; }

    float getSoundVolume() const { return m_soundVolume; }
    float getMusicVolume() const { return m_musicVolume; }
    // Both clamp to 0..1.
    void setSoundVolume(float v);
    void setMusicVolume(float v);

    bool isFullscreen() const { return m_fullscreen; }
    bool isWidescreen() const { return m_widescreen; }
    bool getFxQuality() const { return m_fxQuality; }
    void setFullscreen(bool on) { m_fullscreen = on; }
    void setWidescreen(bool on) { m_widescreen = on; }
    void setFxQuality(bool on) { m_fxQuality = on; }

    bool hasLevel(const std::string& levelName) const;
    // 0 when the level was never completed.
    int32_t getLevelReward(const std::string& levelName) const;
    void setLevelReward(const std::string& levelName, int32_t value);

    // 0 past the end.
    int32_t getUpgradeStage(uint16_t i) const;
    void setUpgradeStage(uint16_t i, int32_t stage);

    // 0 past the end.
    int32_t getAwardProgress(uint16_t i) const;
    // Progress towards an award with a goal never goes down and stops at the
    // goal; reaching it with `notify` announces the award, counts it in
    // AWARDS_EARNED and queues it in newAwards.
    void setAwardProgress(uint16_t i, int32_t value, bool notify);
    void addAwardProgress(uint16_t i, int32_t delta, bool notify = true);

    // Money earned (or spent, when negative); the total stops at the ends of
    // its 32 bits instead of wrapping round.
    void addStars(int64_t amount);

    // The player's progress, read and changed by the screens directly.
    // 1 only for the current profile (kept by cProfiles).
    bool active = false;
    int32_t stars = 0;
    // Level name -> medal: 0 completed, 1 silver, 2 gold.
    std::map<std::string, int32_t> levelResults;
    std::vector<int32_t> upgradeStages;
    std::vector<int32_t> awardProgress;
    // Earned and not yet presented on the awards screen, in order of earning.
    std::vector<int32_t> newAwards;
    uint32_t tipsMask = 0;
    // Park upgrades built since the last won level.
    uint32_t doneUpgrades = 0;

private:
    std::wstring m_name;
    float m_soundVolume = DEFAULT_VOLUME;
    float m_musicVolume = DEFAULT_VOLUME;
    bool m_fullscreen = true;
    bool m_widescreen = true;
    bool m_fxQuality = true;
};
