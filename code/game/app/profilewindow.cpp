#include "game/app/profilewindow.h"

#include <algorithm>

#include "game/app/game.h"
#include "game/app/messagebox.h"
#include "game/app/profiles.h"
#include "gui/checkbox.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "orvo/app/a_inputserver.h"

namespace {

constexpr float kFadeSpeed = 4.0f;

using Binder = GUI::_memberBinder<cProfileWindow, bool, const GUI::EventArgs&>;

cProfileWindow* g_window = nullptr;
// The profile the delete question is about (the box's callback takes no arguments).
cPlayerProfile* g_pendingDelete = nullptr;

void playSound(const char* name)
{
    if (cGame* game = cGame::get())
        game->playSound(name);
}

std::wstring text(const char* key)
{
    const cGame* game = cGame::get();
    return game ? game->getText(key) : std::wstring();
}

void bind(GUI::Widget* widget, const char* event, cProfileWindow* window,
          bool (cProfileWindow::*handler)(const GUI::EventArgs&))
{
    if (widget)
        widget->SubscribeEvent(event, new Binder(window, handler));
}

} // namespace

cProfileWindow::~cProfileWindow()
{
    if (g_window == this) {
        g_window = nullptr;
        g_pendingDelete = nullptr;
    }
}

cProfileWindow* cProfileWindow::get()
{
    return g_window;
}

GUI::Widget* cProfileWindow::listControl(const char* name) const
{
    return m_list ? m_list->FindChild(name, true) : nullptr;
}

GUI::Widget* cProfileWindow::newPlayerControl(const char* name) const
{
    return m_newPlayer ? m_newPlayer->FindChild(name, true) : nullptr;
}

void cProfileWindow::create(GUI::Widget* root)
{
    cGame* game = cGame::get();
    m_profiles = game ? &game->getProfiles() : nullptr;
    m_list = root ? root->FindChild("Profiles_win", true) : nullptr;
    m_newPlayer = root ? root->FindChild("NewPlayer_win", true) : nullptr;
    bind(listControl("Close"), GUI::Widget::EventClick, this, &cProfileWindow::onClose);
    bind(listControl("New"), GUI::Widget::EventClick, this, &cProfileWindow::onNew);
    bind(listControl("Delete"), GUI::Widget::EventClick, this, &cProfileWindow::onDelete);
    m_entries.clear();
    m_entries.reserve(10);
    if (m_list)
        for (GUI::Widget* child : m_list->GetChildren())
            if (std::string(child->GetType()) == "Checkbox") {
                m_entries.push_back(static_cast<GUI::Checkbox*>(child));
                bind(child, GUI::Widget::EventClick, this, &cProfileWindow::onEntryClick);
                bind(child, GUI::Widget::EventDoubleClick, this, &cProfileWindow::onEntryDoubleClick);
            }
    m_nameBox = newPlayerControl("PlayerName");
    m_ok = newPlayerControl("Ok");
    m_warning = newPlayerControl("WarningText");
    m_warningText = m_warning ? m_warning->GetText() : std::wstring();
    bind(m_ok, GUI::Widget::EventClick, this, &cProfileWindow::onNewPlayerOk);
    bind(newPlayerControl("Cancel"), GUI::Widget::EventClick, this, &cProfileWindow::onNewPlayerCancel);
    bind(m_nameBox, GUI::Widget::EventTextChanged, this, &cProfileWindow::onNameChanged);
    g_window = this;
}

void cProfileWindow::open()
{
    if (!m_profiles || m_profiles->count() == 0) {
        openNewPlayer();
        return;
    }
    if (!m_list)
        return;
    m_listOpening = true;
    m_newPlayerOpening = false;
    m_list->SetAlpha(0.0f);
    m_list->SetVisible(true);
    fillList();
    if (GUI::Widget* name = listControl("PlayerName"))
        name->SetText(L"");
    playSound("open_dialog");
}

void cProfileWindow::fillList()
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        GUI::Checkbox* entry = m_entries[i];
        const cPlayerProfile* profile = m_profiles ? m_profiles->at(i) : nullptr;
        entry->SetVisible(profile != nullptr);
        if (!profile)
            continue;
        const auto& parts = entry->GetChildren();
        if (parts.size() > 1)
            parts[1]->SetPlainText(profile->getName());
        entry->SetChecked(profile->active);
    }
    updateButtons();
}

void cProfileWindow::updateButtons()
{
    const size_t count = m_profiles ? m_profiles->count() : 0;
    if (GUI::Widget* w = listControl("New"))
        w->SetEnabled(count < MAX_PROFILES);
    if (GUI::Widget* w = listControl("Delete"))
        w->SetEnabled(count > 1);
}

int cProfileWindow::checkedEntry() const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i]->IsChecked())
            return static_cast<int>(i);
    return -1;
}

void cProfileWindow::tick(GUI::Checkbox* entry)
{
    for (GUI::Checkbox* e : m_entries)
        e->SetChecked(e == entry);
}

bool cProfileWindow::onEntryClick(const GUI::EventArgs& args)
{
    const auto* widgetArgs = dynamic_cast<const GUI::WidgetEventArgs*>(&args);
    GUI::Widget* clicked = widgetArgs ? widgetArgs->widget : nullptr;
    const auto it = std::find(m_entries.begin(), m_entries.end(), clicked);
    if (it != m_entries.end())
        tick(*it);
    return true;
}

