#include "game/screens/menustate.h"

#include <cmath>

#include "game/app/game.h"
#include "game/app/messagebox.h"
#include "game/app/optionswindow.h"
#include "game/app/playerprofile.h"
#include "game/app/profilewindow.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_theoravideo.h"
#include "orvo/util/a_format.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_math.h"
#include "orvo/util/a_random.h"
#include "orvo/util/a_string.h"

namespace {

constexpr float kStripWidth = 1024.0f;
constexpr float kCloudScale = 2.0f;
constexpr float kExtrasFadeSpeed = 5.0f;
constexpr float kTitleZoomSpeed = 0.5f;

const char* const kSky = "gui:menu_sky.jpg";
const char* const kRock = "gui:menu_rock.png";
const char* const kClouds01 = "gui:menu_clouds01.png";
const char* const kClouds02 = "gui:menu_clouds02.png";
const char* const kSkyVideo = "sprites:menu_sky.ogv";
const char* const kWarthog = "sprites:menu_warthog.ini";
const char* const kCar = "sprites:menu_car.ini";
const char* const kScreenList = "sprites:main_menu.list";

using Binder = GUI::_memberBinder<cMenuState, bool, const GUI::EventArgs&>;

std::string languageFile(const char* name)
{
    const cGame* game = cGame::get();
    return game ? game->settings().languageFolder + name : std::string(name);
}

// A picture the menu can do without: null when the file is not there.
std::unique_ptr<aImage> optionalImage(const std::string& path)
{
    if (!file_exists(path.c_str()))
        return nullptr;
    return std::make_unique<aImage>(path, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
}

} // namespace

cMenuState::cMenuState() : cGameState(STATE_MENU) {}

cMenuState::~cMenuState()
{
    release();
    freeResources();
}

void cMenuState::loadResources()
{
    cGame* game = cGame::get();
    if (!game)
        return;
    if (aImageManager* images = game->getImageManager(); images && !m_listLoaded) {
        images->loadList(languageFile("GUI/main_menu.list"));
        m_listLoaded = true;
    }
    m_sky = optionalImage(kSky);
    m_rock = optionalImage(kRock);
    m_title = optionalImage(languageFile("GUI/menu_title.png"));
    m_clouds01 = optionalImage(kClouds01);
    m_clouds02 = optionalImage(kClouds02);
    // (picture, row, height, speed) of layers 0 to 3.
    const struct {
        aImage* image;
        int16_t top, height;
        float speed;
    } strips[4] = {{m_clouds01.get(), 0, 85, 20.0f},
                   {m_clouds01.get(), 85, 90, 10.0f},
                   {m_clouds02.get(), 0, 127, 5.0f},
                   {m_clouds01.get(), 175, 43, 1.0f}};
    for (size_t i = 0; i < m_clouds.size(); ++i)
        m_clouds[i] = CloudLayer{strips[i].image, strips[i].top, strips[i].height, 0.0f, strips[i].speed};
    if (aImageManager* screenImages = game->getScreenImageManager())
        screenImages->AddListToTask(kScreenList);
    if (file_exists(kSkyVideo)) {
        m_skyVideo = std::make_unique<aTheoraVideo>();
        if (!m_skyVideo->open(kSkyVideo, true))
            m_skyVideo.reset();
    }
}

void cMenuState::freeResources()
{
    if (cGame* game = cGame::get(); game && m_listLoaded)
        if (aImageManager* images = game->getImageManager())
            images->unloadList(languageFile("GUI/main_menu.list"));
    m_listLoaded = false;
    for (CloudLayer& layer : m_clouds)
        layer = CloudLayer{};
    m_sky.reset();
    m_rock.reset();
    m_title.reset();
    m_clouds01.reset();
    m_clouds02.reset();
    m_skyVideo.reset();
}

void cMenuState::init()
{
    if (isInitiated()) {
        a_log("cMenuState is already initiated");
        return;
    }
    cGame* game = cGame::get();
    m_extrasOpen = false;
    m_server = std::make_unique<GUI::Server>(game ? game->getImageManager() : nullptr,
                                             game ? game->getSoundManager() : nullptr);
    m_server->load(languageFile("GUI/menu.agui"));
    m_server->InitializeWidgets();
    m_server->SetMouseCursor("default");
    GUI::Widget* root = m_server->GetRoot();
    m_welcomeText = root->FindChild("WelcomeText", true);
    m_extrasMenu = root->FindChild("ExtrasMenu", true);
    bindButtons();

    m_profileWindow = std::make_unique<cProfileWindow>();
    m_profileWindow->create(root);
    m_optionsWindow = std::make_unique<cOptionsWindow>();
    m_optionsWindow->create();

    m_warthog = std::make_unique<aAdvAnim>();
    if (!m_warthog->Load(kWarthog, game ? game->getScreenImageManager() : nullptr))
        m_warthog.reset();
    else
        m_warthog->play();
    m_warthogTimer = 1.0f + a_randFloat(0.0f, 1.0f);

    if (aParticlesManager* particles = game ? game->getParticles() : nullptr) {
        particles->Add("FIREFLY", 100.0f, 530.0f, 0, true, true);
        particles->Add("FIREFLY", 480.0f, 480.0f, 0, true, true);
    }
    if (file_exists(kCar)) {
        m_car = std::make_unique<aAdvAnim>();
        if (m_car->Load(kCar, game ? game->getScreenImageManager() : nullptr))
            m_car->play();
        else
            m_car.reset();
    }
    setInitiated(true);
}

void cMenuState::bindButtons()
{
    GUI::Widget* root = m_server->GetRoot();
    const struct {
        GUI::Widget* parent;
        const char* name;
        bool (cMenuState::*handler)(const GUI::EventArgs&);
    } buttons[] = {
        {root, "Play", &cMenuState::onPlay},
        {root, "Help", &cMenuState::onHelp},
        {root, "Pedia", &cMenuState::onPedia},
        {root, "Extras", &cMenuState::onExtras},
        {root, "Options", &cMenuState::onOptions},
        {root, "Credits", &cMenuState::onCredits},
        {root, "Awards", &cMenuState::onAwards},
        {root, "Profiles", &cMenuState::onProfiles},
        {root, "Quit", &cMenuState::onQuit},
        // The players' window has a "Close" too: the sub-menu's own is meant.
        {m_extrasMenu, "Close", &cMenuState::onCloseExtras},
    };
    for (const auto& b : buttons) {
        GUI::Widget* button = b.parent ? b.parent->FindChild(b.name, true) : nullptr;
        if (button)
            button->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, b.handler));
        else
            a_log("cMenuState. The menu layout has no button \"%s\"", b.name);
    }
}

