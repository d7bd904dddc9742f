#include "game/screens/parkstate.h"

#include <algorithm>
#include <cmath>

#include "game/app/activebuttoneffect.h"
#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "game/app/simpletooltip.h"
#include "game/app/spriteloader.h"
#include "game/app/spriteregistry.h"
#include "game/app/tip.h"
#include "game/app/tutorialflag.h"
#include "game/park/food.h"
#include "game/screens/parkstage.h"
#include "gui/eventargs.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_localeserver.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_anim.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_format.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"
#include "orvo/util/a_string.h"
#include "orvo/util/a_stringlist.h"

namespace {

using Binder = GUI::_memberBinder<cParkState, bool, const GUI::EventArgs&>;

constexpr uint32_t kParkTipBit = 0x1000;
const char* const kParkKinds[] = {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"};
const char* const kUpgradeList = "park:upgrades.list";
constexpr float kAnimalScale = 0.7f;
const aRect kEggRect(40, 8, 25, 25);

GUI::Widget* findWidget(GUI::Server* server, const std::string& name)
{
    return server && server->GetRoot() ? server->GetRoot()->FindChild(name, true) : nullptr;
}

cPlayerProfile* currentProfile()
{
    cGame* game = cGame::get();
    return game ? game->getCurrentProfile() : nullptr;
}

// A copy of a registry sprite as an animation; null when the registry has none.
std::unique_ptr<aAnim> registryAnim(const std::string& name)
{
    cGame* game = cGame::get();
    const cSpriteEntry* entry = game ? game->spriteRegistry().findSprite(name) : nullptr;
    if (!entry || !entry->image)
        return nullptr;
    return initAnimFromSprite(entry);
}

// The sheets the park draws from the screens' image manager, keyed as their
// animation files name them: the idle pictures of every kind a park animal
// can be, and the upgrade pictures of the park's list.
std::vector<std::string> parkSheets()
{
    std::vector<std::string> bases;
    for (const char* kind : kParkKinds)
        for (const char* idle : {"adult_idle_01_down_right", "adult_idle_02_down_right"})
            bases.push_back(std::string("animals:") + kind + "/animations/" + idle);
    aStringList list;
    if (file_exists(kUpgradeList) && list.load(kUpgradeList))
        for (const std::string& line : list.lines()) {
            const std::string file = line.substr(0, line.find_first_of(" \t"));
            bases.push_back(std::string("park:") + file.substr(0, file.rfind('.')));
        }
    return bases;
}

// The park's own lists of the interface's pictures, those that exist.
std::vector<std::string> parkGuiLists()
{
    cGame* game = cGame::get();
    std::vector<std::string> lists;
    for (const std::string& path :
         {(game ? game->settings().languageFolder : std::string()) + "GUI/park.list", std::string("gui:park.list")})
        if (file_exists(path.c_str()))
            lists.push_back(path);
    return lists;
}

float idleTimer()
{
    return 1.5f + static_cast<float>(a_rand()) * 1.5f / 32767.0f;
}

bool pointerIn(const aRect& r)
{
    cGame* game = cGame::get();
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (!input)
        return false;
    int32_t x = 0;
    int32_t y = 0;
    input->getMousePos(x, y);
    return r.contains(x, y);
}

} // namespace

cParkState::cParkState() : cGameState(STATE_PARK)
{
    m_areas[0] = aRect(650, 355, 135, 5);
    m_areas[1] = aRect(660, 445, 160, 10);
    m_areas[2] = aRect(677, 550, 175, 10);
}

cParkState::~cParkState()
{
    release();
}

int32_t cParkState::getStageCost(int32_t stage)
{
    return parkConfig::stageCost(parkConfig::readUpgrades(), stage);
}

bool cParkState::hasUpgradeToBuild()
{
    return parkConfig::hasUpgradeToBuild(parkConfig::readUpgrades(), currentProfile());
}

bool cParkState::canBuyUpgrade()
{
    return parkConfig::canBuyUpgrade(parkConfig::readUpgrades(), currentProfile());
}

std::vector<std::string> cParkState::animalKinds(int32_t stage)
{
    switch (stage) {
    case 1:
        return {"warthog", "zebra", "warthog"};
    case 2:
        return {"zebra", "warthog", "rhino"};
    case 3:
        return {"rhino", "hippo", "cheetah"};
    case 4:
        return {"cheetah", "lion", "hippo"};
    default:
        return {};
    }
}

cActiveButtonEffect* cParkState::getNeedHighlight(int type) const
{
    return type >= 0 && type < parkConfig::UPGRADE_TYPES ? m_needHighlights[type].get() : nullptr;
}

void cParkState::loadResources()
{
    cGame* game = cGame::get();
    if (!game)
        return;
    // Loaded with the screens, so a stage bought here (and its animals) needs no disk read.
    if (aImageManager* screen = game->getScreenImageManager()) {
        m_sheets = parkSheets();
        for (const std::string& base : m_sheets)
            sprite_queueSheet(*screen, base);
    }
    if (aImageManager* images = game->getImageManager(); images && m_guiLists.empty()) {
        m_guiLists = parkGuiLists();
        for (const std::string& list : m_guiLists)
            images->loadList(list);
    }
    if (m_background || !file_exists(parkConfig::PARK_FILE))
        return;
    aOptionsFile file(parkConfig::PARK_FILE);
    if (file.setSection("MAIN") && file.findKey("Background")) {
        const std::string path = file.getString("Background");
        if (file_exists(path.c_str()))
            m_background = std::make_unique<aImage>(path, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    }
}

void cParkState::freeResources()
{
    cGame* game = cGame::get();
    // The screens' image manager may be gone already: only ask the one that is there.
    // What was loaded goes, whatever the files or the language say now.
    if (aImageManager* screen = game ? game->getScreenImageManager() : nullptr)
        for (const std::string& base : m_sheets)
            sprite_unloadSheet(*screen, base);
    if (aImageManager* images = game ? game->getImageManager() : nullptr)
        for (const std::string& list : m_guiLists)
            images->unloadList(list);
    m_sheets.clear();
    m_guiLists.clear();
    m_background.reset();
}

void cParkState::createGui()
{
    cGame* game = cGame::get();
    m_server = std::make_unique<GUI::Server>(game->getImageManager(), game->getSoundManager());
    m_server->load("gui:park.agui");
    m_server->InitializeWidgets();
    m_server->SetMouseCursor("default");
    if (GUI::Widget* w = findWidget(m_server.get(), "Continue"))
        w->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cParkState::onContinue));
    if (GUI::Widget* w = findWidget(m_server.get(), "Menu"))
        w->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cParkState::onMenu));
    m_moneyLabel = findWidget(m_server.get(), "StarsValue");
}

