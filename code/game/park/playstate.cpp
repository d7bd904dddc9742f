#include "game/park/playstate.h"

#include <algorithm>

#include "game/app/activebuttoneffect.h"
#include "game/app/game.h"
#include "game/app/messagebox.h"
#include "game/app/optionswindow.h"
#include "game/app/playerprofile.h"
#include "game/app/simpletooltip.h"
#include "game/app/tip.h"
#include "game/app/tutorialflag.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/flyawaytext.h"
#include "game/park/food.h"
#include "game/park/goalswindow.h"
#include "game/park/helicopter.h"
#include "game/park/level.h"
#include "game/park/missionresults.h"
#include "game/park/poacher.h"
#include "game/park/tutorial.h"
#include "game/park/upgrade.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/sound/a_musicmanager.h"
#include "orvo/sound/a_sound.h"
#include "orvo/util/a_log.h"

namespace {

using Binder = GUI::_memberBinder<cPlayState, bool, const GUI::EventArgs&>;

const char* const kHudNames[] = {"Grass", "Meat", "Menu", "Money", "ShowGoals", "Sell", "Heal", "Hit"};
const char* const kAllKinds[] = {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"};

void stopMusic()
{
    cGame* game = cGame::get();
    if (game && game->getMusicManager())
        game->getMusicManager()->stop(false);
}

} // namespace

void park_registerPlayState()
{
    cGameState::setClass(STATE_PLAY, [] { return new cPlayState(); });
}

cPlayState::cPlayState() : cGameState(STATE_PLAY)
{
    animalButtons.reserve(std::size(kAllKinds));
    abilityButtons.reserve(4);
}

cPlayState::~cPlayState()
{
    release();
}

cPlayState* cPlayState::find()
{
    return dynamic_cast<cPlayState*>(cGameState::find(STATE_PLAY));
}

bool cPlayState::startLoading()
{
    cGame* game = cGame::get();
    if (!game || !file_exists(levelPath.c_str()))
        return false;
    aOptionsFile file(levelPath.c_str());
    if (!file.setSection("DATA"))
        return false;
    std::vector<std::string> names;
    if (file.findKey("AvailableAnimals"))
        file.getStringList("AvailableAnimals", names);
    else
        names.assign(std::begin(kAllKinds), std::end(kAllKinds));
    std::vector<std::string> starting;
    if (file.setSection("CONDITIONS") && file.findKey("Animals"))
        file.getStringList("Animals", starting);
    names.insert(names.end(), starting.begin(), starting.end());
    for (const std::string& name : names)
        if (!name.empty())
            game->registerAnimalKind(name, 0xFFFF);
    game->startLevelLoading();
    return true;
}

void cPlayState::init()
{
    if (isInitiated())
        a_log("cPlayState is already initiated");
    cGame* game = cGame::get();
    clickWait = healWait = 0.0f;
    portions = 0;
    portionsPaid.clear();
    foodCursorOff = foodBlocked = false;
    if (game && game->getMusicManager()) {
        std::string list;
        const std::string track = game->getMusicManager()->getCurrentName(list);
        if (!track.empty())
            game->getMusicManager()->play(track, list);
    }
    createGui();
    grassStage = meatStage = 0;
    if (!loadLevel()) {
        // NOTE: a level that cannot be played tells the player and goes back
        // to the map instead of leaving a blank screen; leaving frees the GUI.
        a_log("cPlayState. The level \"%s\" did not load", levelPath.c_str());
        m_loadFailed = true;
        // A restart into a level that no longer loads is not tried again.
        restartPending = false;
        setInitiated(true);
        return;
    }
    if (GUI::Widget* front = gui->GetRoot()->FindChild("grass_front", true))
        front->BringToFront();
    cPlayerProfile* profile = game ? game->getCurrentProfile() : nullptr;
    if (profile && profile->getLevelReward(level->name) > 0)
        level->miniGameType = -1;

    const int32_t foodUpgrades = profile ? profile->getUpgradeStage(2) : 0;
    grassUpgradeOn = level->herbivoresArea.width && level->herbivoresArea.height && foodUpgrades >= 1;
    meatUpgradeOn = level->predatorsArea.width && level->predatorsArea.height && foodUpgrades >= 1;
    grassUpgradeButton = hudRoot ? hudRoot->FindChild("Grass_upgrade", true) : nullptr;
    meatUpgradeButton = hudRoot ? hudRoot->FindChild("Meat_upgrade", true) : nullptr;
    for (auto [button, on] :
         {std::pair{grassUpgradeButton, grassUpgradeOn}, std::pair{meatUpgradeButton, meatUpgradeOn}}) {
        if (!button)
            continue;
        button->SetVisible(on);
        if (on) {
            button->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cPlayState::buyIngameUpgrade));
            button->SubscribeEvent(GUI::Widget::EventMouseEnter, new Binder(this, &cPlayState::onUpgradeButtonEnter));
            button->SubscribeEvent(GUI::Widget::EventMouseLeave, new Binder(this, &cPlayState::onUpgradeButtonLeave));
        }
    }
    for (int32_t type = 0; type < 2; ++type) {
        GUI::Widget* button = type == 0 ? grassButton : meatButton;
        const aRect& area = level->area(type);
        if (!button)
            continue;
        const bool on = area.width && area.height;
        button->SetEnabled(on);
        const cFood* kind = cFood::findKind(type, 1);
        if (on && kind && game)
            button->SetText(game->formatMoney(kind->cost));
    }
    if (hitButton)
        hitButton->SetEnabled(level->wavesLeft > 0);
    cUpgrade::resetCooldowns();

    GUI::Widget* goals = gui->GetRoot()->FindChild("Goals", true);
    goalsWindow = goals ? new cGoalsWindow(goals, level) : nullptr;
    introTimer = 0.0f;
    goalsDoneMask = 0;
    // Opened over the in-game menu, which holds the level while both show.
    optionsWindow = new cOptionsWindow();
    optionsWindow->create();
    // The helicopter's sheets stay in the game's image manager once read.
    aImageManager* images = game ? game->getImageManager() : nullptr;
    if (images && !images->hasImage("helo_appear"))
        cHelicopter::loadSprites();
    helicopter = new cHelicopter(gui->GetRoot());
    helicopter->level = level;
    restartPending = false;
    setInitiated(true);
    setMoney(level->money);
}

