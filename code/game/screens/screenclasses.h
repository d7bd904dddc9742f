// The program's screens join the state registry here, before the game starts
// (tests register the states they need themselves, or stand-ins in their place).
#pragma once

// Registers every screen class; an id that already has a class keeps it.
void screens_registerClasses();
