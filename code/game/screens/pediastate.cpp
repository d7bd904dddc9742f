#include "game/screens/pediastate.h"

#include <algorithm>

#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "game/app/spriteloader.h"
#include "gui/buttonbase.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/util/a_random.h"

namespace {

using Binder = GUI::_memberBinder<cPediaState, bool, const GUI::EventArgs&>;

const char* const kScreenImage = "gui:pedia_screen.jpg";
const char* const kPageList = "gui:pedia.list";
const char* const kPages[cPediaState::PAGE_COUNT] = {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion", "rusty"};
const char* const kPageBackgrounds[cPediaState::PAGE_COUNT] = {
    "pedia_back01", "pedia_back03", "pedia_back00", "pedia_back03", "pedia_back01", "pedia_back00", "pedia_back04"};
// The level that opens each further page, in page order.
const char* const kOpeningLevels[] = {"Level02", "Level07", "Level09", "Level14", "Level17"};

constexpr float kAnimalScale = 1.4f;
constexpr float kGroundX = 512.0f;
constexpr float kGroundY = 370.0f;
constexpr float kShadowTurn = 0.7853982f;

float randomPause()
{
    return a_randFloat(1.5f, 2.0f);
}

aImageManager* screenImages()
{
    cGame* game = cGame::get();
    if (!game)
        return nullptr;
    return game->getScreenImageManager() ? game->getScreenImageManager() : game->getImageManager();
}

} // namespace

uint16_t cPediaState::openPagesFor(const cPlayerProfile* profile)
{
    if (!profile)
        return 1;
    for (int i = 4; i >= 0; --i)
        if (profile->hasLevel(kOpeningLevels[i]))
            return static_cast<uint16_t>(i + 2);
    return 1;
}

cPediaState::cPediaState() : cGameState(STATE_PEDIA)
{
}

cPediaState::~cPediaState()
{
    release();
    freeResources();
}

void cPediaState::loadResources()
{
    if (aImageManager* images = screenImages())
        images->loadList(kPageList);
    if (file_exists(kScreenImage))
        m_screenImage = std::make_unique<aImage>(kScreenImage, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
}

void cPediaState::freeResources()
{
    // The screens' image manager may be gone already: only ask the one that is there.
    if (cGame* game = cGame::get(); game && game->getScreenImageManager())
        game->getScreenImageManager()->unloadList(kPageList);
    m_pageBackground = nullptr;
    m_screenImage.reset();
}

bool cPediaState::hasPageAnimal(uint16_t page) const
{
    return page < ANIMAL_PAGES && m_animals[page].idle[0] && m_animals[page].idle[1];
}

const aAdvAnim* cPediaState::getShownIdle() const
{
    return hasPageAnimal(m_shownPage) ? m_animals[m_shownPage].idle[m_animals[m_shownPage].current].get() : nullptr;
}

float cPediaState::getTextAlpha() const
{
    return m_descText ? m_descText->GetAlpha(true) : 0.0f;
}

void cPediaState::init()
{
    if (isInitiated())
        return;
    cGame* game = cGame::get();
    m_openPages = openPagesFor(game ? game->getCurrentProfile() : nullptr);
    m_selectedPage = 0;
    // Not the selected page, so the first frames fade the texts of page 0 in.
    m_shownPage = std::min<uint16_t>(m_openPages, ANIMAL_PAGES);
    m_pageBackground = nullptr;

    m_gui = std::make_unique<GUI::Server>(game ? game->getImageManager() : nullptr,
                                          game ? game->getSoundManager() : nullptr);
    m_gui->load("gui:pedia.agui");
    m_gui->InitializeWidgets();
    m_gui->SetMouseCursor("default");
    GUI::Widget* root = m_gui->GetRoot();
    if (GUI::Widget* back = root->FindChild("Back", true))
        back->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cPediaState::onBack));
    m_descText = root->FindChild("Desc", true);
    m_nameText = root->FindChild("Name", true);

    for (uint16_t page = 0; page < PAGE_COUNT; ++page) {
        m_pageButtons[page] = nullptr;
        GUI::Widget* widget = root->FindChild(kPages[page], true);
        auto* button = widget && widget->IsKindOf("ButtonBase") ? static_cast<GUI::ButtonBase*>(widget) : nullptr;
        const bool open = page == ANIMAL_PAGES || page < m_openPages;
        // A page that is not open yet takes no clicks; the layout's note says why.
        if (!button || !open)
            continue;
        button->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cPediaState::onPage));
        button->SetSelected(page == 0);
        m_pageButtons[page] = button;
    }

    for (uint16_t page = 0; page < std::min<uint16_t>(m_openPages, ANIMAL_PAGES); ++page) {
        PageAnimal& animal = m_animals[page];
        // Kept with its assign: the animation files name their sheets by that path.
        const std::string folder = std::string("animals:") + kPages[page] + "/animations/";
        for (int i = 0; i < 2; ++i) {
            const std::string base = folder + (i == 0 ? "adult_idle_01_down_right" : "adult_idle_02_down_right");
            animal.idle[i].reset();
            // A missing animation leaves the page without its animal.
            if (file_exists((base + ".ini").c_str()))
                animal.idle[i] = sprite_loadByName(screenImages(), base);
        }
        animal.current = a_rand() & 1;
        animal.pause = randomPause();
        aImageManager* images = game ? game->getImageManager() : nullptr;
        const std::string shadow = std::string("shadow_") + kPages[page];
        animal.shadow = images && images->hasImage(shadow) ? images->getImage(shadow) : nullptr;
    }
    setInitiated(true);
}

