#include "game/screens/newawardwindow.h"

#include <algorithm>
#include <deque>

#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/screens/awardsstate.h"
#include "gui/eventargs.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_math.h"

namespace {

constexpr float kFadeSpeed = 4.0f;
constexpr float kPictureHeight = 200.0f;

std::unique_ptr<cNewAwardWindow> g_window;
// Indices of the awards table, first in first out.
std::deque<int32_t> g_queue;
// The widget (of that server) whose events lead here; bound once.
GUI::Widget* g_boundWidget = nullptr;
GUI::Server* g_boundServer = nullptr;
// The state whose modal count the window raised.
cGameState* g_modalState = nullptr;

using FreeBinder = GUI::_freeBinder<bool, const GUI::EventArgs&>;

const cAward* awardRecord(int32_t index)
{
    const auto* awards = dynamic_cast<const cAwardsState*>(cGameState::find(STATE_AWARDS));
    return awards ? awards->getAward(index) : nullptr;
}

void giveBackModal()
{
    // At shutdown the states may be gone before the window.
    const auto& states = cGameState::registry();
    if (g_modalState && std::find(states.begin(), states.end(), g_modalState) != states.end()) {
        g_modalState->removeModal();
    }
    g_modalState = nullptr;
}

} // namespace

cNewAwardWindow* cNewAwardWindow::get()
{
    return g_window.get();
}

size_t cNewAwardWindow::queued()
{
    return g_queue.size();
}

void cNewAwardWindow::clearQueue()
{
    g_queue.clear();
}

cNewAwardWindow::~cNewAwardWindow()
{
    // A window of a server that went is not touched.
    if (GUI::Widget* window = liveWindow())
        window->SetVisible(false);
    giveBackModal();
}

void cNewAwardWindow::destroy()
{
    g_window.reset();
    g_boundWidget = nullptr;
    g_boundServer = nullptr;
}

GUI::Widget* cNewAwardWindow::liveWindow()
{
    if (m_window && m_server != GUI::Server::getSingletonPtr()) {
        m_window = nullptr;
        m_server = nullptr;
    }
    return m_window;
}

bool cNewAwardWindow::isShown() const
{
    return m_window && m_server == GUI::Server::getSingletonPtr() && m_window->IsVisible();
}

void cNewAwardWindow::notify(int32_t index)
{
    const cAward* award = awardRecord(index);
    if (!award) {
        a_log("cNewAwardWindow. No award %d to announce", static_cast<int>(index));
        return;
    }
    if (g_window && g_window->isShown()) {
        g_queue.push_back(index);
        return;
    }
    show(award->imagePath, award->tooltipKey, award->goal);
}

void cNewAwardWindow::show(const std::string& imagePath, const std::string& tooltipKey, int32_t goal)
{
    GUI::Server* server = GUI::Server::getSingletonPtr();
    GUI::Widget* widget = server ? server->GetRoot()->FindChild("NewAward", true) : nullptr;
    if (!widget)
        return;
    if (!g_window)
        g_window.reset(new cNewAwardWindow());
    else if (g_window->isShown())
        return;
    g_window->m_server = server;
    g_window->build(widget, imagePath, tooltipKey, goal);
}

