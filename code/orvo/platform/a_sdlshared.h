// Platform-internal: what the SDL event pump learns for the SDL input device
// (keys and buttons, wheel and motion between polls, a focus loss) and the shared start of
// SDL's video subsystem. Main thread only, except the wake-up.
#pragma once

#include <cstdint>

#include "orvo/platform/a_inputqueue.h"

namespace sdlshared {

// Starts SDL's video (and event) subsystem once per process; false when it cannot start.
bool ensureVideo();

// Any thread: makes a waiting event pump come back with an empty message
// (nothing happens before SDL's video has started).
void wakeEventLoop();
// The SDL event type of those wake-ups; 0 before video has started.
uint32_t wakeEventType();

void addWheel(int32_t delta);
int32_t takeWheel();
void addMotion(int32_t dx, int32_t dy);
void takeMotion(int32_t& dx, int32_t& dy);
// Key presses and releases (engine key codes) and mouse buttons (0 left,
// 1 right, 2 middle, 3 fourth) in the order the event pump met them.
aInputQueue& keyQueue();
aInputQueue& buttonQueue();
// Counts the window's focus losses; a device acquired before the latest loss
// reads as lost until it is acquired again.
void noteFocusLost();
uint32_t focusLosses();

} // namespace sdlshared