void cPediaState::release()
{
    if (!isInitiated())
        return;
    m_gui.reset();
    m_descText = nullptr;
    m_nameText = nullptr;
    for (auto& button : m_pageButtons)
        button = nullptr;
    for (PageAnimal& animal : m_animals) {
        animal.idle[0].reset();
        animal.idle[1].reset();
        animal.shadow = nullptr;
    }
    setInitiated(false);
}

bool cPediaState::onBack(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->requestState(STATE_MENU);
    return true;
}

bool cPediaState::onPage(const GUI::EventArgs& args)
{
    const GUI::Widget* clicked = static_cast<const GUI::WidgetEventArgs&>(args).widget;
    for (uint16_t page = 0; page < PAGE_COUNT; ++page) {
        if (!m_pageButtons[page])
            continue;
        const bool chosen = m_pageButtons[page] == clicked;
        m_pageButtons[page]->SetSelected(chosen);
        if (chosen)
            m_selectedPage = page;
    }
    return true;
}

void cPediaState::showPage(uint16_t page)
{
    m_shownPage = page;
    cGame* game = cGame::get();
    if (game) {
        const std::string name = kPages[page];
        const bool animal = page < ANIMAL_PAGES;
        if (m_descText)
            m_descText->SetText(game->getText(animal ? "desc." + name : name + ".desc"));
        if (m_nameText)
            m_nameText->SetText(game->getText(animal ? name : name + ".name"));
    }
    aImageManager* images = screenImages();
    m_pageBackground =
        images && images->hasImage(kPageBackgrounds[page]) ? images->getImage(kPageBackgrounds[page]) : nullptr;
}

void cPediaState::update(float dt)
{
    m_gui->Update(dt);
    float alpha = getTextAlpha();
    if (m_shownPage == m_selectedPage) {
        alpha = std::min(alpha + TEXT_FADE_SPEED * dt, 1.0f);
    } else {
        alpha -= TEXT_FADE_SPEED * dt;
        if (alpha <= 0.0f) {
            alpha = 0.0f;
            showPage(m_selectedPage);
        }
    }
    if (m_descText)
        m_descText->SetAlpha(alpha);
    if (m_nameText)
        m_nameText->SetAlpha(alpha);
    stepAnimal(dt);

    cGame* game = cGame::get();
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (input && input->keyStates[A_KEY_ESCAPE] == A_STATE_RELEASED)
        game->requestState(STATE_MENU);
}

void cPediaState::stepAnimal(float dt)
{
    if (!hasPageAnimal(m_shownPage))
        return;
    PageAnimal& animal = m_animals[m_shownPage];
    aAdvAnim& idle = *animal.idle[animal.current];
    idle.update(dt);
    if (!idle.isFinished())
        return;
    // An ended idle stays on its last frame while the animal rests (its file says ShowStoped).
    animal.pause -= dt;
    if (animal.pause > 0.0f)
        return;
    animal.pause = randomPause();
    animal.current = a_rand() & 1;
    animal.idle[animal.current]->play();
}

void cPediaState::draw()
{
    if (m_screenImage)
        m_screenImage->drawAt(0, 0);
    const float alpha = getTextAlpha();
    const aColor color = (static_cast<aColor>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f) << 24) | 0xFFFFFF;
    if (m_pageBackground)
        m_pageBackground->drawAt(338, 105, color);
    drawAnimal(alpha);
    m_gui->Render();
}

void cPediaState::drawAnimal(float alpha)
{
    if (!hasPageAnimal(m_shownPage))
        return;
    const PageAnimal& animal = m_animals[m_shownPage];
    aAdvAnim& idle = *animal.idle[animal.current];
    const aColor color = (static_cast<aColor>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f) << 24) | 0xFFFFFF;
    const float frameWidth = static_cast<float>(idle.getWidth());
    const float frameHeight = static_cast<float>(idle.getHeight());
    if (animal.shadow && animal.shadow->getHeight() > 0) {
        const float s = frameWidth * kAnimalScale / animal.shadow->getHeight();
        const float scale[2] = {s, s};
        animal.shadow->drawAtF(kGroundX - animal.shadow->getWidth() * s * 0.6f,
                               kGroundY - s * animal.shadow->getHeight() * 0.875f, color, scale, kShadowTurn);
    }
    const float scale[2] = {kAnimalScale, kAnimalScale};
    idle.draw(kGroundX - frameWidth * kAnimalScale * 0.5f, kGroundY - frameHeight * kAnimalScale, color, scale);
}
