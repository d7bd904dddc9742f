// The main window as the engine above the platform sees it: an opaque handle
// and what the graph server, the application, the input server and the error
// boxes do with it. The window is made for the OpenGL device, which presents
// into it. Main thread only. A null handle makes every operation do nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct aNativeWindow;
using aWindowHandle = aNativeWindow*;

// A window with a title bar at x, y (client area) or, fullscreen, in the
// display mode of its size; null (logged) when it cannot be made.
aWindowHandle window_create(const char* title, int32_t x, int32_t y, int32_t width, int32_t height, bool fullscreen,
                            uint32_t refreshRate);
void window_destroy(aWindowHandle window);
// Switches the display to the mode of this size (refresh 0: any) and covers it.
bool window_setFullscreen(aWindowHandle window, int32_t width, int32_t height, uint32_t refreshRate);
// Back to a window with a title bar, client area at x, y.
void window_setWindowed(aWindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height);
void window_show(aWindowHandle window);
void window_raise(aWindowHandle window);
void window_minimize(aWindowHandle window);
void window_restore(aWindowHandle window);
bool window_isMinimized(aWindowHandle window);
// The window's outer rectangle on the desktop; false (all 0) without one.
bool window_getRect(aWindowHandle window, int32_t& x, int32_t& y, int32_t& width, int32_t& height);
// Keeps the pointer inside a desktop rectangle (the part of it over the
// window: SDL confines the pointer to its own window) until unclipped.
void window_clipCursor(aWindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height);
void window_unclipCursor(aWindowHandle window);
// The pointer in client coordinates; false when it cannot be read.
bool window_cursorPos(aWindowHandle window, int32_t& x, int32_t& y);
void window_warpCursor(aWindowHandle window, int32_t x, int32_t y);

// What the engine asks of the window, as tests see it: with a sink set, each
// raise, restore, minimise and cursor clip is reported to it (with or
// without a window) before it is carried out. An empty sink stops reporting.
struct aWindowCall {
    std::string name; // "raise", "restore", "minimize", "clipCursor", "unclipCursor"
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};
using aWindowSink = std::function<void(const aWindowCall&)>;
void window_setSink(aWindowSink sink);

// System cursor ids as the application stores them (32512 is the arrow).
constexpr uint32_t A_CURSOR_ARROW = 32512;
// Shows the system cursor of that id, or hides the cursor for id 0.
void cursor_set(uint32_t cursorId);
// The id last given to cursor_set (0 while hidden).
uint32_t cursor_current();
