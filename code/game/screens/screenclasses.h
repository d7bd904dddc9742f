// The program's screens join the state registry here, before the game starts.
#pragma once

// Registers every screen class; an id that already has a class keeps it.
void screens_registerClasses();
