// cGame: construction, start-up, shutdown, display and cursor.
#include "game/app/game.h"

#include "game/app/gamestate.h"
#include "game/app/messagebox.h"
#include "game/app/playerprofile.h"
#include "gui/server.h"
#include "orvo/app/a_crash.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_localeserver.h"
#include "orvo/gfx/a_anim.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/sound/a_musicmanager.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_string.h"

namespace {

cGame* g_game = nullptr;

constexpr uint16_t kIconId = 101;
const aRect kCursorRect(0, 0, 16, 22);

bool applicationPaused()
{
    const aApplication* app = aApplication::get();
    return app && app->isPaused();
}

template <class T> void deleteAndClear(T*& pointer)
{
    delete pointer;
    pointer = nullptr;
}

} // namespace

cGame::cGame()
{
    g_game = this;
}

cGame::~cGame()
{
    if (g_game == this)
        g_game = nullptr;
}

cGame* cGame::get()
{
    return g_game;
}

void cGame::useDevices(std::unique_ptr<aGpuDevice> device, std::unique_ptr<aInputDevice> input)
{
    m_device = std::move(device);
    m_inputDevice = std::move(input);
}

int32_t cGame::init(const char* name, void* instance, const char* commandLine, const char* makerFolder)
{
    const int32_t started = aApplication::init(name, instance, commandLine, makerFolder);
    if (started != 0)
        return started;

    crash_install();
    m_crashInstalled = true;

    static const char* const kAssigns[][2] = {
        {"data", "home:Data/"},
        {"levels", "data:Levels/"},
        {"animals", "data:Animals/"},
        {"poachers", "data:Poachers/"},
        {"foods", "data:Foods/"},
        {"bonuses", "data:Bonuses/"},
        {"sprites", "data:Sprites/"},
        {"gui", "data:GUI/"},
        {"particles", "data:Particles/"},
        {"park", "data:Park/"},
        {"mini-games", "data:Mini-games/"},
        {"sounds", "data:Sounds/"},
        {"awards", "data:Awards/"},
    };
    for (const auto& assign : kAssigns)
        m_fileServer.setAssign(assign[0], assign[1]);

    loadSettings(getUserDir() + "config.ini");
    loadGameConfig("data:game.ini");
    m_fileServer.setAssign("fonts", m_settings.languageFolder + "Fonts/");

    const std::string profilesDir = getUserDir() + "Profiles";
    if (!m_fileServer.exists(profilesDir, false))
        m_fileServer.makeDir(profilesDir);
    // FIXME: the profiles are read from "Profiles/profiles.dat" here, and an
    // empty-named profile is made current when none is, once the profiles
    // store exists; until then no profile is current.

    m_locale = new aLocaleServer();
    m_locale->load(m_settings.languageFolder + "Main.txt");
    const std::string title = string_wideToCp1251(m_locale->getString("app_name"));

    try {
        m_graphServer =
            new aGraphServer(m_settings.screenWidth, m_settings.screenHeight, isFullscreen(), isWidescreen(),
                             m_settings.highColor, title.c_str(), kIconId, m_settings.vsync, true, std::move(m_device));
    } catch (int32_t code) {
        a_log("cGame::init. The graphics server could not start (%08X)", static_cast<unsigned>(code));
        m_graphServer = nullptr;
        showError(static_cast<uint32_t>(code));
        return code < 0 ? code : -1;
    }
    m_graphServer->setShowFps(m_settings.showFps);
    m_graphServer->setFpsPosition(10, 10);
    applyGamma();
    if (isFullscreen())
        clipCursor();
    if (m_currentProfile)
        m_currentProfile->setWidescreen(m_graphServer->isWideScreenOn());

    m_inputServer = new aInputServer(std::move(m_inputDevice));
    m_imageManager = new aImageManager();
    m_imageManager->AddListToTask("gui:cursors.list");
    m_imageManager->AddListToTask("sprites:Shadows/shadows.list");
    m_imageManager->runTasks();
    createCursor();

    m_musicManager = new aMusicManager(true);
    m_musicManager->setPausedQuery(&applicationPaused);
    m_musicManager->setFolder("sounds:Music/");
    loadMusic();
    playCurrentMusic();

    // FIXME: with SplashScreen on and "home:branding/settings.ini" present
    // the splash plays first; the splash comes with the splash screen's work.
    startInitialLoad();
    return 0;
}

void cGame::applyGamma()
{
    if (m_graphServer)
        m_graphServer->setGamma(m_settings.brightness, m_settings.contrast);
}

void cGame::createCursor()
{
    aImage* image = m_imageManager ? m_imageManager->getImage("cursors") : nullptr;
    if (!image || !m_inputServer)
        return;
    if (!m_cursor) {
        m_cursor = std::make_unique<aAnim>();
        m_cursor->addFrame(0, image, kCursorRect);
    }
    m_inputServer->setCursor(m_cursor.get(), 0, 0);
}

