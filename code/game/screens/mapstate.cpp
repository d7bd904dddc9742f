#include "game/screens/mapstate.h"

#include <algorithm>

#include "game/app/activebuttoneffect.h"
#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "game/app/spriteregistry.h"
#include "game/app/tutorialflag.h"
#include "game/app/tutorialtooltip.h"
#include "game/screens/awardprogress.h"
#include "game/screens/leveltooltip.h"
#include "game/screens/parkconfig.h"
#include "gui/checkbox.h"
#include "gui/eventargs.h"
#include "gui/server.h"
#include "gui/staticanim.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_anim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_string.h"

namespace {

using Binder = GUI::_memberBinder<cMapState, bool, const GUI::EventArgs&>;

constexpr uint32_t kLevelHintBit = 0x100;
constexpr uint32_t kParkHintBit = 0x200;
constexpr int32_t kArrowFrameWidth = 23;
constexpr const char* kThumbs = "sprites:park_thumbs.ini";

int g_selectDepth = 0; // CheckChanged fires again from inside the handler

// Normal rectangle of a level button by status.
aRect buttonRect(int32_t status)
{
    switch (status) {
    case MAP_LOCKED:
        return aRect(130, 447, 32, 38);
    case MAP_OPEN:
    case MAP_TUTORIAL:
        return aRect(66, 447, 32, 42);
    case MAP_COMPLETED:
        return aRect(196, 394, 44, 53);
    case MAP_SILVER:
        return aRect(98, 394, 49, 53);
    case MAP_GOLD:
        return aRect(0, 394, 49, 53);
    default:
        return aRect(0, 447, 33, 52);
    }
}

cPlayerProfile* currentProfile()
{
    cGame* game = cGame::get();
    return game ? game->getCurrentProfile() : nullptr;
}

// A state that nothing registered yet stays where it is, so the screen is never left empty.
void requestRegistered(int32_t id)
{
    if (!cGameState::hasClass(id)) {
        a_log("cMapState. State %d is not there yet, staying on the map", id);
        return;
    }
    if (cGame* game = cGame::get())
        game->requestState(id);
}

GUI::Widget* findWidget(GUI::Server* server, const std::string& name)
{
    return server && server->GetRoot() ? server->GetRoot()->FindChild(name, true) : nullptr;
}

aImage* guiImage(const char* name)
{
    const cGame* game = cGame::get();
    return game ? game->findImage(name) : nullptr;
}

bool lowerEquals(const std::string& text, const char* lower)
{
    return string_toLower(text) == lower;
}

} // namespace

cMapState::cMapState() : cGameState(STATE_MAP)
{
}

cMapState::~cMapState()
{
    release();
}

void cMapState::loadResources()
{
    if (file_exists("gui:map.jpg"))
        m_mapImage = std::make_unique<aImage>("gui:map.jpg", aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    if (cGame* game = cGame::get())
        game->spriteRegistry().loadSpriteIni(kThumbs, game->getImageManager());
}

void cMapState::freeResources()
{
    m_mapImage.reset();
    if (cGame* game = cGame::get())
        game->spriteRegistry().unloadSpriteIni(kThumbs);
}

void cMapState::subscribeClick(const std::string& name, bool (cMapState::*handler)(const GUI::EventArgs&))
{
    if (GUI::Widget* w = findWidget(m_server.get(), name))
        w->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, handler));
}

