#include "game/screens/screenclasses.h"

#include "game/app/gamestate.h"
#include "game/screens/menustate.h"

namespace {

template <typename State> void registerClass(int32_t id)
{
    if (!cGameState::hasClass(id))
        cGameState::setClass(id, [] { return new State(); });
}

} // namespace

void screens_registerClasses()
{
    registerClass<cMenuState>(STATE_MENU);
}
