#include "game/screens/minigame.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "game/app/game.h"
#include "game/app/messagebox.h"
#include "game/app/playerprofile.h"
#include "game/app/tip.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/flyawaytext.h"
#include "gui/eventargs.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/sound/a_musicmanager.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"
#include "orvo/util/a_string.h"

namespace {

using Binder = GUI::_memberBinder<cMiniGameState, bool, const GUI::EventArgs&>;

constexpr uint16_t kKindMask = 163;
constexpr const char* kDefaultKinds[] = {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"};

// Looked up at each use: a game object (and its sound manager) may be made again.
aSound* gameSound(const char* name)
{
    cGame* game = cGame::get();
    aSoundManager* sounds = game ? game->getSoundManager() : nullptr;
    return sounds && sounds->hasSound(name) ? sounds->getSound(name) : nullptr;
}

void stopSound(aSound* sound)
{
    if (sound && sound->isPlaying())
        sound->stop();
}

std::wstring text(const char* key)
{
    cGame* game = cGame::get();
    return game ? game->getText(key) : std::wstring();
}

// Sliding direction of a landed coin, taken from its arc on landing.
std::map<const cBonus*, aVector2> g_coinDirs;

void collectCoin(cBonus* b, aFont* font)
{
    b->collect(aVector2(kMiniCoinTargetX, kMiniCoinTargetY));
    cGame* game = cGame::get();
    if (game)
        miniGameAddText(font, game->formatMoneyGain(b->value), b->anchor);
}

} // namespace

int16_t miniGameGoalX(uint32_t i, uint32_t n)
{
    return static_cast<int16_t>(static_cast<int32_t>(i * 90) - static_cast<int32_t>((n * 90) >> 1) + 557);
}

void miniGameTimerText(float timeLeft, std::string& clock, std::string& hundredths)
{
    const float t = std::max(0.0f, timeLeft);
    const int32_t s = static_cast<int32_t>(t);
    const int32_t h = static_cast<int32_t>((t - static_cast<float>(s)) * 100.0f);
    clock = string_format("%02d:%02d.", s / 60, s % 60);
    hundredths = string_format("%02d", h);
}

void miniGameLose(float* timeLeft)
{
    *timeLeft = 0.0f;
    cMessageBox::show(text("caption_loose"), text("out_of_time"), 273, &cGame::requestMapState, nullptr);
    if (cGame* game = cGame::get())
        game->playSound("loose_level");
    stopSound(gameSound("time_out"));
}

bool miniGameUpdateCountdown(float* timeLeft, float dt)
{
    *timeLeft -= dt;
    if (*timeLeft >= 0.0f) {
        aSound* timeOut = gameSound("time_out");
        if (*timeLeft < 5.0f && timeOut && !timeOut->isPlaying())
            timeOut->play(true);
        return false;
    }
    miniGameLose(timeLeft);
    return true;
}

void miniGameDrawTimer(aFont* font, float timeLeft)
{
    cGame* game = cGame::get();
    aImageManager* images = game ? game->getImageManager() : nullptr;
    if (images && images->hasImage("hud"))
        images->getImage("hud")->drawRegionAt(452, 20, aRect(858, 162, 120, 32));
    if (!font)
        return;
    std::string clock, hundredths;
    miniGameTimerText(timeLeft, clock, hundredths);
    const aColor previous = font->color;
    font->color = 0xFF722206;
    font->setSize(1.0f);
    const float w = font->getTextSizeA(clock).width;
    font->drawTextA(484.0f, 36.0f, clock, 0x14);
    font->setSize(0.75f);
    font->drawTextA(484.0f + w, 38.0f, hundredths, 0x14);
    font->setSize(1.0f);
    font->color = previous;
}

void miniGameDropCoin(const aVector2& p, std::vector<cBonus*>& coins)
{
    static constexpr int32_t kValues[4] = {1, 5, 25, 50};
    const int32_t roll = a_rand() % 100;
    const int32_t type = roll < 35 ? 0 : roll < 70 ? 1 : roll < 90 ? 2 : 3;
    cBonus* b = cBonus::create(type);
    if (!b)
        return;
    b->value = kValues[type];
    b->level = nullptr;
    b->baseScale = 1.2f;
    b->updateScale();
    float d = 30.0f + static_cast<float>(a_rand()) * 20.0f / 32767.0f;
    if ((a_rand() & 1) == 0)
        d = -d;
    b->launch(p, aVector2(p.x + d, p.y), 20.0f);
    b->speed = 180.0f;
    coins.push_back(b);
}

bool miniGameUpdateObjects(std::vector<cBonus*>& coins, float dt, bool won, aFont* font, bool draw)
{
    cGame* game = cGame::get();
    aInputServer* input = game ? game->getInputServer() : nullptr;
    int32_t mx = -1, my = -1;
    if (input)
        input->getMousePos(mx, my);
    const bool press = input && input->buttonStates[0] == A_STATE_PRESSED;
    bool over = false;
    for (size_t i = 0; i < coins.size();) {
        cBonus* b = coins[i];
        b->update(dt);
        b->hovered = false;
        if (won && !b->collected) {
            collectCoin(b, font);
        } else if (dt > 0.0f) {
            if (b->landed && !b->collected) {
                auto dir = g_coinDirs.find(b);
                if (dir == g_coinDirs.end()) {
                    float x = 0.0f, y = 0.0f, heading = 0.0f;
                    b->arc.getPosition(x, y, &heading);
                    dir = g_coinDirs.emplace(b, aVector2(std::cos(heading), std::sin(heading))).first;
                }
                aVector2 p = b->anchor + dir->second * (dt * b->speed);
                p.x = std::clamp(p.x, 0.0f, 1024.0f);
                b->setPosition(p);
                b->speed += 20.0f * dt;
                if (p.x <= 0.0f || p.x >= 1024.0f)
                    dir->second.x = -dir->second.x;
            }
            const aRect& r = b->getScreenRect();
            b->hovered = mx >= r.x && my >= r.y && mx < r.x + static_cast<int32_t>(r.width) &&
                         my < r.y + static_cast<int32_t>(r.height);
            if (b->hovered && press && b->landed && !b->collected)
                collectCoin(b, font);
        }
        over = over || b->hovered;
        if (!b->isAlive() || b->anchor.y - static_cast<float>(b->height) * b->scale >= 768.0f) {
            g_coinDirs.erase(b);
            coins.erase(coins.begin() + static_cast<std::ptrdiff_t>(i));
            b->release();
            continue;
        }
        if (draw)
            b->draw();
        ++i;
    }
    return over;
}

void miniGameAddText(aFont* font, const std::wstring& value, const aVector2& p)
{
    if (font)
        cFlyAwayText::add(font, value, 1.0f, p, 70.0f, 0.75f);
}

void miniGameUpdateTexts(float dt)
{
    cFlyAwayText::updateAll(dt);
}

void miniGameClearTexts()
{
    cFlyAwayText::clearAll();
}

cAnimal* miniGameCreateAnimal(cAnimalKind* kind, float scale)
{
    cAnimal* a = cAnimal::create(true, kind);
    if (!a)
        return nullptr;
    a->freeRunning = false;
    a->held = false;
    a->tag = 0;
    a->perspective = false;
    a->obstacles = nullptr;
    a->baseScale = kind->adultBaseScale * scale;
    a->updateScale();
    a->releaseSounds();
    return a;
}

void miniGameEffect(const char* name, const aVector2& p)
{
    cGame* game = cGame::get();
    if (aParticlesManager* particles = game ? game->getParticles() : nullptr)
        particles->Add(name, p.x, p.y, 0, true, true);
}

// --- the state ---

cMiniGameState::cMiniGameState(int32_t id, const Setup& setup) : cGameState(id), m_setup(setup)
{
}

cMiniGameState::~cMiniGameState() = default;

bool cMiniGameState::startLoading()
{
    cGame* game = cGame::get();
    aOptionsFile file;
    if (!game || !file.loadFile(m_setup.file) || !file.setSection(m_section)) {
        a_log("cMiniGameState. No section \"%s\" in \"%s\"", m_section.c_str(), m_setup.file);
        return false;
    }
    if (file.findKey("AvailableAnimals")) {
        std::vector<std::string> names;
        file.getStringList("AvailableAnimals", names);
        for (const std::string& name : names)
            game->registerAnimalKind(name, kKindMask);
    } else {
        for (const char* name : kDefaultKinds)
            game->registerAnimalKind(name, kKindMask);
    }
    game->startLevelLoading();
    return true;
}

void cMiniGameState::initFrame()
{
    cGame* game = cGame::get();
    m_inputReady = false;
    m_gui = std::make_unique<GUI::Server>(game->getImageManager(), game->getSoundManager());
    m_gui->load("gui:mini_game.agui");
    m_gui->InitializeWidgets();
    m_gui->SetMouseCursor("default");
    m_font = m_gui->GetFont("arial14");
    GUI::Widget* root = m_gui->GetRoot();
    m_moneyLabel = root ? root->FindChild("MoneyValue", true) : nullptr;
    if (GUI::Widget* skip = root ? root->FindChild("Skip", true) : nullptr)
        skip->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cMiniGameState::askSkip));
}

