// cGame: switching and restarting states, and the screens' shared images.
#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/app/messagebox.h"
#include "game/screens/newawardwindow.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_picturecache.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_log.h"

void cGame::switchState(int32_t id)
{
    if (m_currentState) {
        m_previousState = m_currentState->getId();
        releaseCurrentState();
        releaseLevelKinds();
        if (!state_isScreen(id) && state_isScreen(m_previousState))
            releaseScreenResources();
    }

    // Decoded pictures are kept for later loads only while the screens are
    // shown: a level or a mini-game holds the most memory and keeps none, so
    // its load and the screens' reload after it decode anew (well within the
    // time a loading screen stays).
    aPictureCache::instance().setBudget(state_isScreen(id) ? aPictureCache::DEFAULT_BUDGET : 0);
    m_currentState = cGameState::find(id);
    if (!m_currentState) {
        a_log("cGame::switchState. No state with id %d", static_cast<int>(id));
        return;
    }
    if (m_currentState->startLoading())
        return;

    if (state_isScreen(id) && !state_isScreen(m_previousState)) {
        startLoader(&cGame::screenLoaderThread);
    } else {
        m_currentState->setModalCount(0);
        m_currentState->init();
    }
    if (state_isScreen(id))
        playMusicTrack(0);
}

void cGame::releaseCurrentState()
{
    m_currentState->release();
    // The old screen's GUI is gone with it: the box must not keep its window.
    cMessageBox::forgetWindow();
    if (m_particles)
        m_particles->killAll();
    if (m_soundManager)
        m_soundManager->stopAll();
}

void cGame::restartState()
{
    if (!m_currentState)
        return;
    releaseCurrentState();
    cNewAwardWindow::destroy();
    m_currentState->setModalCount(0);
    m_currentState->init();
    playCurrentMusic();
}

void cGame::releaseScreenResources()
{
    for (int32_t id = 0; id < STATE_PLAY; ++id)
        if (cGameState* state = cGameState::find(id))
            state->freeResources();
    delete m_screenImageManager;
    m_screenImageManager = nullptr;
}

aImage* cGame::findImage(const std::string& name) const
{
    return m_imageManager && m_imageManager->hasImage(name) ? m_imageManager->getImage(name) : nullptr;
}
