// Every public header of the game.
#pragma once

#include "game/app/animalrun.h"
#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/app/kindloaders.h"
#include "game/app/loaderevent.h"
#include "game/app/loadingscenario.h"
#include "game/app/loadingscreen.h"
#include "game/app/messagebox.h"
#include "game/app/playerprofile.h"
#include "game/app/poachershoot.h"
#include "game/app/runninganimal.h"
#include "game/app/settings.h"
#include "game/app/spriteloader.h"
#include "game/app/spriteregistry.h"
