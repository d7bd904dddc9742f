#include "game/screens/screenclasses.h"

#include "game/app/gamestate.h"
#include "game/screens/awardsstate.h"
#include "game/screens/catchanimalstate.h"
#include "game/screens/creditsstate.h"
#include "game/screens/findpairstate.h"
#include "game/screens/helpstate.h"
#include "game/screens/mapstate.h"
#include "game/screens/matchthreestate.h"
#include "game/screens/menustate.h"
#include "game/screens/parkstate.h"
#include "game/screens/pediastate.h"

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
    registerClass<cMapState>(STATE_MAP);
    registerClass<cParkState>(STATE_PARK);
    registerClass<cAwardsState>(STATE_AWARDS);
    registerClass<cCreditsState>(STATE_CREDITS);
    registerClass<cHelpState>(STATE_HELP);
    registerClass<cPediaState>(STATE_PEDIA);
    registerClass<cCatchAnimalState>(STATE_CATCH_ANIMAL);
    registerClass<cMatchThreeState>(STATE_MATCH_THREE);
    registerClass<cFindPairState>(STATE_FIND_PAIR);
}
