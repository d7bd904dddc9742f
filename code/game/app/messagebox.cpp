#include "game/app/messagebox.h"

#include <memory>

#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/screens/newawardwindow.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/util/a_math.h"

namespace {

std::unique_ptr<cMessageBox> g_box;

constexpr float kFadeSpeed = 4.0f;
const char* const kIcons[] = {"WarningIcon", "AcceptIcon", "BlockIcon", "QuestionIcon", "DiamondIcon"};
const char* const kButtons[] = {"OkBtn", "YesBtn", "NoBtn"};

using Binder = GUI::_memberBinder<cMessageBox, bool, const GUI::EventArgs&>;

} // namespace

cMessageBox* cMessageBox::get()
{
    return g_box.get();
}

bool cMessageBox::show(const std::wstring& caption, const std::wstring& text, uint32_t flags, Callback onOk,
                       Callback onNo)
{
    if (!g_box)
        g_box = std::make_unique<cMessageBox>();
    // A new award that was up long enough makes way for the box.
    if (cNewAwardWindow* award = cNewAwardWindow::get(); award && award->isShown())
        award->close();
    GUI::Server* server = GUI::Server::getSingletonPtr();
    GUI::Widget* window = server ? server->GetRoot()->FindChild("MessageBox", true) : nullptr;
    if (!window)
        return false;
    if (server != g_box->m_server) {
        // A box of an earlier screen: its widgets went with that screen.
        g_box->forgetWindow();
        g_box->m_server = server;
    }
    g_box->m_window = window;
    g_box->build(caption, text, flags, onOk, onNo);
    return true;
}

GUI::Widget* cMessageBox::child(const std::string& name) const
{
    return m_window ? m_window->FindChild(name, true) : nullptr;
}

void cMessageBox::build(const std::wstring& caption, const std::wstring& text, uint32_t flags, Callback onOk,
                        Callback onNo)
{
    countValue = 0.0f;
    countTarget = 0;
    m_opening = true;
    m_window->SetAlpha(0.0f);
    m_window->SetVisible(true);
    // A box shown again keeps nothing of the one before.
    hideParts();
    m_onOk = nullptr;
    m_onNo = nullptr;
    m_chosen = nullptr;

    if (GUI::Widget* w = child("MessageText"))
        w->SetText(text);
    if (GUI::Widget* w = child("Caption"))
        w->SetText(caption);

    if (flags & MB_OK) {
        m_onOk = onOk;
        showButton("OkBtn", "ok", true);
    } else if ((flags & MB_YESNO) && child("YesBtn")) {
        m_onOk = onOk;
        showButton("YesBtn", "yes", true);
        m_onNo = onNo;
        showButton("NoBtn", "no", false);
    }

    for (int bit = 0; bit < 5; ++bit)
        if (flags & (MB_WARNING << bit)) {
            if (GUI::Widget* icon = child(kIcons[bit]))
                icon->SetVisible(true);
            break;
        }

    if (!(flags & MB_SILENT))
        if (cGame* game = cGame::get())
            game->playSound("open_dialog");
    takeModal(!(flags & MB_NOT_MODAL));
}

void cMessageBox::showButton(const std::string& name, const char* textKey, bool ok)
{
    GUI::Widget* button = child(name);
    if (!button)
        return;
    button->SetVisible(true);
    if (cGame* game = cGame::get())
        button->SetText(game->getText(textKey));
    // One binding per button: a second would run the handler twice.
    if (m_subscribed.insert(button).second)
        button->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, ok ? &cMessageBox::onOk : &cMessageBox::onNo));
}

void cMessageBox::hideParts()
{
    for (const char* name : kIcons)
        if (GUI::Widget* w = child(name))
            w->SetVisible(false);
    for (const char* name : kButtons)
        if (GUI::Widget* w = child(name))
            w->SetVisible(false);
}

void cMessageBox::takeModal(bool modal)
{
    cGame* game = cGame::get();
    cGameState* state = game ? game->getCurrentState() : nullptr;
    if (modal && !m_modalState && state) {
        state->addModal();
        m_modalState = state;
    } else if (!modal) {
        giveBackModal();
    }
}

void cMessageBox::giveBackModal()
{
    if (m_modalState) {
        m_modalState->removeModal();
        m_modalState = nullptr;
    }
}

bool cMessageBox::onOk(const GUI::EventArgs&)
{
    m_chosen = m_onOk;
    m_opening = false;
    return true;
}

bool cMessageBox::onNo(const GUI::EventArgs&)
{
    m_chosen = m_onNo;
    m_opening = false;
    return true;
}

void cMessageBox::cancel()
{
    if (!g_box || !g_box->m_window)
        return;
    g_box->m_chosen = g_box->m_onNo;
    g_box->m_opening = false;
}

bool cMessageBox::isShown()
{
    return g_box && g_box->m_window && g_box->m_server == GUI::Server::getSingletonPtr() &&
           g_box->m_window->IsVisible();
}

void cMessageBox::setChildText(const std::string& name, const std::wstring& text)
{
    if (!isShown())
        return;
    if (GUI::Widget* w = g_box->child(name))
        w->SetText(text);
}

void cMessageBox::updateIfShown(float dt)
{
    if (!g_box || !g_box->m_window)
        return;
    if (g_box->m_server != GUI::Server::getSingletonPtr()) {
        g_box->forgetWindow();
        return;
    }
    g_box->update(dt);
}

void cMessageBox::countUp(float dt)
{
    GUI::Widget* caption = child("Caption");
    if (countTarget == 0 || !caption)
        return;
    cGame* game = cGame::get();
    const float target = countTarget;
    if (countValue < target) {
        countValue += target * dt;
        if (countValue >= target) {
            countValue = target;
            if (game && game->getParticles()) {
                const aRect r = caption->GetAbsoluteRect();
                game->getParticles()->Add("GOAL_DONE_FINAL", r.x + r.width / 2.0f, r.y + r.height - 24.0f, 1, true,
                                          true);
            }
        }
    }
    if (game)
        caption->SetText(game->formatMoneyGain(static_cast<uint16_t>(aMath::round(countValue))));
}

void cMessageBox::update(float dt)
{
    countUp(dt);
    float alpha = m_window->GetAlpha(true);
    if (m_opening) {
        alpha = std::min(alpha + kFadeSpeed * dt, 1.0f);
    } else {
        alpha = std::max(alpha - kFadeSpeed * dt, 0.0f);
    }
    m_window->SetAlpha(alpha);
    // Only a box that is closing ends: a frame of 0 s leaves an opening box at alpha 0.
    if (!m_opening && alpha <= 0.0f)
        close();
}

void cMessageBox::close()
{
    if (m_window) {
        hideParts();
        m_window->SetVisible(false);
        m_window = nullptr;
    }
    giveBackModal();
    const Callback chosen = m_chosen;
    m_onOk = nullptr;
    m_onNo = nullptr;
    m_chosen = nullptr;
    // Last: the callback may show a new box or request another state.
    if (chosen)
        chosen();
}

void cMessageBox::forgetWindow()
{
    if (!g_box)
        return;
    g_box->m_window = nullptr;
    g_box->m_server = nullptr;
    g_box->m_subscribed.clear();
    g_box->giveBackModal();
    g_box->m_onOk = nullptr;
    g_box->m_onNo = nullptr;
    g_box->m_chosen = nullptr;
    g_box->m_opening = false;
}
