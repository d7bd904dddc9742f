// The program's screens join the state registry here (tests register the
// states they need themselves, or stand-ins in their place).
#pragma once

// The awards, credits, help and encyclopedia screens (states 4 to 7).
void screens_registerAwardsAndInfo();
