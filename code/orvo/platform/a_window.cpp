#include "orvo/platform/a_window.h"

#include <SDL.h>

#include <algorithm>

#include "orvo/platform/a_sdlshared.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/util/a_log.h"

namespace {

SDL_Window* sdl(aWindowHandle window)
{
    return reinterpret_cast<SDL_Window*>(window);
}

aWindowSink g_sink;

void report(const char* name, int32_t x = 0, int32_t y = 0, int32_t width = 0, int32_t height = 0)
{
    if (g_sink)
        g_sink(aWindowCall{name, x, y, width, height});
}

uint32_t g_cursorId = A_CURSOR_ARROW;
SDL_Cursor* g_cursor = nullptr;
bool g_applied = false;

SDL_SystemCursor systemCursorOf(uint32_t id)
{
    switch (id) {
    case 32513:
        return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514:
        return SDL_SYSTEM_CURSOR_WAIT;
    case 32515:
        return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642:
        return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643:
        return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644:
        return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645:
        return SDL_SYSTEM_CURSOR_SIZENS;
    case 32646:
        return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648:
        return SDL_SYSTEM_CURSOR_NO;
    case 32649:
        return SDL_SYSTEM_CURSOR_HAND;
    case 32650:
        return SDL_SYSTEM_CURSOR_WAITARROW;
    default:
        return SDL_SYSTEM_CURSOR_ARROW;
    }
}

bool setDisplayMode(SDL_Window* window, int32_t width, int32_t height, uint32_t refreshRate)
{
    SDL_DisplayMode wanted{};
    wanted.w = width;
    wanted.h = height;
    wanted.refresh_rate = static_cast<int>(refreshRate);
    SDL_DisplayMode mode{};
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
    if (!SDL_GetClosestDisplayMode(display, &wanted, &mode)) {
        a_log("platform. No display mode %ix%i (%s)", width, height, SDL_GetError());
        return false;
    }
    if (SDL_SetWindowDisplayMode(window, &mode) != 0) {
        a_log("platform. Display mode %ix%i refused (%s)", width, height, SDL_GetError());
        return false;
    }
    return true;
}

} // namespace

aWindowHandle window_create(const char* title, int32_t x, int32_t y, int32_t width, int32_t height, bool fullscreen,
                            uint32_t refreshRate)
{
    if (!sdlshared::ensureVideo())
        return nullptr;
    aGpuDeviceGL::prepareWindowAttributes();
    Uint32 flags = aGpuDeviceGL::requiredWindowFlags() | SDL_WINDOW_HIDDEN;
    if (fullscreen) {
        x = SDL_WINDOWPOS_UNDEFINED;
        y = SDL_WINDOWPOS_UNDEFINED;
    }
    SDL_Window* window = SDL_CreateWindow(title ? title : "", x, y, width, height, flags);
    if (!window) {
        a_log("platform. Window creation failed (%s)", SDL_GetError());
        return nullptr;
    }
    if (fullscreen && setDisplayMode(window, width, height, refreshRate))
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
    return reinterpret_cast<aWindowHandle>(window);
}

void window_destroy(aWindowHandle window)
{
    if (window)
        SDL_DestroyWindow(sdl(window));
}

bool window_setFullscreen(aWindowHandle window, int32_t width, int32_t height, uint32_t refreshRate)
{
    if (!window)
        return false;
    SDL_SetWindowSize(sdl(window), width, height);
    if (!setDisplayMode(sdl(window), width, height, refreshRate))
        return false;
    if (SDL_SetWindowFullscreen(sdl(window), SDL_WINDOW_FULLSCREEN) != 0) {
        a_log("platform. Fullscreen refused (%s)", SDL_GetError());
        return false;
    }
    return true;
}

void window_setWindowed(aWindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (!window)
        return;
    SDL_SetWindowFullscreen(sdl(window), 0);
    SDL_SetWindowBordered(sdl(window), SDL_TRUE);
    SDL_SetWindowSize(sdl(window), width, height);
    SDL_SetWindowPosition(sdl(window), x, y);
}

void window_show(aWindowHandle window)
{
    if (window)
        SDL_ShowWindow(sdl(window));
}

void window_raise(aWindowHandle window)
{
    report("raise");
    if (window)
        SDL_RaiseWindow(sdl(window));
}