void cParkState::init()
{
    if (isInitiated()) {
        a_log("cParkState is already initiated");
        return;
    }
    if (!cGame::get())
        return;
    createGui();
    loadConfig();
    createParkAnimals();
    getMapUpgradeNeeds();

    m_idleEgg = registryAnim("ee_idle");
    if (m_idleEgg) {
        m_idleEgg->setPlayFlags(aAnim::PLAY_LOOP);
        m_idleEgg->play();
    }
    m_jumpEgg = registryAnim("ee_jump");
    if (m_jumpEgg) {
        // One jump, then the egg settles back to its idle.
        m_jumpEgg->setPlayFlags(0);
        m_jumpEgg->stop();
    }
    m_hoveredButton = nullptr;
    m_continueTimer = 0.0f;

    if (cTip::shouldShow(kParkTipBit))
        cTip::create(findWidget(m_server.get(), "Tip"), "tip.park_detail", kParkTipBit);
    setInitiated(true);
}

void cParkState::loadConfig()
{
    cGame* game = cGame::get();
    cPlayerProfile* profile = game->getCurrentProfile();
    aSoundManager* sounds = game->getSoundManager();
    const int32_t maxDone = parkConfig::maxDoneUpgrades();
    m_sections.clear();
    if (!file_exists(parkConfig::PARK_FILE)) {
        a_log("cParkState. Park file \"%s\" not found", parkConfig::PARK_FILE);
        return;
    }
    aOptionsFile file(parkConfig::PARK_FILE);
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection()) {
        const std::string section = file.getSectionName();
        if (section == "MAIN") {
            if (!m_background && file.findKey("Background")) {
                const std::string path = file.getString("Background");
                if (file_exists(path.c_str()))
                    m_background = std::make_unique<aImage>(path, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
            }
            std::vector<std::string> ambient;
            if (file.findKey("AmbientSound"))
                file.getStringList("AmbientSound", ambient);
            if (!ambient.empty() && sounds) {
                const std::string& name = ambient[static_cast<size_t>(a_rand()) % ambient.size()];
                if (sounds->hasSound(name))
                    m_ambient = sounds->getSound(name);
            }
        } else if (section == "STATIC_ANIM") {
            StaticAnim s;
            s.anim = registryAnim(file.findKey("Sprite") ? file.getString("Sprite") : "");
            if (!s.anim)
                continue;
            s.anim->setPlayFlags(aAnim::PLAY_LOOP);
            s.anim->play();
            s.x = static_cast<int16_t>(file.findKey("PosX") ? file.getInt("PosX") : 0);
            s.y = static_cast<int16_t>(file.findKey("PosY") ? file.getInt("PosY") : 0);
            s.blendMode = file.findKey("BlendMode") ? static_cast<uint32_t>(file.getInt("BlendMode")) : 0;
            if (sounds && file.findKey("Sound") && sounds->hasSound(file.getString("Sound")))
                s.sound = sounds->cloneSound(sounds->getSound(file.getString("Sound")));
            m_staticAnims.push_back(std::move(s));
        } else if (section == "UPGRADE") {
            const cUpgradeSection u = parkConfig::readUpgrade(file);
            m_sections.push_back(u);
            const int32_t built = parkConfig::builtStage(profile, u.type);
            if (u.type < 0 || u.stage < built || u.stage > built + maxDone + 1)
                continue;
            auto stage = std::make_unique<cParkStage>(u, m_sections.size() - 1);
            if (u.stage <= built + maxDone)
                stage->loadPictures(u, game->getScreenImageManager());
            stage->button = u.button.empty() ? nullptr : findWidget(m_server.get(), u.button);
            if (stage->button) {
                stage->button->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cParkState::onUpgradeClick));
                const std::wstring format = game->getText(string_format("stage_%02d", u.stage));
                stage->button->SetText(string_formatData(format, {u.cost}));
            }
            m_upgrades.push_back(std::move(stage));
        }
    }
}

