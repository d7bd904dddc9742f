// cGame: construction, start-up, shutdown, display and cursor.
#include "game/app/game.h"

#include "game/app/gamestate.h"
#include "game/app/messagebox.h"
#include "game/app/playerprofile.h"
#include "game/app/splashmanager.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/level.h"
#include "game/park/tutorial.h"
#include "game/park/playstate.h"
#include "game/park/poacher.h"
#include "game/park/upgrade.h"
#include "game/park/water.h"
#include "game/screens/newawardwindow.h"
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
#include "orvo/platform/a_system.h"
#include "orvo/platform/a_window.h"
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
    m_kindLoaders.animalKindFile = &cAnimal::loadKindFile;
    m_kindLoaders.poacherKinds = &cPoacher::loadKinds;
    m_kindLoaders.poacherWavesLeft = [this] {
        const cLevel* level = getCurrentLevel();
        // The poacher tutorial brings a hunter of its own.
        return level && (level->wavesLeft > 0 || level->tutorialType == cTutorial::POACHERS);
    };
}

cGame::~cGame()
{
    // A game dropped without shutdown still owns its screen pictures.
    delete m_screenImageManager;
    m_screenImageManager = nullptr;
    if (g_game == this)
        g_game = nullptr;
}

cGame* cGame::get()
{
    return g_game;
}

bool cGame::quitRequested()
{
    return (g_game && g_game->isQuitting()) || system_quitSignalPending();
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
    m_profiles.load(profilesDir + "/profiles.dat");
    // A placeholder until the profile window makes the first player (the initial load drops it).
    if (!getCurrentProfile())
        m_profiles.select(m_profiles.createProfile(L"", false), false);

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
    // Where the display has no mode for the game the server stays in a window:
    // the player's choices follow what was made, as after a mode switch.
    if (getCurrentProfile()) {
        getCurrentProfile()->setFullscreen(m_graphServer->isFullscreen());
        getCurrentProfile()->setWidescreen(m_graphServer->isWideScreenOn());
    }
    if (m_graphServer->isFullscreen())
        clipCursor();

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

    startSplashOrLoad();
    return 0;
}

void cGame::startSplashOrLoad()
{
    const char* const settings = "home:branding/settings.ini";
    // No branding beside the program is no splash, not a fault.
    if (m_settings.splashScreen && m_fileServer.exists(settings)) {
        m_splash = std::make_unique<SplashManager>(settings);
        m_splash->start(true);
        setFlags(FLAG_DRAW | FLAG_STATES);
        return;
    }
    startInitialLoad();
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
    return m_inputServer && m_inputServer->isMouseNonExclusive();
}

void cGame::clipCursor()
{
    int32_t x = 0, y = 0, width = 0, height = 0;
    if (!window_getRect(getWindow(), x, y, width, height))
        return;
    // The game's size, not the window's: the client area is what the player sees.
    window_clipCursor(getWindow(), x, y, m_settings.screenWidth, m_settings.screenHeight);
}

void cGame::unclipCursor()
{
    window_unclipCursor(getWindow());
}

void cGame::openQuitPage() const
{
    // The platform logs a refused address or an opener that did not start.
    system_openUrl(m_settings.openUrlOnQuit.c_str());
}

bool cGame::loadingThreadRuns() const
{
    // The thread counts until the frame loop has joined it, not only while its
    // routine works: states stay untouched until the hand-over is complete.
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
    if (getCurrentProfile() && m_graphServer) {
        getCurrentProfile()->setFullscreen(m_graphServer->isFullscreen());
        getCurrentProfile()->setWidescreen(m_graphServer->isWideScreenOn());
    }
    if (m_graphServer && m_graphServer->isFullscreen())
        clipCursor();
    else
        unclipCursor();
}

void cGame::onDeviceLost()
{
    if (cWater* water = cWater::getSingletonPtr())
        water->releaseDeviceObjects();
}

void cGame::onDeviceRestored()
{
    if (cWater* water = cWater::getSingletonPtr())
        water->restoreDeviceObjects();
    if (m_graphServer && m_graphServer->isFullscreen())
        clipCursor();
}

bool cGame::isFullscreen() const
{
    // Without a profile the game keeps to a window: the safe choice on any desktop.
    return getCurrentProfile() && getCurrentProfile()->isFullscreen();
}

bool cGame::isWidescreen() const
{
    return getCurrentProfile() && getCurrentProfile()->isWidescreen();
}

bool cGame::getFxQuality() const
{
    return !getCurrentProfile() || getCurrentProfile()->getFxQuality();
}

void cGame::setFxQuality(bool on)
{
    if (getCurrentProfile())
        getCurrentProfile()->setFxQuality(on);
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
    const cPlayState* play = cPlayState::find();
    return play ? play->getLevel() : nullptr;
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
    cAnimal::releaseKinds();
    cPoacher::releaseKinds();
    cNewAwardWindow::destroy();
}

int32_t cGame::shutdown()
{
    waitForLoadingThread();
    if (!m_settings.openUrlOnQuit.empty())
        openQuitPage();
    clearFlags(FLAG_DRAW | FLAG_STATES);

    if (!getUserDir().empty())
        saveSettings(getUserDir() + "config.ini");
    // The nameless placeholder of a first start, when the game ends before the initial load dropped it:
    // kept, it would be a player without a name at the next start.
    m_profiles.deleteProfile(L"");
    if (!m_profiles.path().empty())
        m_profiles.save();
    unclipCursor();

    releaseScreenResources();
    cMessageBox::forgetWindow();
    cGameState::releaseAll();
    m_currentState = nullptr;
    releaseLevelKinds();
    cFood::releaseKinds();
    cBonus::releaseKinds();
    cUpgrade::releaseAll();
    m_spriteRegistry.releaseAll();

    // Its picture and clip are textures of the graphics server: they go first.
    m_splash.reset();
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