void cMapState::init()
{
    if (isInitiated()) {
        a_log("cMapState is already initiated");
        return;
    }
    cGame* game = cGame::get();
    if (!game)
        return;
    m_server = std::make_unique<GUI::Server>(game->getImageManager(), game->getSoundManager());
    m_server->load("gui:map.agui");
    m_server->InitializeWidgets();
    m_server->SetMouseCursor("default");

    subscribeClick("Play", &cMapState::onPlay);
    subscribeClick("Menu", &cMapState::onMenu);
    subscribeClick("Park", &cMapState::onPark);
    m_playButton = findWidget(m_server.get(), "Play");

    loadConfig(m_hideUnreached);

    cPlayerProfile* profile = game->getCurrentProfile();
    const bool firstLevelDone = parkConfig::levelCompleted(profile, "Level01");
    GUI::Widget* park = findWidget(m_server.get(), "Park");
    if (!firstLevelDone) {
        m_parkFlag = false;
        if (park)
            park->SetEnabled(false);
    } else {
        m_parkFlag = parkConfig::canBuyUpgrade(parkConfig::readUpgrades(), profile);
    }

    GUI::Widget* target = m_parkFlag ? park : m_playButton;
    if (target) {
        const aRect r = target->GetAbsoluteRect();
        m_startHighlight = std::make_unique<cActiveButtonEffect>();
        m_startHighlight->initRect(r.x, r.y, r.width, r.height, 100.0f);
        m_startStopped = false;
        if (!target->IsEnabled()) {
            m_startHighlight->setPaused(true);
            m_startStopped = true;
        }
    }

    if (profile && park && park->IsEnabled() && (profile->tipsMask & kParkHintBit) == 0) {
        const aRect r = park->GetAbsoluteRect();
        cTutorialTooltip::add(static_cast<int16_t>(r.x + r.width), static_cast<int16_t>(r.y + r.height / 2),
                              "tutorial.msg15", true, 0.0f);
        if (!tutorial_isRunning())
            profile->tipsMask |= kParkHintBit;
    }

    if (GUI::Widget* awards = findWidget(m_server.get(), "Awards")) {
        awards->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cMapState::onAwards));
        if (!firstLevelDone)
            awards->SetEnabled(false);
    }
    setInitiated(true);
}

std::vector<std::unique_ptr<cMapLevel>> cMapState::readLevels(aOptionsFile& map, const cPlayerProfile* profile,
                                                              bool hideUnreached)
{
    std::vector<std::unique_ptr<cMapLevel>> levels;
    bool tutorialSeen = false;
    for (map.firstSection(); !map.isSectionEnd(); map.nextSection()) {
        const std::string name = map.getSectionName();
        if (name.empty() || map.getKeyCount() == 0) {
            // Nothing to place: a button at the corner with no level behind it.
            a_log("cMapState. Map section \"%s\" is empty, skipped", name.c_str());
            continue;
        }
        std::string needed;
        if (hideUnreached && map.findKey("NeedLevelComplete"))
            needed = map.getString("NeedLevelComplete");
        if (!needed.empty() && !parkConfig::levelCompleted(profile, needed))
            continue;

        const int32_t miniGame = map.findKey("MiniGame") ? std::clamp(map.getInt("MiniGame"), -1, 2) : -1;
        auto level = std::make_unique<cMapLevel>();
        level->name = name;
        level->neededLevel = needed;
        level->status = MAP_OPEN;
        if (miniGame >= 0) {
            level->status = MAP_MINI_GAME + miniGame;
        } else if (!tutorialSeen && lowerEquals(name, "tutorial")) {
            level->status = MAP_TUTORIAL;
            tutorialSeen = true;
        } else if (parkConfig::levelCompleted(profile, name)) {
            const int32_t reward = profile->getLevelReward(name);
            level->status = reward == 0 ? MAP_COMPLETED : reward == 1 ? MAP_SILVER : MAP_GOLD;
        } else {
            std::vector<int32_t> stages;
            if (map.findKey("NeedUpgradeStages"))
                map.getIntList("NeedUpgradeStages", stages);
            for (size_t i = 0; i < stages.size(); ++i) {
                if (parkConfig::builtStage(profile, static_cast<int32_t>(i)) < stages[i]) {
                    level->status = MAP_LOCKED;
                    break;
                }
            }
        }
        level->x = static_cast<int16_t>(map.findKey("PositionX") ? map.getInt("PositionX") : 0);
        level->y = static_cast<int16_t>(map.findKey("PositionY") ? map.getInt("PositionY") : 0);
        if (level->status >= MAP_COMPLETED && level->status <= MAP_GOLD)
            level->x = static_cast<int16_t>(level->x + 3);
        levels.push_back(std::move(level));
    }
    return levels;
}

void cMapState::countAwards(const std::vector<std::unique_ptr<cMapLevel>>& levels, int32_t& completed, int32_t& gold)
{
    completed = 0;
    gold = 0;
    for (const auto& level : levels) {
        if (level->status >= MAP_COMPLETED && level->status <= MAP_TUTORIAL)
            ++completed;
        if (level->status == MAP_GOLD)
            ++gold;
    }
}