bool cMiniGameState::readSettings(void (*extra)(cMiniGameState&, aOptionsFile&))
{
    aOptionsFile file;
    if (!file.loadFile(m_setup.file) || !file.setSection(m_section)) {
        a_log("cMiniGameState. No section \"%s\" in \"%s\"", m_section.c_str(), m_setup.file);
        return false;
    }
    const std::string background = file.getString("Background");
    if (!background.empty())
        m_background = std::make_unique<aImage>(background, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    m_timeLeft = static_cast<float>(file.getInt("Time"));
    m_reward = file.getInt("Reward");

    std::vector<std::string> names;
    file.getStringList("AmbientSound", names);
    if (!names.empty()) {
        const std::string& name = names[static_cast<size_t>(a_rand()) % names.size()];
        cGame* game = cGame::get();
        aSoundManager* sounds = game ? game->getSoundManager() : nullptr;
        if (sounds && sounds->hasSound(name))
            m_ambient = sounds->getSound(name);
    }

    names.clear();
    file.getStringList("AvailableAnimals", names);
    for (const std::string& name : names)
        if (cAnimalKind* kind = cAnimal::findKindByName(name))
            if (std::find(m_kinds.begin(), m_kinds.end(), kind) == m_kinds.end())
                m_kinds.push_back(kind);
    if (m_kinds.empty())
        m_kinds = cAnimal::kinds();

    if (m_setup.goals) {
        std::vector<int32_t> counts;
        names.clear();
        file.getIntList("AnimalsCount", counts);
        file.getStringList("Animals", names);
        for (size_t i = 0; i < std::min(counts.size(), names.size()); ++i) {
            cAnimalKind* kind = cAnimal::findKindByName(names[i]);
            if (!kind || std::find(m_kinds.begin(), m_kinds.end(), kind) == m_kinds.end()) {
                a_log("cMiniGameState. Goal kind \"%s\" is not available, no goal", names[i].c_str());
                continue;
            }
            // A goal of no animals would be full from the start.
            m_goals.push_back({0, static_cast<uint32_t>(std::max(1, counts[i])), kind});
        }
    }
    if (extra)
        extra(*this, file);
    return true;
}

void cMiniGameState::showTip()
{
    if (!cTip::shouldShow(m_setup.tipBit) || !m_gui || !m_gui->GetRoot())
        return;
    if (GUI::Widget* window = m_gui->GetRoot()->FindChild("Tip", true))
        cTip::create(window, m_setup.tipKey, m_setup.tipBit);
}

void cMiniGameState::updateFrame(float dt)
{
    if (m_gui)
        m_gui->Update(dt);
    cTip::updateCurrent(dt);
    cGame* game = cGame::get();
    const cPlayerProfile* profile = game ? game->getCurrentProfile() : nullptr;
    if (m_moneyLabel && profile)
        m_moneyLabel->SetText(game->formatMoney(profile->stars));
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (input && input->buttonStates[0] != A_STATE_PRESSED && input->buttonStates[0] != A_STATE_HELD)
        m_inputReady = true;
}

void cMiniGameState::runClock(float dt)
{
    if (!modalOpen() && !m_won && m_timeLeft > 0.0f)
        miniGameUpdateCountdown(&m_timeLeft, dt);
}

void cMiniGameState::updateTail()
{
    if (m_ambient && !m_won && !m_ambient->isPlaying())
        m_ambient->play(true);
    cGame* game = cGame::get();
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (input && input->keyStates[A_KEY_ESCAPE] == A_STATE_RELEASED) {
        GUI::EventArgs args;
        askSkip(args);
    }
}

bool cMiniGameState::askSkip(const GUI::EventArgs&)
{
    if (cMessageBox::isShown() || m_won)
        return true;
    cMessageBox::show(text("caption_skip"), text("mini_game_skip"), 34, &cGame::requestMapState, nullptr);
    return true;
}

void cMiniGameState::win()
{
    if (m_won)
        return;
    cMessageBox::show(L"", text(m_setup.winKey), 449, &cGame::requestParkState, nullptr);
    if (cMessageBox* box = cMessageBox::get())
        box->countTarget = static_cast<uint16_t>(std::clamp(m_reward, 0, 65535));
    cGame* game = cGame::get();
    if (cPlayerProfile* profile = game ? game->getCurrentProfile() : nullptr) {
        profile->addStars(m_reward);
        profile->doneUpgrades = 0;
    }
    m_won = true;
    stopSound(gameSound("time_out"));
    stopSound(m_ambient);
    if (game) {
        if (game->getMusicManager())
            game->getMusicManager()->stop(true);
        game->playSound("win_level");
    }
}

void cMiniGameState::releaseFrame()
{
    cTip::destroy();
    miniGameClearTexts();
    m_font = nullptr;
    m_moneyLabel = nullptr;
    m_background.reset();
    cMessageBox::forgetWindow();
    m_gui.reset();
    stopSound(m_ambient);
    m_ambient = nullptr;
    m_goals.clear();
    m_kinds.clear();
    for (cBonus* b : m_coins) {
        g_coinDirs.erase(b);
        b->release();
    }
    m_coins.clear();
    m_won = false;
    if (cGame* game = cGame::get())
        game->getProfiles().save();
}

void cMiniGameState::drawBackground()
{
    if (!m_background || m_background->getWidth() == 0)
        return;
    const float p[2] = {0.0f, 0.0f};
    m_background->draw(p, aRect(0, 0, m_background->getWidth(), m_background->getHeight()));
}

void cMiniGameState::drawGoals()
{
    if (!m_font)
        return;
    const aColor previous = m_font->color;
    m_font->color = 0xFF46332E;
    m_font->setSize(1.0f);
    const uint32_t n = static_cast<uint32_t>(m_goals.size());
    for (uint32_t i = 0; i < n; ++i) {
        const cMiniGoal& goal = m_goals[i];
        const int32_t x0 = miniGameGoalX(i, n);
        int32_t h = 0;
        aImage* icon =
            goal.kind ? (goal.kind->buttonImage ? goal.kind->buttonImage.get() : goal.kind->icon.get()) : nullptr;
        if (icon && icon->getWidth() > 0) {
            const int32_t w = icon->getWidth() / 4;
            h = icon->getHeight();
            icon->drawRegionAt(static_cast<int16_t>(x0 - w / 2), static_cast<int16_t>(kMiniGoalY - h / 2),
                               aRect(0, 0, static_cast<uint16_t>(w), static_cast<uint16_t>(h)));
        }
        const std::string count = string_format("%u/%u", goal.collected, goal.needed);
        m_font->drawTextA(static_cast<float>(x0 + 2), static_cast<float>(kMiniGoalY - h / 2 + 64), count.c_str(), 0x11);
    }
    m_font->color = previous;
}

cMiniGoal* cMiniGameState::goalOf(const cAnimalKind* kind)
{
    for (cMiniGoal& goal : m_goals)
        if (goal.kind == kind)
            return &goal;
    return nullptr;
}

int32_t cMiniGameState::goalIndexOf(const cAnimalKind* kind) const
{
    for (size_t i = 0; i < m_goals.size(); ++i)
        if (m_goals[i].kind == kind)
            return static_cast<int32_t>(i);
    return -1;
}

bool cMiniGameState::goalsFull() const
{
    return !m_goals.empty() &&
           std::all_of(m_goals.begin(), m_goals.end(), [](const cMiniGoal& g) { return g.collected >= g.needed; });
}

bool cMiniGameState::pointer(int32_t& x, int32_t& y, uint32_t& left) const
{
    cGame* game = cGame::get();
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (!input)
        return false;
    input->getMousePos(x, y);
    left = m_inputReady ? input->buttonStates[0] : A_STATE_UP;
    return true;
}
