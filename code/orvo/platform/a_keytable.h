// Maps the SDL scancodes (USB usage numbering) onto the engine's key codes
// (orvo/platform/a_keycodes.h). Pure table look-ups, any thread.
#pragma once

#include <cstdint>

// The engine key code of an SDL scancode, 0 when the key has none.
uint8_t keytable_fromScancode(int scancode);
// The SDL scancode of an engine key code, 0 when no scancode maps to it.
int keytable_toScancode(uint8_t key);