void cPlayState::createGui()
{
    cGame* game = cGame::get();
    rewardOnWin = true;
    m_endTold = 0;
    // NOTE: a HUD button hovered when the last level ended never sent its
    // leave; the new GUI starts with the pointer over nothing.
    overHud = false;
    animalButtons.clear();
    abilityButtons.clear();
    gui = new GUI::Server(game ? game->getImageManager() : nullptr, game ? game->getSoundManager() : nullptr);
    gui->load("gui:play.agui");
    gui->InitializeWidgets();
    gui->SetMouseCursor("default");
    hudFont = gui->GetFont("arial14");
    GUI::Widget* root = gui->GetRoot();
    hudRoot = root->FindChild("HUD", true);
    GUI::Widget** slots[] = {&grassButton, &meatButton, &menuButton, &moneyLabel,
                             &goalsButton, &sellButton, &healButton, &hitButton};
    for (size_t i = 0; i < std::size(kHudNames); ++i) {
        GUI::Widget* widget = hudRoot ? hudRoot->FindChild(kHudNames[i], true) : nullptr;
        *slots[i] = widget;
        if (widget)
            bindHud(widget);
    }
    ingameMenu = root->FindChild("IngameMenu", true);
    if (ingameMenu)
        ingameMenu->SetVisible(false);
    menuShown = false;
    bindMenuButton("Close", &cPlayState::onMenuClose);
    bindMenuButton("Restart", &cPlayState::askRestart);
    bindMenuButton("Options", &cPlayState::onMenuOptions);
    bindMenuButton("Map", &cPlayState::askAbort);
    bindMenuButton("MainMenu", &cPlayState::askQuit);
    bindMenuButton("Quit", &cPlayState::onMenuQuit);
    for (int32_t i = 0; i < 4; ++i)
        addAbilityButton(i);
}

