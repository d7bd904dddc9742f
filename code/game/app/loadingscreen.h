// What the player sees while the loading thread works: a background picture,
// a progress bar gliding toward the loading progress, a pulsing "loading"
// text with a tip under it (or, once full, "click to continue"), and a little
// scene of savanna creatures. One exists at a time, reachable through its
// singleton pointer.
// Threads: the loading routine builds it, starts the scene, writes the
// progress and asks for the click; the main thread draws it. The scene and
// the click state are behind the screen's own lock; the progress is atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "orvo/util/a_criticalsection.h"
#include "orvo/util/a_singleton.h"

class aFont;
class aImage;
class aImageManager;
class cLoadingScenario;

class cLoadingScreen : public aSingleton<cLoadingScreen>, public aCriticalSection {
public:
    static constexpr int TIP_COUNT = 10;

    // The bar images are loaded when their files exist; withBackground picks
    // the next of the three loading pictures.
    cLoadingScreen(const std::string& barPath, const std::string& barBackPath, int16_t yOffset, bool withBackground);
    ~cLoadingScreen() override;

    // Replaces the scene by the next kind (the two alternate through the
    // LoadingScene setting) and builds it.
    void startScenario();
    // Puts in a given scene (built already); null removes it.
    void setScenario(std::unique_ptr<cLoadingScenario> scene);
    // True until the player clicked inside the screen or the scene finished.
    bool isWaitingForClick();
    // One frame (main thread): samples the pointer for the click, then the
    // background, the scene, the bar and the texts.
    void draw(float dt);

    // Loading thread; the observer (tests, benchmarks) hears every value.
    void setProgress(uint16_t percent);
    using ProgressObserver = void (*)(uint16_t percent);
    static void setProgressObserver(ProgressObserver observer);
    uint16_t getProgress() const { return m_progress.load(std::memory_order_relaxed); }
    float getShownFraction() const { return m_shownFraction; }
    int getTipIndex() const { return m_tipIndex; }
    int getBackgroundIndex() const { return m_backgroundIndex; }
    bool hasBar() const { return m_bar != nullptr; }
    bool hasBarBack() const { return m_barBack != nullptr; }
    bool isContinueShown() const { return m_continueShown; }
    // The scene's state under the lock (STATE_FINISHED without a scene).
    uint32_t getScenarioState();

    // Where the tips and pictures are; tests reset the cycles.
    static void resetCycles();

private:
    void pickTip();
    void pickBackground();
    void sampleClick();
    void drawBar(float dt);
    void drawTexts(float dt);

    std::atomic<uint16_t> m_progress{0};
    float m_shownFraction = 0.0f;
    int16_t m_xOffset = 0;
    int16_t m_yOffset = 0;
    std::wstring m_loadingText;
    std::wstring m_continueText;
    std::wstring m_tipText;
    bool m_hasTip = false;
    int m_tipIndex = -1;
    int m_backgroundIndex = -1;
    float m_textClock = 0.0f;
    bool m_continueShown = false;
    // The click test: the main thread feeds it each frame, the loading thread reads it.
    bool m_pressed = false;
    bool m_clicked = false;
    bool m_clickWanted = false; // the routine has begun to wait
    std::unique_ptr<aImage> m_background;
    std::unique_ptr<aImage> m_bar;
    std::unique_ptr<aImage> m_barBack;
    std::unique_ptr<aFont> m_font;
    std::unique_ptr<cLoadingScenario> m_scene;
};
