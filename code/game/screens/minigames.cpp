#include "game/screens/minigames.h"

#include "game/screens/catchanimalstate.h"
#include "game/screens/findpairstate.h"
#include "game/screens/matchthreestate.h"

void miniGames_registerStates()
{
    if (!cGameState::hasClass(STATE_CATCH_ANIMAL))
        cGameState::setClass(STATE_CATCH_ANIMAL, [] { return new cCatchAnimalState(); });
    if (!cGameState::hasClass(STATE_MATCH_THREE))
        cGameState::setClass(STATE_MATCH_THREE, [] { return new cMatchThreeState(); });
    if (!cGameState::hasClass(STATE_FIND_PAIR))
        cGameState::setClass(STATE_FIND_PAIR, [] { return new cFindPairState(); });
}