void cPlayState::bindHud(GUI::Widget* widget)
{
    if (std::string(widget->GetType()) == "ImageButton")
        widget->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cPlayState::onHudButton));
    widget->SubscribeEvent(GUI::Widget::EventMouseEnter, new Binder(this, &cPlayState::onHudButtonEnter));
    widget->SubscribeEvent(GUI::Widget::EventMouseLeave, new Binder(this, &cPlayState::onHudButtonLeave));
}

void cPlayState::bindMenuButton(const char* name, bool (cPlayState::*handler)(const GUI::EventArgs&))
{
    GUI::Widget* button = ingameMenu ? ingameMenu->FindChild(name, true) : nullptr;
    if (button)
        button->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, handler));
}

bool cPlayState::loadLevel()
{
    elapsed = 0.0f;
    level = new cLevel(levelPath, firstStart);
    if (!level->loaded) {
        level->release();
        delete level;
        level = nullptr;
        return false;
    }
    for (cAnimalKind* kind : level->buyableKinds)
        addAnimalButton(kind->name);
    if (level->tutorialType >= 0)
        tutorial = new cTutorial(level->tutorialType, level);
    return true;
}

void cPlayState::update(float dt)
{
    cGame* game = cGame::get();
    if (restartPending) {
        firstStart = false;
        if (game)
            game->restartState();
        return;
    }
    if (!gui)
        return;
    if (!level) {
        if (m_loadFailed && game) {
            m_loadFailed = false;
            if (!cMessageBox::show(game->getText("caption_warning"), game->getText("level_load_failed"), 17,
                                   &cGame::requestMapState, nullptr))
                game->requestState(STATE_MAP);
        }
        gui->Update(dt);
        return;
    }
    if (getModalCount() <= 0) {
        onLevelEnd();
        level->frameStep(dt);
        cUpgrade::updateCooldowns(dt);
        if (helicopter)
            helicopter->update(dt);
        // NOTE: the park reads the mouse before the GUI's frame step; the
        // HUD's enter and leave must first follow a pointer that jumped.
        gui->RefreshHover();
        if (!overHud && introTimer >= kIntroSeconds) {
            handleParkInput();
            updateCursor();
        }
        elapsed += dt;
        if (introTimer < kIntroSeconds) {
            introTimer += dt;
            if (introTimer >= kIntroSeconds && goalsWindow)
                goalsWindow->show(0.0f, false, true);
        }
        clickWait = std::max(0.0f, clickWait - dt);
        healWait = std::max(0.0f, healWait - dt);
        if (sellHighlight)
            sellHighlight->update(dt);
    } else {
        gui->SetMouseCursor("default");
        level->frameStep(0.0f);
        if (helicopter && !helicopter->inactive && helicopter->rotorSound)
            helicopter->rotorSound->pause(true);
        if (goalsWindow && goalsWindow->isVisible())
            goalsWindow->update(dt);
        if (cMissionResults* results = cMissionResults::get())
            results->update(dt);
        // The Options window lies over the menu (layout order) and takes the
        // pointer first, so the menu cannot close while it shows.
        if (ingameMenu && ingameMenu->IsVisible()) {
            fadeIngameMenu(dt);
            if (optionsWindow)
                optionsWindow->update(dt);
        }
    }
    if (tutorial && !cMessageBox::isShown() && !(ingameMenu && ingameMenu->IsVisible())) {
        tutorial->update(dt);
        if (!tutorial_isRunning()) {
            delete tutorial;
            tutorial = nullptr;
        }
    }
    if (!gui)
        return;
    gui->Update(dt);
    cTip::updateCurrent(dt);
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (input && input->keyStates[A_KEY_ESCAPE] == A_STATE_RELEASED)
        onEscape(cMessageBox::isShown());
}

