#include "game/screens/screenclasses.h"

#include "game/screens/awardsstate.h"
#include "game/screens/creditsstate.h"
#include "game/screens/helpstate.h"
#include "game/screens/pediastate.h"

void screens_registerAwardsAndInfo()
{
    cGameState::setClass(STATE_AWARDS, [] { return new cAwardsState(); });
    cGameState::setClass(STATE_CREDITS, [] { return new cCreditsState(); });
    cGameState::setClass(STATE_HELP, [] { return new cHelpState(); });
    cGameState::setClass(STATE_PEDIA, [] { return new cPediaState(); });
}
