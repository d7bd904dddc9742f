// The headless play harness: the real game (cGame::init, the frame loop's
// turn, shutdown) on the offscreen OpenGL renderer, or on the recording
// device where no pixels matter, with the engine's scripted input and
// message source, a fixed frame time and a fixed random seed, in a fresh
// per-user folder (HOME and XDG) of its own. Its sound output plays by the
// frames' time, not the clock's: a sound as long as N frames ends after N
// frames however fast the machine draws them. A scripted player presses,
// releases, clicks and types, runs frames, waits for states, reads widget
// texts and takes screenshots (tests/data/screens/, refreshed with
// KB_UPDATE_GOLDEN=1).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "orvo/platform/a_eventpump.h"
#include "orvo/platform/a_inputdevice.h"
#include "orvo/util/a_geometry.h"
#include "support/temp_dir.h"

class aGpuDeviceGL;
class aGpuDeviceRecorder;
namespace GUI {
class Widget;
}

namespace kbtest {

// HOME and the XDG folders point into a fresh folder for the object's life.
class TempHome {
public:
    TempHome();
    ~TempHome();

    const std::string& path() const { return m_dir.path(); }
    // The game's per-user folder on disk, with a trailing "/".
    std::string userDir() const { return m_dir.path() + "/.local/share/Brindlewick/Kesterby/"; }

private:
    TempDir m_dir{"game-home"};
    std::vector<std::pair<std::string, std::string>> m_saved;
};

// cGame with the loop's turn opened to the harness.
class HarnessGame : public cGame {
public:
    using aApplication::runFrame;
};

class GameHarness {
public:
    struct Options {
        bool recording = false;         // the recording device instead of OpenGL
        float frameTime = 1.0f / 60.0f; // seconds every frame takes
        uint32_t seed = 1;
        // The branding's splash plays first (as on a first start); off, a
        // "config.ini" that switches it off is written before the start.
        bool splash = false;
    };

    GameHarness() : GameHarness(Options{}) {}
    explicit GameHarness(const Options& options);
    // Shuts the game down when the test did not.
    ~GameHarness();

    // cGame::init as the program calls it; its result.
    int32_t start();
    // cGame::shutdown (once).
    void stop();

    // One turn of the frame loop, after the queued window messages.
    void frame();
    void frames(int count);
    // Frames until the loading thread has ended, clicking through a loading
    // screen that waits for it; false when it did not end (a hang: see
    // support/hang_guard.h).
    bool waitForLoad();
    // Frames until the state of that id is current and initiated, at most
    // maxFrames of them outside loads. While a loading thread runs the player
    // keeps clicking (to pass the click wait); those frames are not counted,
    // as a load takes real time, not frames (its wait is a hang guard).
    bool waitForState(int32_t id, int maxFrames = 600);
    // A player made and chosen, as the new-player dialog does (a first start has none).
    cPlayerProfile* makePlayer(const std::wstring& name = L"Tester");

    // The pointer and the left button, each followed by one frame.
    void moveTo(int32_t x, int32_t y) { pointer(x, y, -1); }
    void press(int32_t x, int32_t y) { pointer(x, y, 1); }
    void release(int32_t x, int32_t y) { pointer(x, y, 0); }
    void click(int32_t x, int32_t y)
    {
        moveTo(x, y);
        press(x, y);
        release(x, y);
    }
    // A key pressed and released (two frames).
    void key(uint8_t code)
    {
        m_input->setKey(code, true);
        frame();
        m_input->setKey(code, false);
        frame();
    }
    // A key pressed and released within one frame (a quick tap), then that frame.
    void tap(uint8_t code)
    {
        m_input->queueKey(code, true);
        m_input->queueKey(code, false);
        frame();
    }
    // Text typed as a quick typist does: each character (with the shift key
    // for capitals and signs) pressed and released within one frame.
    void type(const std::string& text);
    // The window's close button (as the window manager sends it).
    void closeWindow() { m_pump->push(A_MSG_CLOSE); }
    // The loop was told to end (the quit message came).
    bool quitPosted() const { return m_quit; }
    // Held, the sounds stand still: one started stays playing whatever the
    // frames that follow, until they are let go.
    void holdSounds(bool held) { m_soundsHeld = held; }

    // A widget of the current GUI server by name (null when none).
    GUI::Widget* widget(const std::string& name) const;
    std::wstring text(const std::string& name) const;
    // The centre of a widget on the screen.
    aPoint centreOf(const std::string& name) const;

    // The last drawn frame (OpenGL only; empty otherwise).
    std::vector<uint32_t> screenshot() const;
    // Compares it with tests/data/screens/<name>.png (or writes it with KB_UPDATE_GOLDEN=1).
    void expectScreen(const std::string& name) const;

    // The game's log so far, one message a line (time stamps removed).
    std::vector<std::string> log() const;
    bool logged(const std::string& message) const;

    HarnessGame& game() { return *m_game; }
    const TempHome& home() const { return m_home; }
    aScriptedInputDevice& input() { return *m_input; }
    aGpuDeviceRecorder* recorder() const { return m_recorder; }

private:
    // Whether frame() still runs one (started, not stopped, no quit posted).
    bool framesRun() const { return m_started && !m_stopped && !m_quit; }
    void frameWhileLoading();
    void pumpMessages();
    // The sound output's share of one frame, mixed and dropped.
    void playFrameOfSound();
    // The pointer moved there, the left button pressed (1), let go (0) or left as it is (-1), one frame.
    void pointer(int32_t x, int32_t y, int button);

    Options m_options;
    TempHome m_home;
    std::unique_ptr<HarnessGame> m_game;
    aScriptedInputDevice* m_input = nullptr;
    aScriptedEventPump* m_pump = nullptr;
    aGpuDeviceGL* m_gl = nullptr;
    aGpuDeviceRecorder* m_recorder = nullptr;
    int32_t m_frameResult = 0;
    bool m_started = false;
    bool m_stopped = false;
    bool m_quit = false;
    bool m_soundsHeld = false;
    // Sound frames owed to the output: the frame time is rarely a whole number of them.
    double m_soundDue = 0.0;
    std::vector<int16_t> m_soundScratch;
};

} // namespace kbtest