void cMenuState::release()
{
    if (!isInitiated())
        return;
    m_titleScale = 1.0f;
    m_warthog.reset();
    m_car.reset();
    m_welcomeText = nullptr;
    m_extrasMenu = nullptr;
    m_profileWindow.reset();
    m_optionsWindow.reset();
    m_server.reset();
    setInitiated(false);
}

void cMenuState::update(float dt)
{
    cGame* game = cGame::get();
    if (game)
        tellOfPlayersFile(*game);
    // The name dialog waits for the notice: it takes the keyboard when it opens.
    if (game && !game->getCurrentProfile() && m_profileWindow && !m_profileWindow->isNewPlayerOpening() &&
        !cMessageBox::isShown())
        m_profileWindow->openNewPlayer();

    if (m_warthog) {
        if (!m_warthog->isPlaying() || m_warthog->isFinished()) {
            m_warthogTimer -= dt;
            if (m_warthogTimer < 0.0f) {
                m_warthogTimer = 2.0f + a_randFloat(0.0f, 1.0f);
                m_warthog->setFrame(0);
                m_warthog->play();
            }
        }
        m_warthog->update(dt);
    }

    m_server->Update(dt);
    m_profileWindow->update(dt);
    m_optionsWindow->update(dt);

    if (m_titleScale < 1.0f && getModalCount() == 0)
        m_titleScale = std::min(1.0f, m_titleScale + dt * kTitleZoomSpeed);
    if (m_skyVideo)
        m_skyVideo->update(dt);
    if (m_car)
        m_car->update(dt);
    updateExtras(dt);
    handleEscape();
}

void cMenuState::tellOfPlayersFile(cGame& game)
{
    cProfiles& profiles = game.getProfiles();
    std::string file = profiles.takeSetAsideCopy();
    const char* text = "profiles_set_aside";
    if (file.empty()) {
        file = profiles.takeUnsavedFile();
        text = "profiles_not_saved";
    }
    if (file.empty())
        return;
    const std::wstring fileName = string_utf8ToWide(file.substr(file.find_last_of('/') + 1));
    cMessageBox::show(game.getText("caption_warning"), string_formatData(game.getText(text), {fileName}),
                      cMessageBox::MB_OK | cMessageBox::MB_WARNING, nullptr, nullptr);
}

void cMenuState::updateExtras(float dt)
{
    if (!m_extrasMenu)
        return;
    const float alpha = m_extrasMenu->GetAlpha(true);
    if (m_extrasOpen && alpha < 1.0f) {
        m_extrasMenu->SetAlpha(std::min(1.0f, alpha + kExtrasFadeSpeed * dt));
    } else if (!m_extrasOpen && alpha > 0.0f) {
        const float next = alpha - kExtrasFadeSpeed * dt;
        m_extrasMenu->SetAlpha(std::max(0.0f, next));
        if (next <= 0.0f)
            m_extrasMenu->SetVisible(false);
    }
}