void cPlayState::onLevelEnd()
{
    if (level->state != 1 && level->state != -1) {
        updateHudButtons();
        return;
    }
    // NOTE: the goals window or the loss box, modal, keeps this from running
    // again; a layout without them must still tell the end once, not every frame.
    if (level->state == m_endTold)
        return;
    m_endTold = level->state;
    cGame* game = cGame::get();
    stopMusic();
    level->stopSounds();
    if (level->state == 1) {
        if (game)
            game->playSound("win_level");
        if (goalsWindow)
            goalsWindow->show(elapsed, true, false);
        if (rewardOnWin) {
            grantLevelReward();
            rewardOnWin = false;
        }
    } else if (game) {
        game->playSound("loose_level");
        if (!cMessageBox::show(game->getText("caption_loose"), game->getText("level_loose"), 18,
                               &cPlayState::requestRestart, &cGame::requestMapState))
            a_log("cPlayState. The lost level's message box cannot be shown; the menu is left");
    }
}

void cPlayState::requestRestart()
{
    if (cPlayState* state = find())
        state->restartPending = true;
}

void cPlayState::openIngameMenu()
{
    if (!ingameMenu)
        return;
    // NOTE: only a menu that was hidden raises the count; a menu still
    // fading out is simply turned round, so the count stays balanced.
    if (!ingameMenu->IsVisible()) {
        addModal();
        ingameMenu->SetAlpha(0.0f);
        ingameMenu->SetVisible(true);
    }
    menuShown = true;
}

void cPlayState::onEscape(bool boxVisible)
{
    if (goalsWindow && goalsWindow->isVisible()) {
        goalsWindow->close();
        return;
    }
    if (optionsWindow && optionsWindow->isOpen()) {
        optionsWindow->onCancel(GUI::EventArgs());
        return;
    }
    if (boxVisible || !ingameMenu)
        return;
    if (!ingameMenu->IsVisible() && getModalCount() <= 0)
        openIngameMenu();
    else if (menuShown)
        menuShown = false;
}

void cPlayState::fadeIngameMenu(float dt)
{
    float a = ingameMenu->GetAlpha();
    if (!menuShown) {
        a -= 4.0f * dt;
        if (a < 0.0f) {
            removeModal();
            ingameMenu->SetVisible(false);
            a = 0.0f;
        }
    } else if (a < 1.0f) {
        a = std::min(1.0f, a + 4.0f * dt);
    }
    ingameMenu->SetAlpha(a);
}

bool cPlayState::onMenuClose(const GUI::EventArgs&)
{
    menuShown = false;
    return true;
}

bool cPlayState::askRestart(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        cMessageBox::show(game->getText("caption_restart"), game->getText("restart_request"), 6,
                          &cPlayState::requestRestart, nullptr);
    return true;
}

bool cPlayState::onMenuOptions(const GUI::EventArgs&)
{
    if (optionsWindow)
        optionsWindow->open();
    return true;
}

bool cPlayState::askAbort(const GUI::EventArgs&)
{
    cGame* game = cGame::get();
    if (game && cMessageBox::show(game->getText("caption_warning"), game->getText("abort_mission"), 6,
                                  &cGame::requestMapState, nullptr)) {
        cMessageBox::setChildText("YesBtn", game->getText("abort"));
        cMessageBox::setChildText("NoBtn", game->getText("back"));
    }
    return true;
}

bool cPlayState::askQuit(const GUI::EventArgs&)
{
    cGame* game = cGame::get();
    if (game && cMessageBox::show(game->getText("caption_quit"), game->getText("quit_to_menu"), 6,
                                  &cGame::requestMenuState, nullptr)) {
        cMessageBox::setChildText("YesBtn", game->getText("exit"));
        cMessageBox::setChildText("NoBtn", game->getText("back"));
    }
    return true;
}

