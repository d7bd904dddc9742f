#include "orvo/platform/a_messagebox.h"

#include <SDL.h>

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_lock;
aMessageBoxSink g_sink;

} // namespace

void messagebox_show(aWindowHandle owner, const char* caption, const char* text, uint32_t flags)
{
    aMessageBoxRecord record{caption ? caption : "", text ? text : "", flags};
    aMessageBoxSink sink;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        sink = g_sink;
    }
    if (sink) {
        sink(record);
        return;
    }
    Uint32 kind = SDL_MESSAGEBOX_INFORMATION;
    if ((flags & 0xF0) == A_MB_ICONERROR)
        kind = SDL_MESSAGEBOX_ERROR;
    else if ((flags & 0xF0) == A_MB_ICONWARNING)
        kind = SDL_MESSAGEBOX_WARNING;
    if (SDL_ShowSimpleMessageBox(kind, record.caption.c_str(), record.text.c_str(),
                                 reinterpret_cast<SDL_Window*>(owner)) != 0)
        std::fprintf(stderr, "%s\n%s\n", record.caption.c_str(), record.text.c_str());
}

void messagebox_setSink(aMessageBoxSink sink)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_sink = std::move(sink);
}
