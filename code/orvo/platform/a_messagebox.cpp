#include "orvo/platform/a_messagebox.h"

#include <SDL.h>

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_lock;
aMessageBoxSink g_sink;

aMessageBoxSink currentSink()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_sink;
}

Uint32 sdlKind(uint32_t flags)
{
    if ((flags & 0xF0) == A_MB_ICONERROR)
        return SDL_MESSAGEBOX_ERROR;
    if ((flags & 0xF0) == A_MB_ICONWARNING)
        return SDL_MESSAGEBOX_WARNING;
    return SDL_MESSAGEBOX_INFORMATION;
}

} // namespace

void messagebox_show(aWindowHandle owner, const char* caption, const char* text, uint32_t flags)
{
    aMessageBoxRecord record{caption ? caption : "", text ? text : "", flags, {}, -1};
    if (aMessageBoxSink sink = currentSink()) {
        sink(record);
        return;
    }
    if (SDL_ShowSimpleMessageBox(sdlKind(flags), record.caption.c_str(), record.text.c_str(),
                                 reinterpret_cast<SDL_Window*>(owner)) != 0)
        std::fprintf(stderr, "%s\n%s\n", record.caption.c_str(), record.text.c_str());
}

int32_t messagebox_choose(aWindowHandle owner, const char* caption, const char* text, uint32_t flags,
                          const std::vector<aMessageBoxButton>& buttons, int32_t returnId, int32_t escapeId)
{
    aMessageBoxRecord record{caption ? caption : "", text ? text : "", flags, buttons, -1};
    if (aMessageBoxSink sink = currentSink()) {
        sink(record);
        return record.choice;
    }
    std::vector<SDL_MessageBoxButtonData> sdlButtons;
    for (const aMessageBoxButton& b : buttons) {
        Uint32 buttonFlags = 0;
        if (b.id == returnId)
            buttonFlags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (b.id == escapeId)
            buttonFlags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        sdlButtons.push_back({buttonFlags, b.id, b.text.c_str()});
    }
    SDL_MessageBoxData data{};
    data.flags = sdlKind(flags) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.window = reinterpret_cast<SDL_Window*>(owner);
    data.title = record.caption.c_str();
    data.message = record.text.c_str();
    data.numbuttons = static_cast<int>(sdlButtons.size());
    data.buttons = sdlButtons.data();
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        std::fprintf(stderr, "%s\n%s\n", record.caption.c_str(), record.text.c_str());
        return -1;
    }
    return pressed;
}

void messagebox_setSink(aMessageBoxSink sink)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_sink = std::move(sink);
}
