// One sound effect held in memory: its own volume (0..1), the sound manager's
// volume factor, a pan (-1 left .. 1 right) and a pause that remembers where
// the sound stood. Copies share the sample (it lives while any of them does)
// and play on channels of their own. Created on the loading thread, played on
// the main thread; takes no lock.
#pragma once

#include <cstdint>
#include <memory>

class aAudioSample;

class aSound {
public:
    // Reads the whole file (disk or archive) and decodes it; a file that
    // cannot be read is logged and gives a sound that plays nothing.
    aSound(const char* path, float volume);
    aSound(const aSound& other);
    aSound& operator=(const aSound&) = delete;
    ~aSound();

    // Starts over on a free channel. Volume -1.0 keeps the stored own volume,
    // pan -2.0 the stored pan; other values are stored (clamped).
    void play(bool loop = false, float volume = -1.0f, float pan = -2.0f);
    // Ends the sound, playing or paused.
    void stop();
    // True while it plays, and while it is paused.
    bool isPlaying();
    void pause(bool pause);

    void setVolume(float volume);
    void setMasterVolume(float volume);
    void setPan(float pan);
    // Seconds from the start of the sample.
    float getPosition();
    void setPosition(float seconds);

    float getVolume() const { return m_volume; }
    float getMasterVolume() const { return m_masterVolume; }
    float getPan() const { return m_pan; }
    bool isPaused() const { return m_pausedPosition != -1.0f; }
    bool isLoaded() const { return m_sample != nullptr; }
    // The library's channel handle, -1 when the sound holds none.
    int32_t getChannel() const { return m_channel; }

private:
    void applyVolume();
    int frequency() const;

    std::shared_ptr<const aAudioSample> m_sample;
    float m_pan = 0.0f;
    float m_masterVolume = 1.0f;
    float m_volume = 1.0f;
    int32_t m_channel = -1;
    float m_pausedPosition = -1.0f;
    bool m_pausedLoop = false;
};
