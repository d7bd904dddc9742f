#include "game/support/test_screen.h"

#include <thread>

#include "orvo/app/a_file.h"

namespace kbtest {

namespace {
std::thread::id g_mainThread = std::this_thread::get_id();
} // namespace

void TestScreen::init()
{
    ++m_calls.inits;
    m_calls.initOnMainThread = std::this_thread::get_id() == g_mainThread;
    cGame* game = cGame::get();
    if (m_withGui && game) {
        // What the initial load provides to every screen.
        aImageManager* images = game->getImageManager();
        if (images && !images->hasImage("skin_window"))
            images->loadList("gui:gui.list");
        if (!game->getSoundManager()) {
            game->setSoundManager(new aSoundManager());
            game->getSoundManager()->loadList("sounds:common.list");
        }
        m_server = std::make_unique<GUI::Server>(images, game->getSoundManager());
        m_server->load("gui:shared.agui");
        // The windows a screen opens over its own, after them as the game's layouts have them.
        m_server->load("gui:options.agui");
        m_server->load("gui:players.agui");
        if (!m_layout.empty()) {
            const std::string path = "temp:harness_screen.agui";
            (void)file_writeFull(path.c_str(), m_layout.data(), static_cast<uint32_t>(m_layout.size()));
            m_server->load(path);
        }
        m_server->InitializeWidgets();
    }
    setInitiated(true);
}

uint32_t TestScreen::loadOnThread(void* parameter)
{
    auto* game = static_cast<cGame*>(parameter);
    if (cGameState* state = game->getCurrentState()) {
        state->setModalCount(0);
        state->init();
    }
    game->setFlags(cGame::FLAG_DRAW | cGame::FLAG_STATES);
    return 0;
}

} // namespace kbtest