void cMapState::loadConfig(bool hideUnreached)
{
    cPlayerProfile* profile = currentProfile();
    aOptionsFile map;
    if (file_exists(MAP_FILE))
        map.loadFile(MAP_FILE);
    else
        a_log("cMapState. Map file \"%s\" not found", MAP_FILE);
    m_levels = readLevels(map, profile, hideUnreached);
    for (auto& level : m_levels)
        level->button = createLevelButton(level->status, *level, level->x, level->y);
    if (m_levels.empty())
        return;

    int32_t completed = 0;
    int32_t gold = 0;
    countAwards(m_levels, completed, gold);
    GUI::Checkbox* last = m_levels.back()->button;
    if (last) {
        last->SetChecked(true);
        if (profile && (profile->tipsMask & kLevelHintBit) == 0) {
            cTutorialTooltip::add(static_cast<int16_t>(last->GetAbsoluteX() + last->GetWidth() / 2),
                                  static_cast<int16_t>(last->GetAbsoluteY()), "tutorial.msg14", true, 0.0f);
            if (!tutorial_isRunning())
                profile->tipsMask |= kLevelHintBit;
        }
    }
    award_levelStatuses(static_cast<int16_t>(completed), static_cast<int16_t>(gold));
}

GUI::Checkbox* cMapState::createLevelButton(int32_t status, cMapLevel& level, int16_t x, int16_t y)
{
    aImage* goals = guiImage("goals");
    aImage* arrowImage = guiImage("map_arrow");

    auto* button = new GUI::Checkbox(level.name);
    const aRect rect = buttonRect(status);
    if (goals && status >= 0) {
        const aRect moved(static_cast<int16_t>(rect.x + rect.width), rect.y, rect.width, rect.height);
        const aRect none(0, 0, 1, 1);
        button->SetNormalImage(goals, &rect);
        button->SetHoverImage(goals, &moved);
        button->SetPushedImage(goals, &moved);
        button->SetDisabledImage(goals, &none);
    }
    button->SetArea(static_cast<int16_t>(x - rect.width / 2), static_cast<int16_t>(y - rect.height), rect.width,
                    rect.height);
    button->SetMultiClick(true);

    auto* arrow = new GUI::StaticAnim(level.name + "_auto_check");
    aAnim anim;
    uint16_t fw = 0;
    uint16_t fh = 0;
    if (arrowImage && arrowImage->getWidth() > 0) {
        // A picture narrower than one frame still makes one frame.
        const uint32_t frames = std::max<uint32_t>(1, arrowImage->getWidth() / kArrowFrameWidth);
        // Hold 1: a hold-0 end frame would wrap the arrow instead of turning it.
        anim.addGridFrames(1, arrowImage, frames, frames, 1);
        anim.setFrameTime(0.7f / static_cast<float>(frames));
        anim.setPlayFlags(aAnim::PLAY_LOOP | aAnim::PLAY_PINGPONG);
        fw = anim.getFrameWidth();
        fh = anim.getFrameHeight();
    }
    arrow->SetArea(static_cast<int16_t>((rect.width - fw) / 2 + 2), static_cast<int16_t>(-fh), fw, fh);
    arrow->SetColor(0xFFFFFFFF);
    arrow->SetAnim(anim);
    arrow->SetClipByParent(false);
    arrow->SetVisible(false);
    button->AddChild(arrow);

    button->SetClickSound("button_click");
    button->Initialize();
    if (GUI::Widget* hud = findWidget(m_server.get(), "Map_hud"))
        hud->AddChild(button);
    else if (m_server && m_server->GetRoot())
        m_server->GetRoot()->AddChild(button);
    button->SubscribeEvent(GUI::Checkbox::EventCheckChanged, new Binder(this, &cMapState::onLevelSelect));
    button->SubscribeEvent(GUI::Widget::EventDoubleClick, new Binder(this, &cMapState::onPlay));
    return button;
}

