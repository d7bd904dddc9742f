// Platform-internal: what the SDL event pump learns for the SDL input device
// (wheel and motion between polls, a focus loss) and the shared start of
// SDL's video subsystem. Main thread only, except the wake-up.
#pragma once

#include <cstdint>

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
// Counts the window's focus losses; a device acquired before the latest loss
// reads as lost until it is acquired again.
void noteFocusLost();
uint32_t focusLosses();

} // namespace sdlshared