bool cProfileWindow::onEntryDoubleClick(const GUI::EventArgs& args)
{
    onEntryClick(args);
    return onClose(args);
}

bool cProfileWindow::onClose(const GUI::EventArgs&)
{
    const int i = checkedEntry();
    cPlayerProfile* chosen = i >= 0 && m_profiles ? m_profiles->at(size_t(i)) : nullptr;
    if (chosen && chosen != m_profiles->current()) {
        m_profiles->select(chosen, true);
        m_profiles->save();
    }
    m_listOpening = false;
    return true;
}

bool cProfileWindow::onNew(const GUI::EventArgs&)
{
    openNewPlayer();
    return true;
}

void cProfileWindow::openNewPlayer()
{
    if (!m_newPlayer)
        return;
    m_newPlayerOpening = true;
    m_newPlayer->SetAlpha(0.0f);
    m_newPlayer->SetVisible(true);
    if (m_nameBox) {
        m_nameBox->SetText(L"");
        if (GUI::Server* server = GUI::Server::getSingletonPtr())
            server->SetFocus(m_nameBox);
    }
    if (m_ok)
        m_ok->SetEnabled(false);
    if (m_warning)
        m_warning->SetVisible(false);
    playSound("open_dialog");
}

bool cProfileWindow::onNameChanged(const GUI::EventArgs&)
{
    if (m_warning)
        m_warning->SetVisible(false);
    const cProfiles::NameCheck check =
        m_profiles && m_nameBox ? m_profiles->checkName(m_nameBox->GetText()) : cProfiles::NameCheck::Empty;
    if (m_ok)
        m_ok->SetEnabled(check == cProfiles::NameCheck::Ok);
    if (m_warning && (check == cProfiles::NameCheck::Taken || check == cProfiles::NameCheck::Invalid)) {
        // The layout's own text says the name is taken.
        m_warning->SetText(check == cProfiles::NameCheck::Taken ? m_warningText
                                                                 : text("player_name_invalid"));
        m_warning->SetVisible(true);
    }
    return true;
}

bool cProfileWindow::onNewPlayerOk(const GUI::EventArgs&)
{
    // The button is disabled for such names; Enter and scripts come here too.
    if (!m_profiles || !m_nameBox || m_profiles->checkName(m_nameBox->GetText()) != cProfiles::NameCheck::Ok)
        return true;
    m_newPlayerOpening = false;
    m_profiles->select(m_profiles->createProfile(m_nameBox->GetText(), true), true);
    fillList();
    m_profiles->save();
    return true;
}

void cProfileWindow::createNewPlayer()
{
    m_profiles->select(m_profiles->createProfile(text("default_player"), true), true);
    m_profiles->save();
    fillList();
}

bool cProfileWindow::onNewPlayerCancel(const GUI::EventArgs&)
{
    // The game never goes on without a player.
    if (m_profiles && m_profiles->count() == 0)
        createNewPlayer();
    m_newPlayerOpening = false;
    return true;
}

bool cProfileWindow::onDelete(const GUI::EventArgs&)
{
    const int i = checkedEntry();
    cPlayerProfile* pending = i >= 0 && m_profiles ? m_profiles->at(size_t(i)) : nullptr;
    // A tick on no player, or the last player: nothing to delete.
    if (!pending || m_profiles->count() < 2)
        return true;
    g_pendingDelete = pending;
    cMessageBox::show(text("caption_delete"), text("profile_delete"),
                      cMessageBox::MB_YESNO | cMessageBox::MB_QUESTION, &cProfileWindow::onDeleteConfirmed, nullptr);
    return true;
}

void cProfileWindow::onDeleteConfirmed()
{
    cProfileWindow* self = g_window;
    cPlayerProfile* pending = g_pendingDelete;
    g_pendingDelete = nullptr;
    cProfiles* profiles = self ? self->m_profiles : nullptr;
    if (!profiles || !pending)
        return;
    // The player may have gone since the question was asked.
    size_t k = profiles->count();
    for (size_t i = 0; i < profiles->count(); ++i)
        if (profiles->at(i) == pending)
            k = i;
    if (k == profiles->count())
        return;

    const bool wasCurrent = pending->active;
    if (k + 1 == profiles->count() && k > 0)
        --k;
    profiles->deleteProfile(pending->getName());
    if (wasCurrent)
        profiles->select(profiles->at(k), true);
    self->fillList();
    if (!wasCurrent && k < self->m_entries.size())
        self->tick(self->m_entries[k]);
    profiles->save();
}

void cProfileWindow::fade(GUI::Widget* window, bool opening, float dt)
{
    if (!window || !window->IsVisible(true))
        return;
    float alpha = window->GetAlpha(true);
    if (opening) {
        alpha = std::min(alpha + kFadeSpeed * dt, 1.0f);
    } else {
        alpha -= kFadeSpeed * dt;
        if (alpha < 0.0f) {
            alpha = 0.0f;
            window->SetVisible(false);
        }
    }
    window->SetAlpha(alpha);
}

void cProfileWindow::update(float dt)
{
    fade(m_list, m_listOpening, dt);
    fade(m_newPlayer, m_newPlayerOpening, dt);
    const aInputServer* input = cGame::get() ? cGame::get()->getInputServer() : nullptr;
    if (input && input->keyStates[A_KEY_ENTER] == A_STATE_RELEASED && m_newPlayerOpening && m_ok &&
        m_ok->IsEnabled(true))
        onNewPlayerOk(GUI::EventArgs());
}
