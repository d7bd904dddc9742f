// Every public header of the game.
#pragma once

#include "game/app/activebuttoneffect.h"
#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/app/loaderevent.h"
#include "game/app/messagebox.h"
#include "game/app/optionswindow.h"
#include "game/app/playerprofile.h"
#include "game/app/profiles.h"
#include "game/app/profilesfile.h"
#include "game/app/profilewindow.h"
#include "game/app/settings.h"
#include "game/app/simpletooltip.h"
#include "game/app/tip.h"
#include "game/app/tooltipbubble.h"
#include "game/app/tutorialflag.h"
#include "game/app/tutorialtooltip.h"
