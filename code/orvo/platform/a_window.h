// The main window as the engine above the platform sees it: an opaque handle
// and the few things the application, the input server and the error boxes do
// with it. The graph server's device layer creates and destroys the window.
// Main thread only. A null handle makes every operation do nothing.
#pragma once

#include <cstdint>

struct aNativeWindow;
using aWindowHandle = aNativeWindow*;

void window_raise(aWindowHandle window);
void window_minimize(aWindowHandle window);
void window_restore(aWindowHandle window);
// The pointer in client coordinates; false when it cannot be read.
bool window_cursorPos(aWindowHandle window, int32_t& x, int32_t& y);
void window_warpCursor(aWindowHandle window, int32_t x, int32_t y);

// System cursor ids as the application stores them (32512 is the arrow).
constexpr uint32_t A_CURSOR_ARROW = 32512;
// Shows the system cursor of that id, or hides the cursor for id 0.
void cursor_set(uint32_t cursorId);
// The id last given to cursor_set (0 while hidden).
uint32_t cursor_current();
