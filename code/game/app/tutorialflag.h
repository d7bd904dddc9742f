// Whether a tutorial runs: set when a tutorial is made, cleared when its
// script ends or its level goes. While it is set one-time tips do not open
// and the tips shown are not stored in the profile. Set on the loading
// thread (with the level), read on the main thread.
#pragma once

bool tutorial_isRunning();
void tutorial_setRunning(bool running);
