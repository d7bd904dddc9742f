// cGame: the frame (update and render), the pause overlay and the quit question.
#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/app/loadingscreen.h"
#include "game/app/messagebox.h"
#include "game/app/splashmanager.h"
#include "game/screens/newawardwindow.h"
#include "gui/buttonbase.h"
#include "gui/server.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/util/a_log.h"

namespace {

constexpr float kLongestFrame = 1.0f;
constexpr uint32_t kPauseShade = 0xA0000000;
constexpr uint32_t kCentred = 0x15;

void releaseButton(GUI::Widget* widget)
{
    if (widget && widget->IsKindOf("ButtonBase"))
        static_cast<GUI::ButtonBase*>(widget)->SetPushed(false);
}

} // namespace

int32_t cGame::update()
{
    float dt = m_fixedFrameTime > 0.0f ? m_fixedFrameTime : m_timer.getDelta();
    if (dt > kLongestFrame)
        dt = kLongestFrame;
    m_frameTime.store(dt);
    m_totalTime += dt;

    if (m_splash) {
        if (!m_splash->update(dt)) {
            m_splash.reset();
            clearFlags(FLAG_DRAW);
            startInitialLoad();
        }
        return 0;
    }

    repairCursor();

    if ((getFlags() & FLAG_STATES) == 0 || loadingThreadRuns())
        return 0;
    // The initial load asked for it; done here because the main thread reads the profile at any time.
    if (m_dropPlaceholderProfile.exchange(false))
        m_profiles.deleteProfile(L"");
    if (getFlags() & FLAG_QUIT)
        return RESULT_ABORT;
    // Taken before the switch, so a request made while entering the new state survives.
    const int32_t requested = m_requestedState.exchange(0);
    if (requested != 0) {
        switchState(requested);
        // A load on the loading thread now owns the new state.
        if (loadingThreadRuns())
            return 0;
    }
    if (m_currentState && m_currentState->isInitiated())
        updateState(dt);
    return 0;
}

void cGame::updateState(float dt)
{
    if (m_particles) {
        const float still = m_currentState->getModalCount() > 0 ? 0.0f : dt;
        m_particles->updateLayers(still, 0, 2);
        m_particles->updateLayers(dt, 1);
    }
    cMessageBox::updateIfShown(dt);
    cNewAwardWindow::update(dt);
    if (m_inputServer && m_inputServer->keyStates[A_KEY_ESCAPE] == A_STATE_RELEASED)
        clearButtonFocus();
    // The message box's callback may have switched nothing yet, but it may
    // have requested a switch: the state still gets this frame.
    m_currentState->update(dt);
}

void cGame::clearButtonFocus()
{
    GUI::Server* server = GUI::Server::getSingletonPtr();
    if (!server)
        return;
    releaseButton(server->GetHoverWidget());
    releaseButton(server->GetFocusWidget());
    server->SetHoverWidget(nullptr);
    server->SetFocus(nullptr);
}

int32_t cGame::render()
{
    if (!m_graphServer) {
        // No frame can be drawing: a loading routine waiting for one goes on.
        m_loaderEvent.endFrame();
        return 0;
    }
    if (!m_viewportKnown) {
        m_viewport = aRect(0, 0, m_settings.screenWidth, m_settings.screenHeight);
        m_viewportKnown = true;
    }
    m_graphServer->setViewport(m_viewport);

    if (m_deviceFailed) {
        m_loaderEvent.endFrame();
        return RESULT_ABORT;
    }
    const bool drawing = m_loaderEvent.beginFrame(m_flags, FLAG_DRAW);
    if (drawing) {
        bool began = false;
        try {
            began = m_graphServer->beginScene();
        } catch (int32_t code) {
            a_log("cGame::render. No frame can be drawn (%08X)", static_cast<unsigned>(code));
            m_loaderEvent.endFrame();
            // No quit question could be drawn: the error is shown once and the game ends.
            m_deviceFailed = true;
            setFlags(FLAG_QUIT);
            showError(static_cast<uint32_t>(code));
            return code < 0 ? code : RESULT_ABORT;
        }
        if (began) {
            if (m_splash) {
                m_splash->draw();
            } else if (loadingThreadRuns()) {
                if (cLoadingScreen* screen = cLoadingScreen::getSingletonPtr())
                    screen->draw(getFrameTime());
            } else if (m_currentState && m_currentState->isInitiated()) {
                m_currentState->draw();
            }
            // A loading thread may be building the GUI server and its fonts.
            if (isPaused() && !loadingThreadRuns() && GUI::Server::getSingletonPtr())
                drawPauseOverlay();
            m_graphServer->endScene();
        }
    }
    m_loaderEvent.endFrame();
    return 0;
}

void cGame::drawPauseOverlay()
{
    if (!m_pauseGdi)
        m_pauseGdi = std::make_unique<aGDI>();
    m_pauseGdi->color = kPauseShade;
    m_pauseGdi->drawRect(0.0f, 0.0f, m_graphServer->getGameWidth(), m_graphServer->getGameHeight(), true);

    aFont* font = GUI::Server::getSingletonPtr()->GetFont("mistral24");
    if (!font)
        return;
    if (!m_pauseTextKnown) {
        m_pauseText = getText("pause");
        m_pauseTextKnown = true;
    }
    font->setSize(1.2f);
    font->color = 0xFF000000;
    font->drawText(514.0f, 386.0f, m_pauseText, kCentred);
    font->color = 0xFFFFFFFF;
    font->drawText(512.0f, 384.0f, m_pauseText, kCentred);
}

bool cGame::canQuit()
{
    // While a load runs no state is updated, so nothing could answer a question.
    if ((getFlags() & FLAG_QUIT) || !GUI::Server::getSingletonPtr() || loadingThreadRuns())
        return true;
    askQuit();
    // A screen without the box cannot ask: the window closes rather than never.
    return !cMessageBox::isShown();
}

void cGame::askQuit()
{
    if (cMessageBox::isShown())
        return;
    cMessageBox::show(getText("caption_quit"), getText("quit_request"),
                      cMessageBox::MB_YESNO | cMessageBox::MB_QUESTION, &cGame::requestQuit, nullptr);
}

void cGame::requestQuit()
{
    if (cGame* game = get())
        game->setFlags(FLAG_QUIT);
}

void cGame::requestMenuState()
{
    if (cGame* game = get())
        game->requestState(STATE_MENU);
}

void cGame::requestMapState()
{
    if (cGame* game = get())
        game->requestState(STATE_MAP);
}

void cGame::requestParkState()
{
    if (cGame* game = get())
        game->requestState(STATE_PARK);
}
