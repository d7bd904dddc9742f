#include "orvo/platform/a_keyboardlayout.h"

#include <SDL.h>

namespace {

std::string& fixedName()
{
    static std::string name;
    return name;
}

// The US letters of the keys that tell the common layouts apart.
bool keysAreUS()
{
    const struct {
        SDL_Scancode scancode;
        SDL_Keycode key;
    } probes[] = {{SDL_SCANCODE_Q, SDLK_q},
                  {SDL_SCANCODE_W, SDLK_w},
                  {SDL_SCANCODE_Y, SDLK_y},
                  {SDL_SCANCODE_Z, SDLK_z},
                  {SDL_SCANCODE_A, SDLK_a},
                  {SDL_SCANCODE_M, SDLK_m},
                  {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON}};
    for (const auto& p : probes)
        if (SDL_GetKeyFromScancode(p.scancode) != p.key)
            return false;
    return true;
}

} // namespace

std::string keyboard_getLayoutName()
{
    if (!fixedName().empty())
        return fixedName();
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || keysAreUS())
        return "00000409";
    const SDL_Keycode q = SDL_GetKeyFromScancode(SDL_SCANCODE_Q);
    if (q >= 0x400 && q < 0x500)
        return "00000419";
    return "00000000";
}

void keyboard_setLayoutName(const std::string& name)
{
    fixedName() = name;
}
