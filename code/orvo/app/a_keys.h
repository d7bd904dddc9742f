// Key codes of the engine, as the input server, the GUI and the game use them.
// The numbers live with the platform layer, whose key table produces them.
#pragma once

#include "orvo/platform/a_keycodes.h"
