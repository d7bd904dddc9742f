// One player's profile: the choices the game applies for that player. Owned
// by the profiles store; the game reaches the current one through
// cGame::getCurrentProfile, which is null while no profile is current (every
// reader then falls back to the defaults below). Main thread.
#pragma once

#include <algorithm>
#include <string>

class cPlayerProfile {
public:
    static constexpr float DEFAULT_VOLUME = 0.4f;

    explicit cPlayerProfile(std::wstring name = L"") : m_name(std::move(name)) {}

    const std::wstring& getName() const { return m_name; }

    float getSoundVolume() const { return m_soundVolume; }
    float getMusicVolume() const { return m_musicVolume; }
    // Both clamp to 0..1.
    void setSoundVolume(float v) { m_soundVolume = clampVolume(v); }
    void setMusicVolume(float v) { m_musicVolume = clampVolume(v); }

    bool isFullscreen() const { return m_fullscreen; }
    bool isWidescreen() const { return m_widescreen; }
    bool getFxQuality() const { return m_fxQuality; }
    void setFullscreen(bool on) { m_fullscreen = on; }
    void setWidescreen(bool on) { m_widescreen = on; }
    void setFxQuality(bool on) { m_fxQuality = on; }

private:
    // NaN counts as silence.
    static float clampVolume(float v) { return v >= 0.0f ? std::min(v, 1.0f) : 0.0f; }

    std::wstring m_name;
    float m_soundVolume = DEFAULT_VOLUME;
    float m_musicVolume = DEFAULT_VOLUME;
    bool m_fullscreen = true;
    bool m_widescreen = true;
    bool m_fxQuality = true;
};
