#include "game/app/gamestate.h"

#include <map>

#include "orvo/util/a_log.h"

namespace {

std::vector<cGameState*> g_registry;

std::map<int32_t, cGameState::Factory>& classes()
{
    static std::map<int32_t, cGameState::Factory> table;
    return table;
}

} // namespace

void cGameState::setClass(int32_t id, Factory factory)
{
    if (factory)
        classes()[id] = std::move(factory);
    else
        classes().erase(id);
}

bool cGameState::hasClass(int32_t id)
{
    return classes().count(id) != 0;
}

cGameState* cGameState::find(int32_t id)
{
    for (cGameState* state : g_registry)
        if (state->getId() == id)
            return state;
    return nullptr;
}

cGameState* cGameState::getOrCreate(int32_t id)
{
    if (cGameState* state = find(id))
        return state;
    auto it = classes().find(id);
    if (it == classes().end()) {
        a_log("cGameState: no state class for id %d", static_cast<int>(id));
        return nullptr;
    }
    cGameState* state = it->second();
    if (!state || state->getId() != id) {
        a_log("cGameState: the class for id %d made no state of that id", static_cast<int>(id));
        delete state;
        return nullptr;
    }
    g_registry.push_back(state);
    return state;
}

void cGameState::createAll()
{
    for (int32_t id = STATE_MENU; id <= STATE_COUNT; ++id)
        if (hasClass(id))
            getOrCreate(id);
}

void cGameState::releaseAll()
{
    for (cGameState* state : g_registry) {
        state->release();
        delete state;
    }
    g_registry.clear();
}

const std::vector<cGameState*>& cGameState::registry()
{
    return g_registry;
}
