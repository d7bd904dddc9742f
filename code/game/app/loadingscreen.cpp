#include "game/app/loadingscreen.h"

#include <mutex>

#include "game/app/animalrun.h"
#include "game/app/game.h"
#include "game/app/poachershoot.h"
#include "orvo/app/a_application.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_keys.h"
#include "orvo/app/a_localeserver.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_image.h"
#include "orvo/util/a_math.h"
#include "orvo/util/a_random.h"
#include "orvo/util/a_string.h"

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr uint32_t kTextFlags = A_FONT_CENTER_X | A_FONT_CENTER_Y | A_FONT_WHOLE_PIXEL;
const char* const kBackgrounds[3] = {"gui:load_screen1.jpg", "gui:load_screen2.jpg", "gui:load_screen3.jpg"};

// The cycles of pictures and tips run across loading screens. Loading
// screens are made on the loading thread or, for the credits, on the main
// thread while none loads; the lock only keeps the bookkeeping whole.
struct Cycles {
    std::mutex mutex;
    int nextBackground = -1; // -1: not started
    int lastTip = -1;        // -1: no tip shown yet
};

Cycles& cycles()
{
    static Cycles c;
    return c;
}

std::unique_ptr<aImage> loadIfExists(const std::string& path)
{
    if (!file_exists(path.c_str()))
        return nullptr;
    return std::make_unique<aImage>(path, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
}

std::wstring localised(const char* key)
{
    aLocaleServer* locale = aLocaleServer::getSingletonPtr();
    return locale ? locale->getString(key) : std::wstring();
}

aColor withAlpha(float alpha, aColor rgb)
{
    return (static_cast<aColor>(static_cast<int32_t>(alpha * 255.0f)) << 24) | rgb;
}

} // namespace

namespace {
std::atomic<cLoadingScreen::ProgressObserver> g_progressObserver{nullptr};
} // namespace

void cLoadingScreen::setProgressObserver(ProgressObserver observer)
{
    g_progressObserver.store(observer);
}

void cLoadingScreen::setProgress(uint16_t percent)
{
    const uint16_t value = percent > 100 ? 100 : percent;
    m_progress.store(value, std::memory_order_relaxed);
    if (ProgressObserver observer = g_progressObserver.load())
        observer(value);
}

void cLoadingScreen::resetCycles()
{
    Cycles& c = cycles();
    std::lock_guard lock(c.mutex);
    c.nextBackground = -1;
    c.lastTip = -1;
}

cLoadingScreen::cLoadingScreen(const std::string& barPath, const std::string& barBackPath, int16_t yOffset,
                               bool withBackground)
    : m_yOffset(yOffset)
{
    m_bar = loadIfExists(barPath);
    m_barBack = loadIfExists(barBackPath);
    if (withBackground)
        pickBackground();
    m_font = std::make_unique<aFont>("fonts:mistral24.ini");
    m_loadingText = localised("loading");
    m_continueText = localised("click_to_continue");
    pickTip();
}

cLoadingScreen::~cLoadingScreen()
{
    aCriticalSectionHolder hold(this);
    m_scene.reset();
}

void cLoadingScreen::pickBackground()
{
    Cycles& c = cycles();
    int index;
    {
        std::lock_guard lock(c.mutex);
        if (c.nextBackground < 0)
            c.nextBackground = a_rand() % 3;
        index = c.nextBackground;
        c.nextBackground = (c.nextBackground + 1) % 3;
    }
    m_backgroundIndex = index;
    m_background = loadIfExists(kBackgrounds[index]);
}

void cLoadingScreen::pickTip()
{
    Cycles& c = cycles();
    int n;
    {
        std::lock_guard lock(c.mutex);
        // Any tip but the one the previous loading screen showed.
        do
            n = a_rand() % TIP_COUNT;
        while (n == c.lastTip);
        c.lastTip = n;
    }
    m_tipIndex = n;
    aLocaleServer* locale = aLocaleServer::getSingletonPtr();
    const std::wstring* tip = locale ? locale->getStringEx(string_format("tip.loading%02d", n)) : nullptr;
    m_hasTip = tip != nullptr;
    if (tip)
        m_tipText = *tip;
}