void cMenuState::handleEscape()
{
    const cGame* game = cGame::get();
    const aInputServer* input = game ? game->getInputServer() : nullptr;
    if (!input || input->keyStates[A_KEY_ESCAPE] != A_STATE_RELEASED)
        return;
    const GUI::EventArgs none;
    if (cMessageBox::isShown())
        cMessageBox::cancel();
    else if (m_optionsWindow->isOpening())
        m_optionsWindow->onCancel(none);
    else if (m_profileWindow->isNewPlayerOpening())
        m_profileWindow->onNewPlayerCancel(none);
    else if (m_profileWindow->isListOpening())
        m_profileWindow->onClose(none);
    else if (m_extrasOpen)
        m_extrasOpen = false;
    else if (cGame* g = cGame::get())
        g->askQuit();
}

bool cMenuState::onPlay(const GUI::EventArgs&)
{
    cGame* game = cGame::get();
    if (!game)
        return true;
    const cPlayerProfile* profile = game->getCurrentProfile();
    if (profile && profile->hasLevel(TUTORIAL_LEVEL)) {
        game->requestState(STATE_MAP);
        return true;
    }
    if (cGameState* play = cGameState::find(STATE_PLAY))
        play->setLevel("levels:Level00.ini");
    game->requestState(STATE_PLAY);
    if (game->getPlaylist().size() > 1)
        game->playMusicTrack(1);
    return true;
}

bool cMenuState::onHelp(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->requestState(STATE_HELP);
    return true;
}

bool cMenuState::onPedia(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->requestState(STATE_PEDIA);
    return true;
}

bool cMenuState::onExtras(const GUI::EventArgs&)
{
    m_extrasOpen = true;
    if (m_extrasMenu) {
        m_extrasMenu->SetVisible(true);
        m_extrasMenu->SetAlpha(0.0f);
    }
    return true;
}

bool cMenuState::onOptions(const GUI::EventArgs&)
{
    m_optionsWindow->open();
    return true;
}

bool cMenuState::onCredits(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->requestState(STATE_CREDITS);
    return true;
}

bool cMenuState::onAwards(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->requestState(STATE_AWARDS);
    return true;
}

bool cMenuState::onProfiles(const GUI::EventArgs&)
{
    // The players' list; its New button asks for a name.
    m_profileWindow->open();
    return true;
}

bool cMenuState::onQuit(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->askQuit();
    return true;
}

bool cMenuState::onCloseExtras(const GUI::EventArgs&)
{
    m_extrasOpen = false;
    return true;
}

void cMenuState::draw()
{
    if (m_sky) {
        const float scale[2] = {4.0f, 4.0f};
        m_sky->drawAtF(0.0f, 0.0f, 0xFFFFFFFF, scale);
    }
    if (m_skyVideo)
        m_skyVideo->draw(0.0f, 0.0f);
    drawClouds();
    if (m_rock)
        m_rock->drawAtF(0.0f, 768.0f - m_rock->getHeight());
    if (m_car)
        m_car->draw(0.0f, 0.0f);
    if (m_warthog)
        m_warthog->draw(607.0f, 305.0f);
    if (const cGame* game = cGame::get())
        if (aParticlesManager* particles = game->getParticles())
            particles->renderAll();
    drawTitle();
    m_server->Render();
    const cGame* game = cGame::get();
    if (m_welcomeText && game && game->getCurrentProfile())
        m_welcomeText->SetPlainText(game->getCurrentProfile()->getName());
}

void cMenuState::drawClouds()
{
    const cGame* game = cGame::get();
    const float dt = game && getModalCount() == 0 ? game->getFrameTime() : 0.0f;
    static constexpr int kOrder[4] = {3, 2, 1, 0};
    static constexpr float kRows[4] = {0.0f, 40.0f, 50.0f, 240.0f};
    const float span = kCloudScale * kStripWidth;
    const float scale[2] = {kCloudScale, kCloudScale};
    for (int index : kOrder) {
        CloudLayer& layer = m_clouds[static_cast<size_t>(index)];
        layer.x -= layer.speed * dt;
        while (layer.x + span < 0.0f)
            layer.x += span;
        if (!layer.image)
            continue;
        const aRect strip(0, layer.top, static_cast<int16_t>(kStripWidth), layer.height);
        for (float x = layer.x; x < 1024.0f; x += span) {
            const float position[2] = {x, kRows[index]};
            layer.image->draw(position, strip, 0xFFFFFFFF, scale);
        }
    }
}

void cMenuState::drawTitle()
{
    const float s = m_titleScale;
    if (!m_title || s <= 0.0f)
        return;
    const float w = m_title->getWidth();
    const float h = m_title->getHeight();
    const float scale[2] = {s, s};
    const uint32_t alpha = static_cast<uint32_t>(aMath::round(s * 255.0f));
    m_title->drawAtF((w - s * w) / 2.0f + 180.0f, (h - s * h) / 2.0f + 14.0f, alpha << 24 | 0x00FFFFFF, scale);
}