bool cPlayState::onMenuQuit(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->askQuit();
    return true;
}

void cPlayState::draw()
{
    cGame* game = cGame::get();
    if (!gui || !game)
        return;
    if (!level) {
        gui->Render();
        return;
    }
    if (game->isPaused())
        level->frameStep(0.0f);
    level->draw();
    if (helicopter)
        helicopter->draw();
    aParticlesManager* particles = game->getParticles();
    if (particles)
        particles->renderLayers(0);
    gui->Render();
    drawFoodUpgradePips();
    if (particles)
        particles->renderLayers(1);
    if (getModalCount() <= 0) {
        level->drawOverlays();
        if ((cursorMode == MODE_GRASS || cursorMode == MODE_MEAT) && !foodCursorOff && !foodBlocked && hudFont &&
            game->getInputServer()) {
            int32_t x = 0, y = 0;
            game->getInputServer()->getMousePos(x, y);
            const std::wstring count = L"x" + std::to_wstring(portions);
            hudFont->setSize(0.9f);
            hudFont->color = 0xFF000000;
            hudFont->drawText(static_cast<float>(x + 35), static_cast<float>(y + 27), count);
            hudFont->color = cursorMode == MODE_GRASS ? 0xFF00CA6D : 0xFFFF5050;
            hudFont->drawText(static_cast<float>(x + 34), static_cast<float>(y + 25), count);
        }
    }
    updateHud();
    drawAnimalButtons();
    const cPlayerProfile* profile = game->getCurrentProfile();
    const cFood* healKind = cFood::findKind(cFood::MEDICINE, (profile ? profile->getUpgradeStage(1) : 0) + 1);
    if (healWait > 0.0f && level->animalsSickPossibility > 0 && healButton && healKind && healKind->cooldown > 0.0f) {
        const aRect r = healButton->GetAbsoluteRect();
        drawCooldown(r.x + r.width * 0.5f, r.y + r.height * 0.5f, healWait / healKind->cooldown);
    }
    const bool boxVisible = cMessageBox::isShown();
    if (!(ingameMenu && ingameMenu->IsVisible()) && !boxVisible && !(goalsWindow && goalsWindow->isVisible())) {
        cTutorialTooltip::updateAll(game->getFrameTime());
        cSimpleTooltip::update(game->getFrameTime());
    }
    cFlyAwayText::updateAll(game->getFrameTime());
}

void cPlayState::release()
{
    if (!isInitiated())
        return;
    cGame* game = cGame::get();
    cTip::destroy();
    cSimpleTooltip::destroy();
    cTutorialTooltip::removeAll();
    cFlyAwayText::clearAll();
    hudFont = nullptr;
    sellHighlight.reset();
    delete helicopter;
    helicopter = nullptr;
    if (level) {
        level->release();
        delete level;
        level = nullptr;
    }
    if (tutorial) {
        tutorial_setRunning(false);
        if (game)
            game->loadGameConfig("data:game.ini");
        delete tutorial;
        tutorial = nullptr;
    }
    cMissionResults::destroy();
    delete goalsWindow;
    goalsWindow = nullptr;
    delete optionsWindow;
    optionsWindow = nullptr;
    cMessageBox::forgetWindow();
    delete gui;
    gui = nullptr;
    hudRoot = grassButton = meatButton = moneyLabel = sellButton = healButton = hitButton = nullptr;
    menuButton = goalsButton = ingameMenu = grassUpgradeButton = meatUpgradeButton = nullptr;
    animalButtons.clear();
    abilityButtons.clear();
    aParticlesManager* particles = game ? game->getParticles() : nullptr;
    for (auto& [widget, effect] : signEffects)
        if (particles && effect)
            particles->remove(effect);
    signEffects.clear();
    cursorMode = MODE_NONE;
    m_loadFailed = false;
    m_moneyCentre.reset();
    m_grassCentre.reset();
    if (game)
        game->getProfiles().save();
    if (!restartPending)
        firstStart = true;
    setInitiated(false);
}
