#include "game/screens/helpstate.h"

#include "game/app/game.h"
#include "game/app/spriteloader.h"
#include "game/app/spriteregistry.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_anim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/platform/a_keycodes.h"

namespace {

using Binder = GUI::_memberBinder<cHelpState, bool, const GUI::EventArgs&>;

const char* const kBackground = "gui:help_screen.jpg";
const char* const kSprites = "sprites:help.ini";
const char* const kAnimations[] = {
    "animals:warthog/animations/adult_idle_02_down",
    "animals:warthog/animations/adult_idle_01_down",
    "poachers:hunter/animations/hit_01_down",
};
constexpr float kAnimalScale = 1.2f;
constexpr float kRestartAfter = 1.0f;

struct Point {
    float x, y;
};
const Point kClicks[] = {{200, 144}, {512, 198}, {560, 460}, {836, 196}, {183, 480}, {838, 488}};

// Which pointer of the cursor picture stands at each place: the hunter is
// hit, the coin and the buttons are clicked, the sick warthog is healed.
struct Pointer {
    Point at;
    aRect part;
};
const Pointer kPointers[] = {
    {{838, 488}, aRect(32, 32, 32, 32)}, {{512, 198}, aRect(0, 0, 16, 22)}, {{183, 480}, aRect(0, 32, 32, 32)},
    {{560, 460}, aRect(32, 0, 32, 32)},  {{836, 196}, aRect(0, 0, 16, 22)},
};

aImageManager* screenImages()
{
    cGame* game = cGame::get();
    if (!game)
        return nullptr;
    return game->getScreenImageManager() ? game->getScreenImageManager() : game->getImageManager();
}

} // namespace

cHelpState::cHelpState() : cGameState(STATE_HELP)
{
}

cHelpState::~cHelpState()
{
    release();
    freeResources();
}

const aAdvAnim* cHelpState::getAnimation(int index) const
{
    return index >= 0 && index < ANIMATION_COUNT ? m_animations[index].get() : nullptr;
}

void cHelpState::loadResources()
{
    if (file_exists(kBackground))
        m_background = std::make_unique<aImage>(kBackground, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    cGame* game = cGame::get();
    if (!game)
        return;
    game->spriteRegistry().loadSpriteIni(kSprites, game->getImageManager());
    for (int i = 0; i < ANIMATION_COUNT; ++i) {
        if (!file_exists((std::string(kAnimations[i]) + ".ini").c_str()))
            continue;
        m_animations[i] = sprite_loadByName(screenImages(), kAnimations[i]);
        m_animations[i]->setLooping(true);
        m_animations[i]->play();
    }
    if (const cSpriteEntry* coin = game->spriteRegistry().findSprite("Coin"); coin && coin->image) {
        m_coin = std::make_unique<aAnim>();
        m_coin->addGridFrames(0, coin->image.get(), static_cast<uint32_t>(coin->totalFrames),
                              static_cast<uint32_t>(coin->hFrames), static_cast<uint32_t>(coin->vFrames));
        m_coin->setFrameTime(coin->frameTime > 0.0f ? coin->frameTime : 0.1f);
        m_coin->play();
    }
}

void cHelpState::freeResources()
{
    m_background.reset();
    for (auto& animation : m_animations)
        animation.reset();
    m_coin.reset();
    if (cGame* game = cGame::get())
        game->spriteRegistry().unloadSpriteIni(kSprites);
}

void cHelpState::init()
{
    if (isInitiated())
        return;
    cGame* game = cGame::get();
    m_timer = 0.0f;
    m_gui = std::make_unique<GUI::Server>(game ? game->getImageManager() : nullptr,
                                          game ? game->getSoundManager() : nullptr);
    m_gui->load("gui:help.agui");
    m_gui->InitializeWidgets();
    m_gui->SetMouseCursor("default");
    if (GUI::Widget* close = m_gui->GetRoot()->FindChild("CloseHelp", true))
        close->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cHelpState::onClose));
    if (aParticlesManager* particles = game ? game->getParticles() : nullptr) {
        particles->Add("PRODUCE_COIN", 512, 198, 1, true, true);
        particles->Add("SICK_01", 183, 485, 1, true, true);
        particles->Add("SICK_02", 183, 485, 1, true, true);
        // The rings go on for as long as the screen shows, whatever the definition's emitter life.
        for (const Point& p : kClicks)
            if (aParticleSystem* click = particles->Add("CLICK", p.x, p.y, 1, true, true))
                click->setCurrentLife(-1.0f);
    }
    setInitiated(true);
}

void cHelpState::release()
{
    if (!isInitiated())
        return;
    m_gui.reset();
    setInitiated(false);
}

bool cHelpState::onClose(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->requestState(STATE_MENU);
    return true;
}

void cHelpState::update(float dt)
{
    m_gui->Update(dt);
    m_timer += dt;
    for (auto& animation : m_animations) {
        if (!animation)
            continue;
        if (m_timer > kRestartAfter && (!animation->isPlaying() || animation->isFinished()))
            animation->play();
        animation->update(dt);
    }
    if (m_coin)
        m_coin->update(dt);

    cGame* game = cGame::get();
    aInputServer* input = game ? game->getInputServer() : nullptr;
    // On the release, as every screen: the menu must not see this key go up
    // and take it as its own Escape (the quit question).
    if (input && input->keyStates[A_KEY_ESCAPE] == A_STATE_RELEASED)
        game->requestState(STATE_MENU);
}

void cHelpState::drawAnimation(int index, float x, float y, bool shadow)
{
    aAdvAnim* animation = m_animations[index].get();
    if (!animation)
        return;
    if (shadow && m_shadow) {
        // Under the feet: the frames stand on a point low on their centre line.
        const float feetX = x + animation->getWidth() * kAnimalScale / 2.0f;
        const float feetY = y + animation->getHeight() * kAnimalScale * 0.82f;
        m_shadow->drawAtF(feetX - m_shadow->getWidth() / 2.0f, feetY - m_shadow->getHeight() / 2.0f, 0xA0FFFFFF);
    }
    const float scale[2] = {kAnimalScale, kAnimalScale};
    animation->draw(x, y, 0xFFFFFFFF, scale);
}

void cHelpState::findPictures()
{
    // Once: the main image manager lives for the whole run, so the pointers stay good.
    m_picturesFound = true;
    cGame* game = cGame::get();
    aImageManager* images = game ? game->getImageManager() : nullptr;
    m_cursors = images && images->hasImage("cursors") ? images->getImage("cursors") : nullptr;
    m_shadow = images && images->hasImage("shadow_poacher") ? images->getImage("shadow_poacher") : nullptr;
}

void cHelpState::draw()
{
    if (!m_picturesFound)
        findPictures();
    if (m_background)
        m_background->drawAt(0, 0);
    drawAnimation(HUNTER, 780.0f, 425.0f, true);
    drawAnimation(WARTHOG_A, 460.0f, 150.0f, true);
    if (m_coin)
        m_coin->drawFrame(800.0f, 160.0f);
    drawAnimation(WARTHOG_B, 135.0f, 430.0f, false);
    cGame* game = cGame::get();
    if (game && game->getParticles())
        game->getParticles()->renderAll();
    if (m_cursors)
        for (const Pointer& p : kPointers)
            m_cursors->drawRegionAt(static_cast<int16_t>(p.at.x), static_cast<int16_t>(p.at.y), p.part);
    m_gui->Render();
}