cParkStage* cParkState::findUpgrade(int32_t type, int32_t stage) const
{
    for (const auto& u : m_upgrades)
        if (u->type() == type && u->stage() == stage)
            return u.get();
    return nullptr;
}

void cParkState::getMapUpgradeNeeds()
{
    for (auto& h : m_needHighlights)
        h.reset();
    const cPlayerProfile* profile = currentProfile();
    if (!profile || static_cast<int64_t>(profile->doneUpgrades) >= parkConfig::maxDoneUpgrades())
        return;
    if (!file_exists(parkConfig::MAP_FILE))
        return;
    aOptionsFile map(parkConfig::MAP_FILE);
    for (const cUpgradeNeed& need : parkConfig::mapUpgradeNeeds(map, profile)) {
        // A stage the park file does not describe cannot be pointed at.
        const cParkStage* stage = findUpgrade(need.type, need.stage);
        if (!stage || !stage->button || stage->cost() > profile->stars ||
            !parkConfig::levelCompleted(profile, stage->neededLevel()))
            continue;
        const aRect r = stage->button->GetAbsoluteRect();
        auto& h = m_needHighlights[need.type];
        h = std::make_unique<cActiveButtonEffect>();
        h->initRect(r.x + 8, r.y + 8, r.width - 16, r.height - 16, 90.0f);
    }
}

