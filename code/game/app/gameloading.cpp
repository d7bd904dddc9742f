// The loading routines of cGame (they run on the loading thread), their
// starters and the hand-over at their end.
#include <algorithm>

#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/app/loadingscreen.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/upgrade.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/a_system.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_crc32.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"
#include "orvo/util/a_timer.h"

namespace {

constexpr float kMinimumSeconds = 4.5f;
constexpr uint32_t kClickPollMs = 10;
constexpr uint32_t kWaitSliceMs = 100;

void setProgress(uint16_t percent)
{
    if (cLoadingScreen* screen = cLoadingScreen::getSingletonPtr())
        screen->setProgress(percent);
}

// Queues and runs an optional list.
void loadListIfExists(aBaseManager& manager, const std::string& path, const std::string& listName = "")
{
    if (!file_exists(path.c_str()))
        return;
    manager.AddListToTask(path, listName);
    manager.runTasks();
}

// The "Name" of a kind file's "DATA" section ("" when there is none).
std::string kindName(const std::string& kindFile)
{
    if (!file_exists(kindFile.c_str()))
        return "";
    aOptionsFile kind(kindFile.c_str());
    if (!kind.setSection("DATA") || !kind.findKey("Name"))
        return "";
    return kind.getString("Name");
}

// The key names of a loader file's section, in order.
std::vector<std::string> loaderKeys(const std::string& loaderFile, const char* section)
{
    std::vector<std::string> keys;
    if (!file_exists(loaderFile.c_str()))
        return keys;
    aOptionsFile loader(loaderFile.c_str());
    if (!loader.setSection(section))
        return keys;
    for (loader.firstKey(); !loader.isKeyEnd(); loader.nextKey())
        keys.push_back(loader.getKeyName());
    return keys;
}

} // namespace

void cGame::startLoader(aLoadingRoutine routine)
{
    if (loadingThreadRuns()) {
        a_log("Error: thread for loading already created!");
        return;
    }
    clearFlags(FLAG_DRAW);
    m_loaderEvent.open();
    startLoadingThread(routine, this);
}

void cGame::startInitialLoad()
{
    startLoader(&cGame::initialLoaderThread);
}

void cGame::startLevelLoading()
{
    startLoader(&cGame::levelLoaderThread);
}

uint32_t cGame::initialLoaderThread(void* parameter)
{
    auto* game = static_cast<cGame*>(parameter);
    a_srand(game->loaderSeed());
    game->loadInitial();
    game->setFlags(FLAG_DRAW | FLAG_STATES);
    if (!cGameState::find(STATE_MENU))
        a_log("cGame. The menu is requested but no state %d is registered", STATE_MENU);
    game->requestState(STATE_MENU);
    return 0;
}

uint32_t cGame::levelLoaderThread(void* parameter)
{
    auto* game = static_cast<cGame*>(parameter);
    a_srand(game->loaderSeed());
    game->loadLevelData();
    game->setFlags(FLAG_DRAW | FLAG_STATES);
    return 0;
}

uint32_t cGame::screenLoaderThread(void* parameter)
{
    auto* game = static_cast<cGame*>(parameter);
    a_srand(game->loaderSeed());
    game->reloadScreens();
    game->setFlags(FLAG_DRAW | FLAG_STATES);
    return 0;
}

void cGame::loadInitial()
{
    auto screen = std::make_unique<cLoadingScreen>("gui:progress.jng", "gui:progress_back.jng", 335, true);
    setFlags(FLAG_DRAW);
    loadInitialMedia(*screen);
    while (!isQuitting() && screen->isWaitingForClick())
        system_sleepMs(kClickPollMs);
    handOver(screen);
}

void cGame::loadInitialMedia(cLoadingScreen& screen)
{
    // Between its steps the load looks at the quit request: a game told to end loads nothing it will not show.
    if (!m_soundManager)
        m_soundManager = new aSoundManager();
    loadListIfExists(*m_soundManager, "sounds:load_screen.list");
    m_soundManager->setVolume(getSoundVolume());

    screen.startScenario();
    m_spriteRegistry.loadSpriteIni("sprites:common.ini", m_imageManager);
    if (isQuitting())
        return;

    if (m_imageManager) {
        m_imageManager->AddListToTask("gui:gui.list");
        m_imageManager->AddListToTask(m_settings.languageFolder + "GUI/hud.list");
        m_imageManager->AddListToTask("particles:particle.list");
        m_imageManager->runTasks();
    }
    loadListIfExists(*m_soundManager, "sounds:common.list");
    loadListIfExists(*m_soundManager, "sounds:Ambient/sounds.list");
    setProgress(30);
    if (isQuitting())
        return;

    if (!m_particles)
        m_particles = new aParticlesManager("particles:config.ini", "particles:", m_imageManager, "");
    cGameState::createAll();

    cFood::loadKinds("foods:foods.ini");
    setProgress(35);
    cBonus::loadKinds("bonuses:bonuses.ini");
    cUpgrade::loadKinds("bonuses:abilities.ini");
    setProgress(40);
    if (isQuitting())
        return;
    loadAnimalSounds("animals:loader.ini");
    setProgress(60);
    loadPoacherSounds("poachers:loader.ini", true);
    m_soundManager->setVolume(getSoundVolume());
    // The placeholder player of a first start goes before the first screen, so it asks for a name.
    m_dropPlaceholderProfile.store(true);
    if (isQuitting())
        return;

    loadScreenResources(60, 99);
    setProgress(100);
}

