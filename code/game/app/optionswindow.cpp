#include "game/app/optionswindow.h"

#include <algorithm>

#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "gui/checkbox.h"
#include "gui/server.h"
#include "gui/slider.h"
#include "gui/subscriber.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/sound/a_musicmanager.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_math.h"

namespace {

constexpr float kFadeSpeed = 4.0f;

using Binder = GUI::_memberBinder<cOptionsWindow, bool, const GUI::EventArgs&>;

GUI::Checkbox* asCheckbox(GUI::Widget* widget)
{
    return widget && widget->IsKindOf("Checkbox") ? static_cast<GUI::Checkbox*>(widget) : nullptr;
}

GUI::Slider* asSlider(GUI::Widget* widget)
{
    return widget && widget->IsKindOf("Slider") ? static_cast<GUI::Slider*>(widget) : nullptr;
}

} // namespace

GUI::Widget* cOptionsWindow::control(const char* name) const
{
    return m_window ? m_window->FindChild(name, true) : nullptr;
}

float cOptionsWindow::sliderValue(const char* name, float fallback) const
{
    const GUI::Slider* slider = asSlider(control(name));
    return slider ? slider->GetValue() : fallback;
}

void cOptionsWindow::create()
{
    GUI::Server* server = GUI::Server::getSingletonPtr();
    m_window = server ? server->GetRoot()->FindChild("Options_win", true) : nullptr;
    m_opening = false;
    m_alpha = 0.0f;
    if (GUI::Widget* w = control("Cancel"))
        w->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cOptionsWindow::onCancel));
    if (GUI::Widget* w = control("Ok"))
        w->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cOptionsWindow::onOk));
    if (GUI::Slider* s = asSlider(control("MusicVolume")))
        s->SubscribeEvent(GUI::Slider::EventPositionChanged, new Binder(this, &cOptionsWindow::onMusicSliderMoved));
    if (GUI::Slider* s = asSlider(control("SoundVolume")))
        s->SubscribeEvent(GUI::Slider::EventPositionChanged, new Binder(this, &cOptionsWindow::onSoundSliderMoved));
}

bool cOptionsWindow::isOpen() const
{
    return m_window && m_window->IsVisible(true) && m_opening;
}

void cOptionsWindow::open()
{
    cGame* game = cGame::get();
    if (!m_window || !game)
        return;
    m_opening = true;
    m_alpha = 0.0f;
    // Setting the sliders fires their events, which do nothing while alpha is 0.
    if (GUI::Slider* s = asSlider(control("MusicVolume")))
        s->SetValue(game->getMusicVolume());
    if (GUI::Slider* s = asSlider(control("SoundVolume")))
        s->SetValue(game->getSoundVolume());
    const cPlayerProfile* profile = game->getCurrentProfile();
    if (GUI::Checkbox* c = asCheckbox(control("Fullscreen")))
        c->SetChecked(profile ? profile->isFullscreen() : game->isFullscreen());
    if (GUI::Checkbox* c = asCheckbox(control("Widescreen"))) {
        const aGraphServer* graph = game->getGraphServer();
        c->SetEnabled(graph && graph->isWideModeAvailable());
        c->SetChecked(profile ? profile->isWidescreen() : game->isWidescreen());
    }
    if (GUI::Checkbox* c = asCheckbox(control("FXQuality")))
        c->SetChecked(game->getFxQuality());
    m_window->SetAlpha(0.0f);
    m_window->SetVisible(true);
    game->playSound("open_dialog");
}

bool cOptionsWindow::onMusicSliderMoved(const GUI::EventArgs&)
{
    cGame* game = cGame::get();
    if (m_alpha > 0.0f && game && game->getMusicManager())
        game->getMusicManager()->setVolume(aMath::clampUnit(sliderValue("MusicVolume", 0.0f)));
    return true;
}

bool cOptionsWindow::onSoundSliderMoved(const GUI::EventArgs&)
{
    cGame* game = cGame::get();
    if (m_alpha > 0.0f && game && game->getSoundManager()) {
        game->getSoundManager()->setVolume(aMath::clampUnit(sliderValue("SoundVolume", 0.0f)));
        game->playSound("sample");
    }
    return true;
}

bool cOptionsWindow::onOk(const GUI::EventArgs&)
{
    cGame* game = cGame::get();
    if (!game)
        return true;
    game->setMusicVolume(sliderValue("MusicVolume", game->getMusicVolume()));
    game->setSoundVolume(sliderValue("SoundVolume", game->getSoundVolume()));
    // Each switch makes the game copy the server's flags into the profile.
    if (const GUI::Checkbox* c = asCheckbox(control("Fullscreen")))
        game->setFullscreen(c->IsChecked());
    if (const GUI::Checkbox* c = asCheckbox(control("Widescreen")))
        game->setWidescreen(c->IsChecked());
    if (const GUI::Checkbox* c = asCheckbox(control("FXQuality")))
        game->setFxQuality(c->IsChecked());
    game->getProfiles().save();
    m_opening = false;
    return true;
}

bool cOptionsWindow::onCancel(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get()) {
        // The sliders changed only the managers: the profile still holds the old volumes.
        game->setMusicVolume(game->getMusicVolume());
        game->setSoundVolume(game->getSoundVolume());
    }
    m_opening = false;
    return true;
}

void cOptionsWindow::update(float dt)
{
    if (!m_window || !m_window->IsVisible(true))
        return;
    if (m_opening) {
        m_alpha = std::min(m_alpha + kFadeSpeed * dt, 1.0f);
    } else {
        m_alpha -= kFadeSpeed * dt;
        if (m_alpha < 0.0f) {
            m_alpha = 0.0f;
            m_window->SetVisible(false);
        }
    }
    m_window->SetAlpha(m_alpha);
}
