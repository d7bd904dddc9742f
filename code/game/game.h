// Every public header of the game.
#pragma once

#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/app/loaderevent.h"
#include "game/app/messagebox.h"
#include "game/app/playerprofile.h"
#include "game/app/profiles.h"
#include "game/app/settings.h"
