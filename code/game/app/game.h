// cGame: the game's application. Exactly one object exists (the program's
// global; tests make their own one at a time), reached through cGame::get().
// It owns the engine's servers and managers for the whole run, the settings
// of "config.ini" and "data:game.ini", the music playlist, the state machine
// (flags word, requested, previous and current state) and the frame.
// Threads: the main thread runs init, the frame and shutdown. A loading
// thread reads and writes the flags word and the requested state and reads
// the frame time (all atomic), and waits on the loader event.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/app/kindloaders.h"
#include "game/app/loaderevent.h"
#include "game/app/profiles.h"
#include "game/app/settings.h"
#include "game/app/spriteregistry.h"
#include "orvo/app/a_application.h"
#include "orvo/platform/a_inputdevice.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/util/a_geometry.h"
#include "orvo/util/a_timer.h"

class aAnim;
class aGDI;
class aImage;
class aImageManager;
class aLocaleServer;
class aMusicManager;
class aParticlesManager;
class aSoundManager;
class cGameState;
class cLevel;
class cLoadingScreen;
class cPlayerProfile;
class SplashManager;

class cGame : public aApplication {
public:
    // Bits of the flags word.
    static constexpr uint32_t FLAG_QUIT = 1;   // the quit was confirmed: the next update ends the run
    static constexpr uint32_t FLAG_DRAW = 2;   // frames may be drawn
    static constexpr uint32_t FLAG_STATES = 4; // states are switched and updated
    // What update returns to end the run.
    static constexpr int32_t RESULT_ABORT = static_cast<int32_t>(0x80004004);

    // A level or mini-game asks for an animal kind to be loaded.
    struct AnimalKindRequest {
        std::string name;
        uint16_t mask = 0;
        uint32_t hash = 0;
    };

    cGame();
    ~cGame() override;

    // The one game object; null when none exists.
    static cGame* get();

    // Start-up: 0 on success, 1 when another instance runs (nothing was set
    // up), negative on failure (shutdown still runs).
    int32_t init(const char* name, void* instance, const char* commandLine, const char* makerFolder) override;
    int32_t shutdown() override;
    void onDeviceLost() override;
    void onDeviceRestored() override;
    bool canQuit() override;
    int32_t update() override;
    int32_t render() override;
    void onDeactivate() override;
    void onDisplayModeChanged() override;

    // The quit question (nothing while a message box is up).
    void askQuit();
    // Callbacks of message boxes: they only write the flags or the request.
    static void requestQuit();
    static void requestMenuState();
    static void requestMapState();
    static void requestParkState();

    // State machine. requestState may be called from the loading thread.
    void requestState(int32_t id) { m_requestedState.store(id); }
    int32_t getRequestedState() const { return m_requestedState.load(); }
    int32_t getPreviousState() const { return m_previousState; }
    cGameState* getCurrentState() const { return m_currentState; }
    void switchState(int32_t id);
    void restartState();
    void releaseScreenResources();

    uint32_t getFlags() const { return m_flags.load(); }
    void setFlags(uint32_t bits) { m_flags.fetch_or(bits); }
    void clearFlags(uint32_t bits) { m_flags.fetch_and(~bits); }
    float getFrameTime() const { return m_frameTime.load(); }
    double getTotalTime() const { return m_totalTime; }

    // Settings files.
    void loadSettings(const std::string& path);
    bool saveSettings(const std::string& path) const;
    void loadGameConfig(const std::string& path);
    void loadMusic();
    const cSettings& settings() const { return m_settings; }
    cSettings& settings() { return m_settings; }

    // Display (the current profile's choices).
    bool isFullscreen() const;
    bool isWidescreen() const;
    bool getFxQuality() const;
    void setFxQuality(bool on);
    void setFullscreen(bool on);
    void setWidescreen(bool on);
    void clipCursor();
    void unclipCursor();