void cLoadingScreen::startScenario()
{
    aCriticalSectionHolder hold(this);
    m_scene.reset();
    cGame* game = cGame::get();
    static uint16_t noGameSetting = 0;
    uint16_t& setting = game ? game->settings().loadingScene : noGameSetting;
    aImageManager* shadows = game ? game->getImageManager() : nullptr;
    if (setting == 0) {
        setting = 1;
        m_scene = std::make_unique<cPoacherShoot>(shadows);
    } else {
        setting = 0;
        m_scene = std::make_unique<cAnimalRun>(shadows);
    }
    m_scene->init();
}

void cLoadingScreen::setScenario(std::unique_ptr<cLoadingScenario> scene)
{
    aCriticalSectionHolder hold(this);
    m_scene = std::move(scene);
}

uint32_t cLoadingScreen::getScenarioState()
{
    aCriticalSectionHolder hold(this);
    return m_scene ? m_scene->getState() : cLoadingScenario::STATE_FINISHED;
}

bool cLoadingScreen::isWaitingForClick()
{
    aCriticalSectionHolder hold(this);
    if (m_scene && m_scene->isFinished())
        return false;
    m_clickWanted = true;
    return !m_clicked;
}

void cLoadingScreen::sampleClick()
{
    if (!m_clickWanted)
        return;
    aApplication* app = aApplication::get();
    aInputServer* input = app ? app->getInputServer() : nullptr;
    if (!input)
        return;
    int32_t x = 0, y = 0;
    input->getMousePos(x, y);
    // The input server holds a pointer beyond the window on its edge pixels:
    // those count as outside on every side.
    const bool inside = x >= 1 && x < kScreenWidth - 1 && y >= 1 && y < kScreenHeight - 1;
    if (app->isPaused() || !inside) {
        m_pressed = false;
        return;
    }
    const uint32_t left = input->buttonStates[0];
    if (left == A_STATE_PRESSED)
        m_pressed = true;
    else if (left == A_STATE_RELEASED && m_pressed)
        m_clicked = true;
}

void cLoadingScreen::draw(float dt)
{
    aCriticalSectionHolder hold(this);
    sampleClick();
    if (m_background)
        m_background->drawAt(static_cast<int16_t>((kScreenWidth - m_background->getWidth()) / 2),
                             static_cast<int16_t>((kScreenHeight - m_background->getHeight()) / 2));
    if (m_scene && !m_scene->isFinished())
        m_scene->update(dt);
    drawBar(dt);
    drawTexts(dt);
}

void cLoadingScreen::drawBar(float dt)
{
    if (m_barBack)
        m_barBack->drawAt(static_cast<int16_t>((kScreenWidth - m_barBack->getWidth()) / 2 + m_xOffset),
                          static_cast<int16_t>((kScreenHeight - m_barBack->getHeight()) / 2 + m_yOffset));
    const uint16_t progress = getProgress();
    if (!m_bar || progress == 0)
        return;
    const float target = progress / 100.0f;
    if (m_shownFraction < target)
        m_shownFraction = std::min(m_shownFraction + dt, target);
    else if (m_shownFraction > target)
        m_shownFraction = std::max(m_shownFraction - dt, target);
    const uint16_t w = m_bar->getWidth();
    const uint16_t h = m_bar->getHeight();
    const aRect source(0, 0, static_cast<uint16_t>(aMath::round(w * m_shownFraction)), h);
    m_bar->drawRegionAt(static_cast<int16_t>((kScreenWidth - w) / 2 + m_xOffset),
                        static_cast<int16_t>((kScreenHeight - h) / 2 + m_yOffset), source);
}

void cLoadingScreen::drawTexts(float dt)
{
    if (!m_barBack || !m_font)
        return;
    m_textClock += dt;
    const float t = m_textClock * 3.0f;
    const float cx = 512.0f + m_xOffset;
    const float cy = 384.0f + m_yOffset;
    m_continueShown = m_shownFraction == 1.0f;
    if (m_continueShown) {
        m_font->setSize(0.8f);
        m_font->color = withAlpha((aMath::sin(t) + 1.0f) * 0.375f + 0.25f, 0x371D0C);
        m_font->drawText(cx, cy + 10.0f, m_continueText, kTextFlags);
        return;
    }
    m_font->setSize(0.75f);
    m_font->color = withAlpha((aMath::sin(t) + 1.0f) * 0.25f + 0.5f, 0xEBD2AA);
    m_font->drawText(cx, cy - 40.0f, m_loadingText, kTextFlags);
    if (m_hasTip) {
        m_font->setSize(0.7f);
        m_font->color = 0xFF371D0C;
        m_font->drawText(cx, cy + 10.0f, m_tipText, kTextFlags);
    }
}
