// The game's small numeric helpers. Pure functions; any thread.
#pragma once

namespace aMath {

// Rounds halves up: 2.5 -> 3, -2.5 -> -2.
int round(float f);
float sin(float radians);

} // namespace aMath