void cParkState::createParkAnimals()
{
    cGame* game = cGame::get();
    const std::vector<std::string> kinds = animalKinds(parkConfig::builtStage(currentProfile(), 0));
    aSoundManager* sounds = game->getSoundManager();
    for (size_t i = 0; i < kinds.size() && i < 3; ++i) {
        const std::string& kind = kinds[i];
        ParkAnimal a;
        const std::string base = "animals:" + kind + "/animations/";
        a.idle[0] = sprite_loadByName(game->getScreenImageManager(), base + "adult_idle_01_down_right");
        a.idle[1] = sprite_loadByName(game->getScreenImageManager(), base + "adult_idle_02_down_right");
        aRect frame;
        if (!a.idle[0] || !a.idle[0]->getCurrentFrameRect(frame))
            continue;
        a.scale = kAnimalScale;
        a.mirrored = (a_rand() & 1) == 1;
        a.currentIdle = a_rand() & 1;
        const aRect& area = m_areas[i];
        const float half = static_cast<float>(frame.width) * kAnimalScale / 2.0f;
        const float span = std::max(0.0f, static_cast<float>(area.width) - 2.0f * half);
        a.x = static_cast<float>(area.x) + half + static_cast<float>(a_rand()) * span / 32767.0f;
        a.y = static_cast<float>(area.y + (area.height > 0 ? a_rand() % area.height : 0)) + kAnimalScale * 30.0f;
        a.shadow = game->findImage("shadow_" + kind);
        a.timer = idleTimer();
        for (int s = 0; s < 2; ++s) {
            const std::string name = s == 0 ? "adult_idle_01" : "adult_idle_02";
            if (sounds && sounds->hasSound(name, kind))
                a.sounds[s] = sounds->cloneSound(sounds->getSound(name, kind));
        }
        m_animals.push_back(std::move(a));
    }
}

void cParkState::releaseParkAnimals()
{
    cGame* game = cGame::get();
    aSoundManager* sounds = game ? game->getSoundManager() : nullptr;
    for (ParkAnimal& a : m_animals)
        for (aSound*& s : a.sounds) {
            if (s && sounds)
                sounds->releaseClone(s);
            s = nullptr;
        }
    m_animals.clear();
}

void cParkState::updateParkAnimals(float dt)
{
    for (ParkAnimal& a : m_animals) {
        aAdvAnim* idle = a.idle[a.currentIdle].get();
        if (idle) {
            idle->update(dt);
            if (idle->isPlaying() && !idle->isFinished())
                continue;
        }
        a.timer -= dt;
        if (a.timer > 0.0f)
            continue;
        a.timer = idleTimer();
        a.currentIdle = a_rand() & 1;
        if (a.idle[a.currentIdle])
            a.idle[a.currentIdle]->play();
        if (aSound* s = a.sounds[a.currentIdle])
            s->play(false);
    }
}

void cParkState::updateUpgradeButton(cParkStage& stage)
{
    const cPlayerProfile* profile = currentProfile();
    const int32_t built = parkConfig::builtStage(profile, stage.type());
    cUpgrade& drawable = stage.drawable;
    if (built != stage.stage()) {
        if (!stage.button)
            return;
        if (built != stage.stage() - 1) {
            stage.button->SetVisible(false);
            return;
        }
        stage.button->SetVisible(true);
        const bool enabled = profile && stage.cost() <= profile->stars &&
                             parkConfig::levelCompleted(profile, stage.neededLevel()) &&
                             static_cast<int64_t>(profile->doneUpgrades) < parkConfig::maxDoneUpgrades();
        stage.button->SetEnabled(enabled);
        if (enabled)
            drawable.hovered = stage.button->GetHoverFade() > 0.0f;
        return;
    }
    if (stage.button)
        stage.button->SetVisible(false);
    bool previewed = false;
    for (const auto& other : m_upgrades)
        if (other.get() != &stage && other->type() == stage.type() && other->stage() > stage.stage() && other->button &&
            other->button->GetHoverFade() > 0.0f)
            previewed = true;
    drawable.hovered = !previewed;
}

void cParkState::updateHover()
{
    cGame* game = cGame::get();
    const cPlayerProfile* profile = currentProfile();
    bool overButton = false;
    for (const auto& stage : m_upgrades) {
        GUI::Widget* b = stage->button;
        if (!b || !b->IsVisible())
            continue;
        if (!pointerIn(b->GetAbsoluteRect()))
            continue;
        overButton = true;
        if (b == m_hoveredButton)
            continue;
        const aRect r = b->GetAbsoluteRect();
        const int16_t x = static_cast<int16_t>(r.x + r.width / 2);
        const int16_t y = static_cast<int16_t>(r.y + r.height / 4);
        if (!parkConfig::levelCompleted(profile, stage->neededLevel())) {
            std::wstring text =
                string_formatData(game->getText("upgrade_unavailable"), {game->getText(stage->neededLevel())});
            if (text.size() > 259)
                text.resize(259);
            cSimpleTooltip::show(x, y, text);
        } else if (const std::wstring* tip =
                       b->GetTooltip().empty() ? nullptr : game->getLocale()->getStringEx(b->GetTooltip())) {
            cSimpleTooltip::show(x, y, *tip);
        }
        m_hoveredButton = b;
    }
    if (!overButton) {
        cSimpleTooltip::hide();
        m_hoveredButton = nullptr;
    }
}

