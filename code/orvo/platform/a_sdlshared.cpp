#include "orvo/platform/a_sdlshared.h"

#include <SDL.h>

#include <atomic>

#include "orvo/util/a_log.h"

namespace sdlshared {
namespace {

int32_t g_wheel = 0;
int32_t g_motionX = 0;
int32_t g_motionY = 0;
uint32_t g_focusLosses = 0;
aInputQueue g_keys;
aInputQueue g_buttons;
std::atomic<uint32_t> g_wakeType{0};

} // namespace

bool ensureVideo()
{
    // Closing the window is a request the application may refuse; SDL must
    // not turn it into a quit of its own (also when the device started SDL).
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        a_log("platform. SDL video start failed (%s)", SDL_GetError());
        return false;
    }
    if (g_wakeType.load() == 0) {
        const Uint32 type = SDL_RegisterEvents(1);
        if (type != static_cast<Uint32>(-1))
            g_wakeType = type;
    }
    return true;
}

void wakeEventLoop()
{
    const uint32_t type = g_wakeType.load();
    if (type == 0 || !SDL_WasInit(SDL_INIT_EVENTS))
        return;
    SDL_Event e{};
    e.type = type;
    SDL_PushEvent(&e);
}

uint32_t wakeEventType()
{
    return g_wakeType.load();
}

void addWheel(int32_t delta)
{
    g_wheel += delta;
}

int32_t takeWheel()
{
    const int32_t w = g_wheel;
    g_wheel = 0;
    return w;
}

void addMotion(int32_t dx, int32_t dy)
{
    g_motionX += dx;
    g_motionY += dy;
}

void takeMotion(int32_t& dx, int32_t& dy)
{
    dx = g_motionX;
    dy = g_motionY;
    g_motionX = g_motionY = 0;
}

aInputQueue& keyQueue()
{
    return g_keys;
}

aInputQueue& buttonQueue()
{
    return g_buttons;
}

void noteFocusLost()
{
    ++g_focusLosses;
}

uint32_t focusLosses()
{
    return g_focusLosses;
}

} // namespace sdlshared