void cGame::loadLevelData()
{
    auto screen = std::make_unique<cLoadingScreen>("gui:progress.jng", "gui:progress_back.jng", 0, false);
    setFlags(FLAG_DRAW);
    aTimer timer(0);
    timer.reset();

    if (!m_animalKindsToLoad.empty()) {
        const int32_t step = 100 / static_cast<int32_t>(m_animalKindsToLoad.size());
        for (size_t i = 0; i < m_animalKindsToLoad.size(); ++i) {
            const AnimalKindRequest& kind = m_animalKindsToLoad[i];
            const auto file = m_animalKindFiles.find(kind.hash);
            if (file != m_animalKindFiles.end() && m_kindLoaders.animalKindFile)
                m_kindLoaders.animalKindFile(file->second, kind.mask);
            setProgress(static_cast<uint16_t>(std::min<int32_t>(100, static_cast<int32_t>(i + 1) * step)));
        }
        m_animalKindsToLoad.clear();
    } else if (!m_animalKindFiles.empty()) {
        // Without registered kinds every known kind is read.
        const int32_t step = 100 / static_cast<int32_t>(m_animalKindFiles.size());
        int32_t k = 1;
        for (const auto& [hash, path] : m_animalKindFiles) {
            if (m_kindLoaders.animalKindFile)
                m_kindLoaders.animalKindFile(path, 0xFFFF);
            setProgress(static_cast<uint16_t>(std::min<int32_t>(100, (k + 1) * step)));
            ++k;
        }
    }

    setProgress(95);
    if (m_currentState) {
        m_currentState->setModalCount(0);
        m_currentState->init();
        if (m_currentState->getId() == STATE_PLAY && m_kindLoaders.poacherWavesLeft &&
            m_kindLoaders.poacherWavesLeft())
            loadPoacherSounds("poachers:loader.ini", false);
    }
    setProgress(99);
    waitUntil(timer, kMinimumSeconds);
    handOver(screen);
}

void cGame::reloadScreens()
{
    auto screen = std::make_unique<cLoadingScreen>("gui:progress.jng", "gui:progress_back.jng", 0, false);
    setFlags(FLAG_DRAW);
    aTimer timer(0);
    timer.reset();

    loadScreenResources(0, 95);
    if (m_currentState) {
        m_currentState->setModalCount(0);
        m_currentState->init();
    }
    setProgress(99);
    waitUntil(timer, kMinimumSeconds);
    handOver(screen);
}

void cGame::loadScreenResources(uint16_t start, uint16_t end)
{
    // A manager left from before would be lost with its images.
    delete m_screenImageManager;
    m_screenImageManager = new aImageManager();
    const int32_t step = (static_cast<int32_t>(end) - start) / 8;
    for (int32_t id = 0; id <= 7; ++id) {
        if (cGameState* state = cGameState::find(id))
            state->loadResources();
        setProgress(static_cast<uint16_t>(std::min<int32_t>(100, start + id * step)));
    }
    m_screenImageManager->runTasks();
}

void cGame::loadAnimalSounds(const std::string& loaderFile)
{
    const std::vector<std::string> kindFiles = loaderKeys(loaderFile, "ANIMALS");
    if (kindFiles.empty())
        return;
    const float step = 20.0f / static_cast<float>(kindFiles.size());
    for (size_t k = 1; k <= kindFiles.size(); ++k) {
        const std::string& kindFile = kindFiles[k - 1];
        const std::string name = kindName(kindFile);
        m_animalKindFiles[crc32_string(name)] = kindFile;
        if (m_soundManager)
            loadListIfExists(*m_soundManager, "sounds:Animals/" + name + "/sounds.list", name);
        setProgress(static_cast<uint16_t>(std::min<int32_t>(100, 40 + static_cast<int32_t>(k * step))));
    }
    m_animalKindsToLoad.reserve(kindFiles.size());
}

void cGame::loadPoacherSounds(const std::string& loaderFile, bool soundsOnly)
{
    for (const std::string& kindFile : loaderKeys(loaderFile, "POACHERS")) {
        if (!soundsOnly) {
            if (m_kindLoaders.poacherKinds)
                m_kindLoaders.poacherKinds(kindFile);
            continue;
        }
        const std::string name = kindName(kindFile);
        if (m_soundManager && !name.empty())
            loadListIfExists(*m_soundManager, "sounds:Poachers/" + name + "/sounds.list", name);
    }
}

void cGame::waitUntil(const aTimer& timer, float seconds)
{
    const float remaining = seconds - timer.getSeconds();
    if (remaining <= 0.0f)
        return;
    uint32_t ms = static_cast<uint32_t>(remaining * 1000.0f);
    // In slices, so that a quit during the wait is not held up.
    while (ms > 0 && !isQuitting()) {
        const uint32_t slice = std::min(ms, kWaitSliceMs);
        system_sleepMs(slice);
        ms -= slice;
    }
}

void cGame::handOver(std::unique_ptr<cLoadingScreen>& screen)
{
    // Drawing stops; the frame that may still be drawing the screen ends first.
    m_loaderEvent.closeAfterFrame(m_flags, FLAG_DRAW);
    screen.reset();
}
