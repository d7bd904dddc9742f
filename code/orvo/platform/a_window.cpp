#include "orvo/platform/a_window.h"

#include <SDL.h>

namespace {

SDL_Window* sdl(aWindowHandle window)
{
    return reinterpret_cast<SDL_Window*>(window);
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

} // namespace

void window_raise(aWindowHandle window)
{
    if (window)
        SDL_RaiseWindow(sdl(window));
}

void window_minimize(aWindowHandle window)
{
    if (window)
        SDL_MinimizeWindow(sdl(window));
}

void window_restore(aWindowHandle window)
{
    if (window)
        SDL_RestoreWindow(sdl(window));
}

bool window_cursorPos(aWindowHandle window, int32_t& x, int32_t& y)
{
    x = y = 0;
    if (!window || !SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    int gx = 0, gy = 0, wx = 0, wy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    SDL_GetWindowPosition(sdl(window), &wx, &wy);
    if (SDL_GetMouseFocus() == sdl(window)) {
        // Inside the window SDL knows the position exactly, also where the
        // global position cannot be read (offscreen drivers).
        int lx = 0, ly = 0;
        SDL_GetMouseState(&lx, &ly);
        x = lx;
        y = ly;
        return true;
    }
    x = gx - wx;
    y = gy - wy;
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