    // Sound and music.
    float getSoundVolume() const;
    float getMusicVolume() const;
    void setSoundVolume(float v);
    void setMusicVolume(float v);
    // Plays a sound effect once; false while a loading thread runs or when there is no such sound.
    bool playSound(const std::string& name);
    void playMusicTrack(uint16_t index);
    void playCurrentMusic();
    void nextMusicTrack();
    const std::vector<std::string>& getPlaylist() const { return m_playlist; }
    uint16_t getCurrentTrack() const { return m_currentTrack; }

    // Money texts: the localised sign, "%d" + sign, "+%d" + sign. Use them with string_formatData.
    const std::wstring& getMoneySign();
    const std::wstring& getMoneyFormat();
    const std::wstring& getMoneyGainFormat();
    // The money format filled with an amount.
    std::wstring formatMoney(int32_t amount);
    std::wstring formatMoneyGain(int32_t amount);

    void registerAnimalKind(const std::string& name, uint16_t mask);
    const std::vector<AnimalKindRequest>& getAnimalKindsToLoad() const { return m_animalKindsToLoad; }
    std::vector<AnimalKindRequest>& animalKindsToLoad() { return m_animalKindsToLoad; }
    std::map<uint32_t, std::string>& animalKindFiles() { return m_animalKindFiles; }
    cLevel* getCurrentLevel() const;

    // The current player's profile; null while none is current.
    cPlayerProfile* getCurrentProfile() const { return m_profiles.current(); }
    cProfiles& getProfiles() { return m_profiles; }

    aImageManager* getImageManager() const { return m_imageManager; }
    aImageManager* getScreenImageManager() const { return m_screenImageManager; }
    // The image of that name from the game's manager; null when it has none.
    aImage* findImage(const std::string& name) const;
    void setScreenImageManager(aImageManager* manager) { m_screenImageManager = manager; }
    aSoundManager* getSoundManager() const { return m_soundManager; }
    void setSoundManager(aSoundManager* manager) { m_soundManager = manager; }
    aMusicManager* getMusicManager() const { return m_musicManager; }
    aParticlesManager* getParticles() const { return m_particles; }
    void setParticles(aParticlesManager* particles) { m_particles = particles; }
    aLocaleServer* getLocale() const { return m_locale; }
    // The localised text of a key (empty, logged, without a locale).
    std::wstring getText(const std::string& key) const;

    // Loading (gameloading.cpp). Starting a load clears the drawing flag,
    // opens the loader event and starts the routine on the loading thread.
    void startLoader(aLoadingRoutine routine);
    // The load at start-up (its routine fills the game's managers and ends
    // with the states allowed and the menu requested).
    void startInitialLoad();
    // The load of the gameplay state being entered (its startLoading calls it).
    void startLevelLoading();
    static uint32_t initialLoaderThread(void* game);
    static uint32_t levelLoaderThread(void* game);
    // Reloads the screens after gameplay and enters the current state there.
    static uint32_t screenLoaderThread(void* game);
    // The routines, on the loading thread.
    void loadInitial();
    // The initial load's work before its click wait; it stops early when the game is told to end.
    void loadInitialMedia(cLoadingScreen& screen);
    void loadLevelData();
    void reloadScreens();
    // A new screen image manager filled by the screens' loadResources, with
    // progress from start toward end.
    void loadScreenResources(uint16_t start, uint16_t end);
    // Indexes the animal kind files by name and loads their sound lists.
    void loadAnimalSounds(const std::string& loaderFile);
    // The poachers' sound lists, or (soundsOnly clear) their kinds.
    void loadPoacherSounds(const std::string& loaderFile, bool soundsOnly);
    // The open loader event, null while no load runs.
    cLoaderEvent* getLoaderEvent() { return m_loaderEvent.isOpen() ? &m_loaderEvent : nullptr; }
    cSpriteRegistry& spriteRegistry() { return m_spriteRegistry; }
    cKindLoaders& kindLoaders() { return m_kindLoaders; }
    bool loadingThreadRuns() const;
    // Set when the game is ending: loading routines stop at their next step.
    bool isQuitting() const { return m_quitting.load(); }
    // The game is ending, or a termination request waits while the start-up
    // holds it back: long reads stop early. Any thread.
    static bool quitRequested();