void cParkState::update(float dt)
{
    if (!isInitiated())
        return;
    m_server->Update(dt);
    cTip::updateCurrent(dt);

    bool anyEnabled = false;
    for (const auto& stage : m_upgrades) {
        updateUpgradeButton(*stage);
        if (stage->drawable.hovered || stage->drawable.glow > 0.0f) {
            stage->drawable.update(dt);
            m_drawList.push_back(&stage->drawable);
        }
        if (stage->button && stage->button->IsVisible() && stage->button->IsEnabled())
            anyEnabled = true;
    }
    updateHover();

    for (StaticAnim& s : m_staticAnims) {
        if (s.sound && !s.sound->isPlaying())
            s.sound->play(true);
        s.anim->update(dt);
    }
    updateParkAnimals(dt);
    if (m_ambient && !m_ambient->isPlaying())
        m_ambient->play(true);

    if (!anyEnabled && !m_continueHighlight) {
        m_continueTimer += dt;
        GUI::Widget* next = findWidget(m_server.get(), "Continue");
        if (m_continueTimer >= CONTINUE_DELAY && next) {
            const aRect r = next->GetAbsoluteRect();
            m_continueHighlight = std::make_unique<cActiveButtonEffect>();
            m_continueHighlight->initRect(r.x + 15, r.y + 18, r.width - 30, r.height - 36, 70.0f);
        }
    }
    if (m_continueHighlight)
        m_continueHighlight->update(dt);
    for (auto& h : m_needHighlights)
        if (h)
            h->update(dt);

    if (m_jumpEgg && m_idleEgg) {
        const bool inside = pointerIn(kEggRect);
        if (inside && m_jumpEgg->isStopped()) {
            m_jumpEgg->firstFrame();
            m_jumpEgg->play();
        } else if (!inside && !m_jumpEgg->isStopped()) {
            m_idleEgg->firstFrame();
        }
        m_idleEgg->update(dt);
        m_jumpEgg->update(dt);
    }

    cGame* game = cGame::get();
    aInputServer* input = game->getInputServer();
    if (input && input->keyStates[A_KEY_ESCAPE] == A_STATE_RELEASED && cGameState::hasClass(STATE_MAP))
        game->requestState(STATE_MAP);
}

void cParkState::fillDrawList()
{
    m_drawList.clear();
    for (const auto& stage : m_upgrades)
        if (stage->drawable.hovered || stage->drawable.glow > 0.0f)
            m_drawList.push_back(&stage->drawable);
}

void cParkState::drawParkAnimals()
{
    for (ParkAnimal& a : m_animals) {
        aAdvAnim* idle = a.idle[a.currentIdle].get();
        aRect frame;
        // The shadow is drawn whether or not the ended idle shows ("ShowStoped" in its file).
        if (!idle || !idle->getCurrentFrameRect(frame))
            continue;
        if (a.shadow && a.shadow->getHeight() > 0) {
            const float k = static_cast<float>(frame.width) * a.scale / static_cast<float>(a.shadow->getHeight());
            const float scale[2] = {k, k};
            const float sw = static_cast<float>(a.shadow->getWidth());
            const float sh = static_cast<float>(a.shadow->getHeight());
            const float rotation = (a.mirrored ? 135.0f : 45.0f) * 3.14159265f / 180.0f;
            a.shadow->drawAtF(a.x - k * sw / 2.0f, a.y - k * sh * 0.875f, 0xFFFFFFFF, scale, rotation);
        }
        // A negative scale mirrors towards the left of the point: mirrored in place, it starts one width on.
        const float width = a.scale * static_cast<float>(frame.width);
        const float scale[2] = {a.mirrored ? -a.scale : a.scale, a.scale};
        idle->draw(a.x - width / 2.0f + (a.mirrored ? width : 0.0f), a.y - a.scale * static_cast<float>(frame.height),
                   0xFFFFFFFF, scale);
    }
}

