#include "game/support/harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "game/app/profiles.h"
#include "gui/server.h"
#include "gui/widget.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/platform/a_message.h"
#include "orvo/platform/audio/a_audio.h"
#include "orvo/platform/audio/a_audiobackend.h"
#include "orvo/platform/audio/a_audiomixer.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/util/a_random.h"
#include "support/golden.h"
#include "support/hang_guard.h"
#include "support/text_lines.h"

namespace kbtest {

namespace {

const char* const kHomeVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"};

// Every output the game opens pulls nothing by itself: the harness mixes each frame's share.
std::unique_ptr<aAudioBackend> frameTimedOutput(int)
{
    return std::make_unique<aAudioNullBackend>(aAudioNullBackend::Mode::Pulled);
}

} // namespace

TempHome::TempHome()
{
    const std::string h = m_dir.path();
    const std::string values[] = {h, h + "/.local/share", h + "/.config", h + "/.cache", h + "/run"};
    for (size_t i = 0; i < std::size(kHomeVariables); ++i) {
        const char* old = std::getenv(kHomeVariables[i]);
        m_saved.emplace_back(kHomeVariables[i], old ? old : "");
        setenv(kHomeVariables[i], values[i].c_str(), 1);
    }
    std::filesystem::create_directories(h + "/run");
}

TempHome::~TempHome()
{
    for (const auto& [name, value] : m_saved)
        setenv(name.c_str(), value.c_str(), 1);
}

GameHarness::GameHarness(const Options& options) : m_options(options)
{
    audio_setBackendFactory(&frameTimedOutput);
    // The game object reads the folders when it is made: after the home.
    m_game = std::make_unique<HarnessGame>();
    m_game->setEventPump(std::unique_ptr<aScriptedEventPump>(m_pump = new aScriptedEventPump()));
    std::unique_ptr<aGpuDevice> device;
    if (options.recording)
        device.reset(m_recorder = new aGpuDeviceRecorder());
    else {
        device.reset(m_gl = new aGpuDeviceGL());
        // Only the frames read back are looked at: the driver may skip the rest.
        m_gl->setFenceInterval(4);
    }
    m_game->useDevices(std::move(device), std::unique_ptr<aScriptedInputDevice>(m_input = new aScriptedInputDevice()));
    m_game->setFixedFrameTime(options.frameTime);
    // Its frames keep their fixed time: nothing to wait for between them.
    m_game->setFramePacing(false);
    m_game->setFixedLoaderSeed(options.seed);
}

int32_t GameHarness::start()
{
    a_srand(m_options.seed);
    if (!m_options.splash) {
        // Added to a "config.ini" the test wrote (which then has no COMMON section).
        std::filesystem::create_directories(m_home.userDir());
        std::ofstream(m_home.userDir() + "config.ini", std::ios::binary | std::ios::app)
            << "\r\n[COMMON]\r\nLoadingScene=0\r\nSplashScreen=0\r\n";
    }
    const int32_t result = m_game->init("Kesterby", nullptr, "", "Brindlewick");
    m_started = result == 0;
    return result;
}

GameHarness::~GameHarness()
{
    stop();
    m_game.reset();
    audio_setBackendFactory(nullptr);
}

void GameHarness::stop()
{
    if (m_started && !m_stopped) {
        m_stopped = true;
        m_game->shutdown();
    }
}

void GameHarness::playFrameOfSound()
{
    const std::shared_ptr<aAudioMixer> mixer = audio_getMixer();
    if (!mixer || m_soundsHeld)
        return;
    m_soundDue += static_cast<double>(m_options.frameTime) * mixer->rate();
    const auto frames = static_cast<uint32_t>(m_soundDue);
    m_soundDue -= frames;
    m_soundScratch.resize(size_t(frames) * 2);
    mixer->mix(m_soundScratch.data(), frames);
}

void GameHarness::pumpMessages()
{
    aMessage message;
    while (!m_quit && m_pump->peek(message)) {
        if (message.id == A_MSG_QUIT)
            m_quit = true;
        else
            m_game->wndProc(m_game->getWindow(), message.id, message.wParam, message.lParam);
    }
}

void GameHarness::frame()
{
    pumpMessages();
    if (!framesRun())
        return;
    m_game->runFrame(m_frameResult);
    playFrameOfSound();
    pumpMessages();
}

void GameHarness::frames(int count)
{
    for (int i = 0; i < count && !m_quit; ++i)
        frame();
}

bool GameHarness::waitForLoad()
{
    const HangGuard guard;
    while (m_game->loadingThreadRuns() && framesRun() && !guard.expired())
        frameWhileLoading();
    return !m_game->loadingThreadRuns();
}

void GameHarness::frameWhileLoading()
{
    // The player clicks through a loading screen that waits for it.
    if (m_game->loadingThreadRuns()) {
        m_input->setCursor(512, 384);
        m_input->setButton(0, true);
        frame();
        m_input->setButton(0, false);
    }
    frame();
}

cPlayerProfile* GameHarness::makePlayer(const std::wstring& name)
{
    cProfiles& profiles = m_game->getProfiles();
    cPlayerProfile* profile = profiles.createProfile(name, true);
    profiles.select(profile, true);
    return profile;
}

bool GameHarness::waitForState(int32_t id, int maxFrames)
{
    for (int counted = 0; counted < maxFrames && framesRun(); ++counted) {
        // A load's frames come as fast as the machine draws them while it
        // takes its own real time: they are not counted, each load is only
        // guarded against a hang.
        if (m_game->loadingThreadRuns() && !waitForLoad())
            return false;
        const cGameState* state = m_game->getCurrentState();
        if (state && state->getId() == id && state->isInitiated())
            return true;
        frame();
    }
    return false;
}

void GameHarness::pointer(int32_t x, int32_t y, int button)
{
    m_input->setCursor(x, y);
    if (button >= 0)
        m_input->setButton(0, button == 1);
    frame();
}

void GameHarness::type(const std::string& text)
{
    for (char c : text) {
        for (uint32_t shift : {0u, 1u}) {
            uint32_t key = 1;
            while (key < 256 && GUI::Server::KeyToChar(key, shift) != c)
                ++key;
            if (key == 256)
                continue;
            if (shift)
                m_input->queueKey(A_KEY_LSHIFT, true);
            m_input->queueKey(static_cast<uint8_t>(key), true);
            m_input->queueKey(static_cast<uint8_t>(key), false);
            if (shift)
                m_input->queueKey(A_KEY_LSHIFT, false);
            break;
        }
        frame();
    }
}

GUI::Widget* GameHarness::widget(const std::string& name) const
{
    GUI::Server* server = GUI::Server::getSingletonPtr();
    return server ? server->GetRoot()->FindChild(name, true) : nullptr;
}

std::wstring GameHarness::text(const std::string& name) const
{
    const GUI::Widget* w = widget(name);
    return w ? w->GetText() : std::wstring();
}

aPoint GameHarness::centreOf(const std::string& name) const
{
    const GUI::Widget* w = widget(name);
    if (!w)
        return {-1, -1};
    const aRect r = w->GetAbsoluteRect();
    return {r.x + r.width / 2, r.y + r.height / 2};
}

std::vector<uint32_t> GameHarness::screenshot() const
{
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    if (m_gl)
        m_gl->readBackBuffer(pixels, width, height);
    return pixels;
}

void GameHarness::expectScreen(const std::string& name) const
{
    if (!m_gl || !m_gl->isCreated())
        GTEST_SKIP() << "no OpenGL device";
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    m_gl->readBackBuffer(pixels, width, height);
    expectGolden(pixels, width, height, name, "screens");
}

std::vector<std::string> GameHarness::log() const
{
    return splitLines(readFile(m_home.userDir() + "orvo.log"), true);
}

bool GameHarness::logged(const std::string& message) const
{
    for (const std::string& line : log())
        if (line == message)
            return true;
    return false;
}

} // namespace kbtest