void cGame::repairCursor()
{
    if (!m_inputServer || getCursorAnim() || !mouseRunsNonExclusive())
        return;
    createCursor();
    if (getCursorAnim())
        a_log("Game cursor was lost and restored.");
}

bool cGame::mouseRunsNonExclusive() const
{
    // FIXME: aInputServer::isMouseNonExclusive once the engine has it; the
    // mouse always runs with the animated cursor here.
    return true;
}

void cGame::clipCursor()
{
    // FIXME: window_getRect and window_clipCursor once the engine has them:
    // the rectangle is the window's top-left corner and ScreenWidth x ScreenHeight.
}

void cGame::unclipCursor()
{
    // FIXME: window_unclipCursor once the engine has it.
}

void cGame::openQuitPage() const
{
    // FIXME: system_openUrl once the engine has it ("ShellExecute error %d:" on failure).
    a_log("cGame. Cannot open \"%s\" on this system yet", m_settings.openUrlOnQuit.c_str());
}

bool cGame::loadingThreadRuns() const
{
    // FIXME: aApplication::isLoadingThreadRunning once the engine has it.
    return m_loadingThread.joinable();
}

void cGame::waitForLoadingThread()
{
    m_quitting.store(true);
    m_loaderEvent.cancel();
    if (m_loadingThread.joinable())
        m_loadingThread.join();
}

void cGame::onDeactivate()
{
    setPaused(true);
    unclipCursor();
}

void cGame::onDisplayModeChanged()
{
    if (m_currentProfile && m_graphServer) {
        m_currentProfile->setFullscreen(m_graphServer->isFullscreen());
        m_currentProfile->setWidescreen(m_graphServer->isWideScreenOn());
    }
    if (m_graphServer && m_graphServer->isFullscreen())
        clipCursor();
    else
        unclipCursor();
}

void cGame::onDeviceLost()
{
    // FIXME: the water effect's device objects are released here once it exists.
}

void cGame::onDeviceRestored()
{
    // FIXME: the water effect's vertex buffer is made again here once it exists.
    if (m_graphServer && m_graphServer->isFullscreen())
        clipCursor();
}

bool cGame::isFullscreen() const
{
    // Without a profile the game keeps to a window: the safe choice on any desktop.
    return m_currentProfile && m_currentProfile->isFullscreen();
}

bool cGame::isWidescreen() const
{
    return m_currentProfile && m_currentProfile->isWidescreen();
}

bool cGame::getFxQuality() const
{
    return !m_currentProfile || m_currentProfile->getFxQuality();
}

void cGame::setFxQuality(bool on)
{
    if (m_currentProfile)
        m_currentProfile->setFxQuality(on);
}

void cGame::setFullscreen(bool on)
{
    if (!m_graphServer || m_graphServer->isFullscreen() == on)
        return;
    m_graphServer->setFullscreen(on);
    onDisplayModeChanged();
}

void cGame::setWidescreen(bool on)
{
    if (!m_graphServer || m_graphServer->isWideScreenOn() == on)
        return;
    m_graphServer->setWideScreen(on);
    onDisplayModeChanged();
}

cLevel* cGame::getCurrentLevel() const
{
    // FIXME: the play state's level once the play state exists.
    return nullptr;
}

std::wstring cGame::getText(const std::string& key) const
{
    const aLocaleServer* locale = aLocaleServer::getSingletonPtr();
    if (!locale) {
        a_log("aLocaleServer. String [%s] not found", key.c_str());
        return {};
    }
    return locale->getString(key);
}

void cGame::releaseLevelKinds()
{
    // FIXME: the animal kinds with the live animals and the poacher kinds
    // are deleted here, and the new-award window, once they exist.
}

int32_t cGame::shutdown()
{
    waitForLoadingThread();
    if (!m_settings.openUrlOnQuit.empty())
        openQuitPage();
    clearFlags(FLAG_DRAW | FLAG_STATES);

    if (!getUserDir().empty())
        saveSettings(getUserDir() + "config.ini");
    // FIXME: every profile is saved here once the profiles store exists.
    unclipCursor();

    releaseScreenResources();
    cMessageBox::forgetWindow();
    cGameState::releaseAll();
    m_currentState = nullptr;
    releaseLevelKinds();
    // FIXME: the food, bonus and upgrade kinds go here once they exist.
    m_spriteRegistry.releaseAll();

    m_pauseGdi.reset();
    deleteInput();
    m_cursor.reset();
    deleteAndClear(m_graphServer);
    deleteAndClear(m_imageManager);
    deleteAndClear(m_soundManager);
    deleteAndClear(m_musicManager);
    deleteAndClear(m_particles);
    deleteAndClear(m_locale);

    if (m_crashInstalled) {
        crash_restore();
        m_crashInstalled = false;
    }
    return aApplication::shutdown();
}