void cParkState::draw()
{
    if (!isInitiated())
        return;
    cGame* game = cGame::get();
    if (game->isPaused())
        fillDrawList();
    if (m_background)
        m_background->drawAt(0, 0, 0xFFFFFFFF);

    if (m_jumpEgg && !m_jumpEgg->isStopped() && m_jumpEgg->getFrameCount() > 0) {
        const float y = 8.0f - 10.0f * std::sin(3.14159265f * static_cast<float>(m_jumpEgg->getFrame()) /
                                                static_cast<float>(m_jumpEgg->getFrameCount()));
        m_jumpEgg->drawFrame(40.0f, y);
    } else if (m_idleEgg) {
        m_idleEgg->drawFrame(40.0f, 8.0f);
    }

    aGraphServer* graph = game->getGraphServer();
    if (graph && !m_staticAnims.empty()) {
        for (StaticAnim& s : m_staticAnims) {
            graph->setBlendMode(s.blendMode);
            s.anim->drawAt(s.x, s.y);
        }
        graph->setBlendMode(0);
    }

    for (cUpgrade* stage : m_drawList)
        stage->draw();
    m_drawList.clear();
    drawParkAnimals();

    if (m_moneyLabel)
        m_moneyLabel->SetText(game->formatMoney(game->getCurrentProfile() ? game->getCurrentProfile()->stars : 0));
    m_server->Render();
    if (game->getParticles())
        game->getParticles()->renderAll();
    cSimpleTooltip::update(game->getFrameTime());
}

bool cParkState::onUpgradeClick(const GUI::EventArgs& args)
{
    const auto* widgetArgs = dynamic_cast<const GUI::WidgetEventArgs*>(&args);
    cParkStage* stage = nullptr;
    for (const auto& u : m_upgrades)
        if (widgetArgs && u->button && u->button == widgetArgs->widget)
            stage = u.get();
    cPlayerProfile* profile = currentProfile();
    if (!stage || !profile || stage->section >= m_sections.size())
        return true;
    // Money, stage and count may have changed since the button was last enabled.
    if (!parkConfig::buy(m_sections[stage->section], profile)) {
        a_log("cParkState. Stage %d of upgrade %d cannot be bought now", stage->stage(), stage->type());
        return true;
    }
    cGame* game = cGame::get();
    const aRect r = stage->getRect();
    if (game->getParticles())
        game->getParticles()->Add("UPGRADE", r.x + r.width / 2.0f, r.y + r.height / 2.0f, 0, true, true);
    if (stage->type() == 0) {
        releaseParkAnimals();
        createParkAnimals();
    }
    getMapUpgradeNeeds();
    return true;
}

bool cParkState::onContinue(const GUI::EventArgs&)
{
    if (cGameState::hasClass(STATE_MAP))
        cGame::get()->requestState(STATE_MAP);
    return true;
}

bool cParkState::onMenu(const GUI::EventArgs&)
{
    if (cGameState::hasClass(STATE_MENU))
        cGame::get()->requestState(STATE_MENU);
    else
        a_log("cParkState. State %d is not there yet, staying in the park", STATE_MENU);
    return true;
}

void cParkState::release()
{
    if (!isInitiated())
        return;
    cGame* game = cGame::get();
    cSimpleTooltip::destroy();
    cTip::destroy();
    if (m_ambient)
        m_ambient->stop();
    m_ambient = nullptr;
    m_server.reset();
    m_moneyLabel = nullptr;
    m_hoveredButton = nullptr;
    m_continueHighlight.reset();
    for (auto& h : m_needHighlights)
        h.reset();
    m_drawList.clear();
    m_upgrades.clear();
    aSoundManager* sounds = game ? game->getSoundManager() : nullptr;
    for (StaticAnim& s : m_staticAnims)
        if (s.sound) {
            s.sound->stop();
            if (sounds)
                sounds->releaseClone(s.sound);
        }
    m_staticAnims.clear();
    releaseParkAnimals();
    m_idleEgg.reset();
    m_jumpEgg.reset();
    if (game)
        game->getProfiles().save();
    setInitiated(false);
}
