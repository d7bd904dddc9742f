#include "game/screens/creditsstate.h"

#include <algorithm>

#include "game/app/game.h"
#include "game/app/loadingscenario.h"
#include "game/app/loadingscreen.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_font.h"
#include "orvo/platform/a_keycodes.h"

namespace {

using Binder = GUI::_memberBinder<cCreditsState, bool, const GUI::EventArgs&>;

// Lines are whole between these heights, fade in below and out above.
constexpr float kFullTop = 165.0f;
constexpr float kFullBottom = 540.0f;
constexpr float kFadeInEnd = 640.0f;
constexpr float kFadeOutEnd = 85.0f;
constexpr uint32_t kCentred = 0x11;

} // namespace

cCreditsState::LineLook cCreditsState::lineLook(float y)
{
    LineLook look;
    float t = 0.0f;
    if (y > kFullTop && y < kFullBottom)
        t = 1.0f;
    else if (y >= kFullBottom && y <= kFadeInEnd)
        // 1 - (y - 540) / 100, written so that whole heights give exact tenths.
        t = (kFadeInEnd - y) / 100.0f;
    else if (y > kFadeOutEnd && y <= kFullTop)
        // 1 - (y - 165) / -80.
        t = (y - kFadeOutEnd) / 80.0f;
    else
        return look;
    look.alpha = static_cast<uint32_t>(std::clamp(t, 0.0f, 1.0f) * 255.0f);
    look.size = y > kFullTop ? look.alpha / 255.0f : 1.0f;
    return look;
}

cCreditsState::cCreditsState() : cGameState(STATE_CREDITS)
{
}

cCreditsState::~cCreditsState()
{
    release();
}

void cCreditsState::init()
{
    if (isInitiated())
        return;
    cGame* game = cGame::get();
    m_scrollY = START_Y;
    m_gui = std::make_unique<GUI::Server>(game ? game->getImageManager() : nullptr,
                                          game ? game->getSoundManager() : nullptr);
    m_gui->load("gui:credits.agui");
    m_gui->InitializeWidgets();
    m_gui->SetMouseCursor("default");
    if (GUI::Widget* back = m_gui->GetRoot()->FindChild("Back", true))
        back->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cCreditsState::onBack));
    m_font = m_gui->GetFont("title_s");
    if (!cLoadingScreen::getSingletonPtr())
        m_scene = std::make_unique<cLoadingScreen>("", "", 0, true);

    const std::string path =
        (game ? game->settings().languageFolder : std::string("data:Localization/English/")) + "Credits.txt";
    if (m_lines.count() == 0 && file_exists(path.c_str())) {
        m_lines.load(path.c_str());
        size_t longest = 0;
        for (const std::string& line : m_lines.lines())
            longest = std::max(longest, line.size());
        m_lineBuffer.reserve(longest);
    }
    setInitiated(true);
}

void cCreditsState::release()
{
    if (!isInitiated())
        return;
    m_font = nullptr;
    m_scene.reset();
    m_gui.reset();
    m_lineBuffer.clear();
    m_lines.clear();
    setInitiated(false);
}

bool cCreditsState::onBack(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->requestState(STATE_MENU);
    return true;
}

float cCreditsState::lineHeight() const
{
    return m_font && m_font->getNativeHeight() > 0.0f ? m_font->getNativeHeight() : 1.0f;
}

void cCreditsState::update(float dt)
{
    m_gui->Update(dt);
    if (m_scene && m_scene->getScenarioState() == cLoadingScenario::STATE_FINISHED)
        m_scene->startScenario();

    m_scrollY -= SCROLL_SPEED * dt;
    if ((static_cast<float>(m_lines.count()) + 1.0f) * lineHeight() + m_scrollY < 0.0f)
        m_scrollY = START_Y;

    cGame* game = cGame::get();
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (input && input->keyStates[A_KEY_ESCAPE] == A_STATE_RELEASED)
        game->requestState(STATE_MENU);
}

void cCreditsState::draw()
{
    cGame* game = cGame::get();
    if (m_scene)
        m_scene->draw(game ? game->getFrameTime() : 0.0f);
    m_gui->Render();
    if (!m_font)
        return;

    m_font->setSize(1.0f);
    const float h = lineHeight();
    float y = m_scrollY;
    for (const std::string& line : m_lines.lines()) {
        const LineLook look = lineLook(y);
        if (look.alpha > 0 && !line.empty()) {
            m_font->setSize(look.size);
            m_lineBuffer.assign(line);
            uint32_t rgb = 0xFFFFFF;
            if (m_lineBuffer[0] == '+') {
                m_lineBuffer.erase(0, 1);
                rgb = 0xFFFF00;
            }
            m_font->color = (look.alpha << 24) | rgb;
            m_font->drawTextA(512.0f, y, m_lineBuffer, kCentred);
        }
        y += h;
    }
}
