// Stand-in states for the harness while the game's own screens are not
// there: a screen that builds a GUI server from the shared windows (and any
// extra layout text), counts its calls, and can be registered under any id
// for the life of a ScopedStateClass.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "game/game.h"
#include "gui/server.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/sound/a_soundmanager.h"
#include "support/temp_dir.h"

namespace kbtest {

struct StateCalls {
    int inits = 0, releases = 0, updates = 0, draws = 0, startLoadings = 0;
    bool initOnMainThread = true;
};

class TestScreen : public cGameState {
public:
    // `layout`: extra layout text read after the shared windows; `withGui`
    // false makes a state without any GUI server.
    TestScreen(int32_t id, StateCalls& calls, std::string layout = "", bool withGui = true)
        : cGameState(id), m_calls(calls), m_layout(std::move(layout)), m_withGui(withGui)
    {
    }
    ~TestScreen() override { release(); }

    void update(float dt) override
    {
        ++m_calls.updates;
        if (m_server)
            m_server->Update(dt);
        if (onUpdate)
            onUpdate(dt);
    }
    void draw() override
    {
        ++m_calls.draws;
        if (m_server)
            m_server->Render();
    }
    void init() override;
    void release() override
    {
        if (!isInitiated())
            return;
        ++m_calls.releases;
        m_server.reset();
        setInitiated(false);
    }
    bool startLoading() override
    {
        ++m_calls.startLoadings;
        return loadsItself && loadsItself(*this);
    }

    // Runs the state's init on the loading thread, as a gameplay state does.
    static uint32_t loadOnThread(void* game);

    std::function<void(float)> onUpdate;
    std::function<bool(TestScreen&)> loadsItself;

private:
    StateCalls& m_calls;
    std::string m_layout;
    bool m_withGui;
    std::unique_ptr<GUI::Server> m_server;
};

// Registers a state class under an id for the life of the object.
class ScopedStateClass {
public:
    ScopedStateClass(int32_t id, cGameState::Factory factory) : m_id(id)
    {
        cGameState::setClass(id, std::move(factory));
    }
    ~ScopedStateClass() { cGameState::setClass(m_id, nullptr); }
    ScopedStateClass(const ScopedStateClass&) = delete;
    ScopedStateClass& operator=(const ScopedStateClass&) = delete;

private:
    int32_t m_id;
};

} // namespace kbtest