bool cMapState::onLevelSelect(const GUI::EventArgs& args)
{
    if (g_selectDepth >= 1)
        return true;
    ++g_selectDepth;
    const auto* widgetArgs = dynamic_cast<const GUI::WidgetEventArgs*>(&args);
    GUI::Widget* widget = widgetArgs ? widgetArgs->widget : nullptr;
    cMapLevel* record = nullptr;
    for (auto& level : m_levels)
        if (level->button && level->button == widget)
            record = level.get();
    if (record) {
        for (auto& level : m_levels)
            if (level->button)
                level->button->SetChecked(false);
        record->button->SetChecked(true);
        if (m_playButton)
            m_playButton->SetEnabled(record->status != MAP_LOCKED);
        if (record != m_selected) {
            cLevelTooltip::showFor(*record, record->status);
            m_selected = record;
        }
        if (m_startHighlight && !m_parkFlag)
            followPlayButton();
    }
    --g_selectDepth;
    return true;
}

void cMapState::followPlayButton()
{
    const bool enabled = m_playButton && m_playButton->IsEnabled();
    if (!enabled && !m_startStopped) {
        m_startHighlight->setPaused(true);
        m_startStopped = true;
    } else if (enabled && m_startStopped) {
        m_startHighlight->setPaused(false);
        m_startStopped = false;
    }
}

bool cMapState::onPlay(const GUI::EventArgs&)
{
    cGame* game = cGame::get();
    if (!game)
        return true;
    size_t index = m_levels.size();
    for (size_t i = 0; i < m_levels.size(); ++i) {
        const cMapLevel& level = *m_levels[i];
        if (!level.button || !level.button->IsChecked() || level.status == MAP_LOCKED)
            continue;
        index = i;
        if (level.status >= MAP_MINI_GAME) {
            const int32_t id = STATE_CATCH_ANIMAL + (level.status - MAP_MINI_GAME);
            if (cGameState* state = cGameState::find(id))
                state->setLevel(level.name);
            requestRegistered(id);
        } else {
            const std::string path = "levels:" + level.name + ".ini";
            if (!file_exists(path.c_str())) {
                a_log("cMapState. Level file \"%s\" not found, staying on the map", path.c_str());
            } else {
                if (cGameState* state = cGameState::find(STATE_PLAY))
                    state->setLevel(path);
                requestRegistered(STATE_PLAY);
            }
        }
        break;
    }
    const size_t tracks = game->getPlaylist().size();
    if (tracks > 1)
        game->playMusicTrack(static_cast<uint16_t>(index % (tracks - 1) + 1));
    return true;
}

bool cMapState::onMenu(const GUI::EventArgs&)
{
    requestRegistered(STATE_MENU);
    return true;
}

bool cMapState::onPark(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->playMusicTrack(0);
    requestRegistered(STATE_PARK);
    return true;
}

bool cMapState::onAwards(const GUI::EventArgs&)
{
    requestRegistered(STATE_AWARDS);
    return true;
}

void cMapState::update(float dt)
{
    if (!isInitiated())
        return;
    m_server->Update(dt);
    if (m_startHighlight)
        m_startHighlight->update(dt);
    if (m_awardsHighlight) {
        m_awardsHighlight->update(dt);
    } else if (const cPlayerProfile* profile = currentProfile(); profile && !profile->newAwards.empty()) {
        if (GUI::Widget* awards = findWidget(m_server.get(), "Awards")) {
            const aRect r = awards->GetAbsoluteRect();
            m_awardsHighlight = std::make_unique<cActiveButtonEffect>();
            m_awardsHighlight->initRect(r.x, r.y, r.width, r.height, 100.0f);
        }
    }
    cGame* game = cGame::get();
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (input && input->keyStates[A_KEY_ESCAPE] == A_STATE_RELEASED)
        requestRegistered(STATE_MENU);
}

void cMapState::draw()
{
    if (!isInitiated())
        return;
    cGame* game = cGame::get();
    if (m_mapImage)
        m_mapImage->drawAt(0, 0, 0xFFFFFFFF);
    m_server->Render();
    if (game && game->getParticles())
        game->getParticles()->renderAll();
    const float dt = game ? game->getFrameTime() : 0.0f;
    cLevelTooltip::drawCurrent(dt);
    cTutorialTooltip::updateAll(dt);
}

void cMapState::release()
{
    if (!isInitiated())
        return;
    m_startHighlight.reset();
    m_awardsHighlight.reset();
    cTutorialTooltip::removeAll();
    cLevelTooltip::destroy();
    m_server.reset();
    m_levels.clear();
    m_selected = nullptr;
    if (cGame* game = cGame::get())
        game->getProfiles().save();
    setInitiated(false);
}