    // The splash sequence before the initial load; null when none runs.
    SplashManager* getSplash() const { return m_splash.get(); }
    // The splash of "home:branding/settings.ini" when the setting allows it
    // and the file exists; else the initial load.
    void startSplashOrLoad();

    // Before init: the devices to use in place of the real window and input
    // (tests), and a frame time that replaces the game timer's (0: the timer).
    void useDevices(std::unique_ptr<aGpuDevice> device, std::unique_ptr<aInputDevice> input);
    void setFixedFrameTime(float seconds) { m_fixedFrameTime = seconds; }
    // A seed every loading thread starts from in place of the tick count (0: the tick count).
    void setFixedLoaderSeed(uint32_t seed) { m_fixedLoaderSeed = seed; }
    uint32_t loaderSeed() const { return m_fixedLoaderSeed ? m_fixedLoaderSeed : aTimer::tickCount(); }

private:
    void createCursor();
    void repairCursor();
    void updateState(float dt);
    void clearButtonFocus();
    void drawPauseOverlay();
    // Kinds that live for one level, dropped at every switch.
    void releaseLevelKinds();
    // The current state released with what it left running: the message
    // box's window, particles and sounds.
    void releaseCurrentState();
    void waitForLoadingThread();
    // Sleeps until the timer reads at least `seconds` (a quit cuts it short).
    void waitUntil(const aTimer& timer, float seconds);
    // The end of every loading routine: drawing stops, the frame that may be
    // drawing the loading screen ends, then the screen is destroyed.
    void handOver(std::unique_ptr<cLoadingScreen>& screen);
    bool mouseRunsNonExclusive() const;
    void openQuitPage() const;
    void applyGamma();

    aImageManager* m_imageManager = nullptr;
    aImageManager* m_screenImageManager = nullptr;
    aSoundManager* m_soundManager = nullptr;
    aMusicManager* m_musicManager = nullptr;
    cProfiles m_profiles;
    aParticlesManager* m_particles = nullptr;
    aLocaleServer* m_locale = nullptr;

    std::atomic<uint32_t> m_flags{0};
    std::atomic<int32_t> m_requestedState{0};
    int32_t m_previousState = 0;
    cGameState* m_currentState = nullptr;
    std::atomic<float> m_frameTime{0.0f};
    double m_totalTime = 0.0;
    cLoaderEvent m_loaderEvent;
    cSpriteRegistry m_spriteRegistry;
    cKindLoaders m_kindLoaders;
    std::atomic<bool> m_quitting{false};
    std::atomic<bool> m_dropPlaceholderProfile{false}; // set by the initial load, done by the main thread

    cSettings m_settings;
    std::vector<std::string> m_playlist;
    uint16_t m_currentTrack = 0;
    std::map<uint32_t, std::string> m_animalKindFiles;
    std::vector<AnimalKindRequest> m_animalKindsToLoad;

    aTimer m_timer{0};
    float m_fixedFrameTime = 0.0f;
    uint32_t m_fixedLoaderSeed = 0;
    bool m_crashInstalled = false;
    bool m_viewportKnown = false;
    bool m_deviceFailed = false; // the device cannot draw any more: the run ends
    aRect m_viewport;
    std::unique_ptr<aAnim> m_cursor;
    std::unique_ptr<aGDI> m_pauseGdi;
    std::wstring m_pauseText;
    bool m_pauseTextKnown = false;
    std::wstring m_moneySign;
    std::wstring m_moneyFormat;
    std::wstring m_moneyGainFormat;
    bool m_moneySignKnown = false;
    std::unique_ptr<aGpuDevice> m_device;
    std::unique_ptr<aInputDevice> m_inputDevice;
    std::unique_ptr<SplashManager> m_splash;
};

// The program's entry: seeds the random generator, starts the game and runs
// its loop; the exit code.
int32_t gameMain(cGame& game, const char* commandLine);
