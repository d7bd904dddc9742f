// The game's small numeric helpers. Pure functions; any thread.
#pragma once

namespace aMath {

// Rounds halves up: 2.5 -> 3, -2.5 -> -2.
int round(float f);
float sin(float radians);
// Held to 0..1, NaN read as 0 (it would pass both comparisons of a clamp).
float clampUnit(float v);

} // namespace aMath