void window_minimize(aWindowHandle window)
{
    report("minimize");
    if (window)
        SDL_MinimizeWindow(sdl(window));
}

void window_restore(aWindowHandle window)
{
    report("restore");
    if (window)
        SDL_RestoreWindow(sdl(window));
}

bool window_isMinimized(aWindowHandle window)
{
    return window && (SDL_GetWindowFlags(sdl(window)) & SDL_WINDOW_MINIMIZED) != 0;
}

bool window_getRect(aWindowHandle window, int32_t& x, int32_t& y, int32_t& width, int32_t& height)
{
    x = y = width = height = 0;
    if (!window)
        return false;
    int wx = 0, wy = 0, ww = 0, wh = 0;
    SDL_GetWindowPosition(sdl(window), &wx, &wy);
    SDL_GetWindowSize(sdl(window), &ww, &wh);
    int top = 0, left = 0, bottom = 0, right = 0;
    // Borders are unknown on some systems (offscreen, fullscreen): then the client area is the window.
    if (SDL_GetWindowBordersSize(sdl(window), &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
    x = wx - left;
    y = wy - top;
    width = ww + left + right;
    height = wh + top + bottom;
    return true;
}

void window_clipCursor(aWindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height)
{
    report("clipCursor", x, y, width, height);
    if (!window)
        return;
#if SDL_VERSION_ATLEAST(2, 0, 18)
    int wx = 0, wy = 0, ww = 0, wh = 0;
    SDL_GetWindowPosition(sdl(window), &wx, &wy);
    SDL_GetWindowSize(sdl(window), &ww, &wh);
    // SDL wants the part over the client area, relative to it.
    const int left = std::clamp(x - wx, 0, ww);
    const int top = std::clamp(y - wy, 0, wh);
    const int right = std::clamp(x + std::max(width, 0) - wx, 0, ww);
    const int bottom = std::clamp(y + std::max(height, 0) - wy, 0, wh);
    if (right > left && bottom > top) {
        const SDL_Rect rect{left, top, right - left, bottom - top};
        if (SDL_SetWindowMouseRect(sdl(window), &rect) == 0)
            return;
    }
#endif
    SDL_SetWindowGrab(sdl(window), SDL_TRUE);
}

void window_unclipCursor(aWindowHandle window)
{
    report("unclipCursor");
    if (!window)
        return;
#if SDL_VERSION_ATLEAST(2, 0, 18)
    SDL_SetWindowMouseRect(sdl(window), nullptr);
#endif
    SDL_SetWindowGrab(sdl(window), SDL_FALSE);
}

void window_setSink(aWindowSink sink)
{
    g_sink = std::move(sink);
}

bool window_cursorPos(aWindowHandle window, int32_t& x, int32_t& y)
{
    x = y = 0;
    if (!window || !SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    int px = 0, py = 0;
    if (SDL_GetMouseFocus() == sdl(window)) {
        // Over the window SDL knows the position without asking the display.
        SDL_GetMouseState(&px, &py);
    } else {
        int wx = 0, wy = 0;
        SDL_GetGlobalMouseState(&px, &py);
        SDL_GetWindowPosition(sdl(window), &wx, &wy);
        px -= wx;
        py -= wy;
    }
    x = px;
    y = py;
    return true;
}

void window_warpCursor(aWindowHandle window, int32_t x, int32_t y)
{
    if (window)
        SDL_WarpMouseInWindow(sdl(window), x, y);
}

void cursor_set(uint32_t cursorId)
{
    // Called on every pointer move: only a change reaches SDL.
    const bool changed = cursorId != g_cursorId;
    g_cursorId = cursorId;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        g_applied = false;
        return;
    }
    if (!changed && g_applied)
        return;
    g_applied = true;
    if (cursorId == 0) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_Cursor* next = SDL_CreateSystemCursor(systemCursorOf(cursorId));
    if (next) {
        SDL_SetCursor(next);
        // SDL only frees cursors it still knows, so a cursor of an earlier
        // video session is passed over safely.
        if (g_cursor)
            SDL_FreeCursor(g_cursor);
        g_cursor = next;
    }
    SDL_ShowCursor(SDL_ENABLE);
}

uint32_t cursor_current()
{
    return g_cursorId;
}