void cNewAwardWindow::build(GUI::Widget* widget, const std::string& imagePath, const std::string& tooltipKey,
                            int32_t goal)
{
    m_window = widget;
    m_opening = true;
    m_shownTime = 0.0f;
    m_effectStarted = false;
    m_picture.reset();
    if (!imagePath.empty() && file_exists(imagePath.c_str()))
        m_picture = std::make_unique<aImage>(imagePath, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    else
        a_log("cNewAwardWindow. Picture \"%s\" is missing", imagePath.c_str());

    if (widget != g_boundWidget || m_server != g_boundServer) {
        widget->SubscribeEvent(GUI::Widget::EventClick, new FreeBinder(&cNewAwardWindow::onClick));
        widget->SubscribeEvent(GUI::Widget::EventEndRender, new FreeBinder(&cNewAwardWindow::onEndRender));
        g_boundWidget = widget;
        g_boundServer = m_server;
    }
    if (GUI::Widget* description = widget->FindChild("Description", true))
        description->SetText(award_describe(tooltipKey, goal));

    widget->SetAlpha(0.0f);
    widget->SetVisible(true);
    cGame* game = cGame::get();
    if (game && game->getCurrentState() && !g_modalState) {
        g_modalState = game->getCurrentState();
        g_modalState->addModal();
    }
    if (game)
        game->playSound("get_award");
}

bool cNewAwardWindow::onClick(const GUI::EventArgs& args)
{
    cNewAwardWindow* self = g_window.get();
    const auto& widgetArgs = static_cast<const GUI::WidgetEventArgs&>(args);
    if (!self || widgetArgs.widget != self->liveWindow())
        return false;
    // Earlier clicks are swallowed: the player should see what was earned.
    if (self->m_shownTime > CLICK_DELAY)
        self->m_opening = false;
    return true;
}

bool cNewAwardWindow::onEndRender(const GUI::EventArgs& args)
{
    cNewAwardWindow* self = g_window.get();
    const auto& widgetArgs = static_cast<const GUI::WidgetEventArgs&>(args);
    if (!self || widgetArgs.widget != self->liveWindow())
        return false;
    self->drawPicture();
    return true;
}

void cNewAwardWindow::close()
{
    if (m_shownTime > CLICK_DELAY)
        m_opening = false;
}

void cNewAwardWindow::drawPicture()
{
    if (!m_picture || m_picture->getHeight() == 0 || !m_window)
        return;
    const float scale = kPictureHeight / m_picture->getHeight();
    const float width = static_cast<float>(aMath::round(m_picture->getWidth() * scale));
    const float height = static_cast<float>(aMath::round(m_picture->getHeight() * scale));
    const aRect r = m_window->GetAbsoluteRect();
    const float x = r.x + (r.width - width) / 2.0f;
    const float y = r.y + (r.height - height) / 2.0f - 5.0f;
    const float scales[2] = {width / m_picture->getWidth(), height / m_picture->getHeight()};
    const aColor alpha = static_cast<aColor>(std::clamp(m_window->GetAlpha(), 0.0f, 1.0f) * 255.0f);
    m_picture->drawAtF(x, y, (alpha << 24) | 0xFFFFFF, scales);
}

void cNewAwardWindow::update(float dt)
{
    cNewAwardWindow* self = g_window.get();
    if (self && self->liveWindow() && self->m_window->IsVisible())
        self->step(dt);
}

void cNewAwardWindow::step(float dt)
{
    m_shownTime += dt;
    float alpha = m_window->GetAlpha(true);
    if (m_opening) {
        alpha = std::min(alpha + kFadeSpeed * dt, 1.0f);
    } else {
        alpha -= kFadeSpeed * dt;
        if (alpha <= 0.0f) {
            finish();
            return;
        }
    }
    m_window->SetAlpha(alpha);
    if (!m_effectStarted) {
        m_effectStarted = true;
        cGame* game = cGame::get();
        if (game && game->getParticles()) {
            const aRect r = m_window->GetAbsoluteRect();
            game->getParticles()->Add("UPGRADE", r.x + r.width / 2.0f, r.y + r.height / 2.0f, 1, true, true);
        }
    }
}

void cNewAwardWindow::finish()
{
    m_window->SetAlpha(0.0f);
    m_window->SetVisible(false);
    m_window = nullptr;
    m_picture.reset();
    giveBackModal();
    while (!g_queue.empty()) {
        const int32_t next = g_queue.front();
        g_queue.pop_front();
        if (const cAward* award = awardRecord(next)) {
            show(award->imagePath, award->tooltipKey, award->goal);
            break;
        }
    }
}
