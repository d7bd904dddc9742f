// SplashManager: the optional sequence of branding pictures and clips shown
// before the initial load, read from an INI file whose sections named
// exactly "splash" are the splashes, in file order. Each one fades in from
// a colour, stays, and fades out toward another colour; the player may cut
// one short or skip the rest. The game updates and draws it while it runs
// and deletes it once update answers false. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class aGraphServer;
class aImage;
class aSound;
class aTheoraVideo;

class SplashManager {
public:
    enum Skip : int32_t { SKIP_NONE = 0, SKIP_THIS = 1, SKIP_ALL = 2 };

    struct Record {
        std::string picture; // the file's folder + the value; a clip when `video` is set
        std::string sound;   // the file's folder + the value; empty when none
        bool video = false;
        bool centered = false; // unscaled in the middle; else stretched over the screen
        uint32_t fadeInColour = 0;
        uint32_t fadeOutColour = 0;
        float fadeInTime = 0.0f;
        float fadeOutTime = 0.0f;
        int32_t skip = SKIP_NONE;
        float showTime = 0.0f;
    };

    // Reads the records of the settings file (none when it cannot be read).
    explicit SplashManager(const std::string& settingsPath);
    virtual ~SplashManager();
    SplashManager(const SplashManager&) = delete;
    SplashManager& operator=(const SplashManager&) = delete;

    // true: shows the first splash (when there is one); false: stops.
    void start(bool on);
    // False once the sequence has ended (or was empty).
    bool update(float dt);
    void draw();

    const std::vector<Record>& records() const { return m_records; }
    int32_t getIndex() const { return m_index; }
    float getFade() const { return m_fade; }

private:
    void load(const std::string& settingsPath);
    void showSplash(int32_t index);
    void stopCurrent();
    void setFade(float f);
    void setClearColour(uint32_t argb);
    bool skipAsked() const;
    // Draws a picture of that size at the record's placement; nothing for an empty one.
    bool placement(int32_t width, int32_t height, float& x, float& y, float scale[2]) const;

    aGraphServer* m_graph = nullptr;
    int32_t m_index = -1;
    Record m_current; // the working copy: its three times count down
    float m_fadeInTotal = 0.0f; // the showing splash's own fade times
    float m_fadeOutTotal = 0.0f;
    std::unique_ptr<aImage> m_image;
    std::unique_ptr<aTheoraVideo> m_video;
    std::unique_ptr<aSound> m_sound;
    float m_fade = 1.0f;
    float m_appliedFade = -1.0f;
    std::vector<Record> m_records;
};
