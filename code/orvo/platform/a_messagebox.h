// Modal message boxes (error boxes, the crash dialog). Shown through SDL; a
// sink set by a test receives them instead. Main thread (crash paths may call
// it from any thread; only one box is shown at a time).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "orvo/platform/a_window.h"

// Style flags: the icon kinds the engine uses.
constexpr uint32_t A_MB_ICONERROR = 0x0010;
constexpr uint32_t A_MB_ICONWARNING = 0x0030;
constexpr uint32_t A_MB_SYSTEMMODAL = 0x1000;

struct aMessageBoxButton {
    int32_t id = 0;
    std::string text;
};

struct aMessageBoxRecord {
    std::string caption;
    std::string text;
    uint32_t flags = 0;
    std::vector<aMessageBoxButton> buttons; // empty for a plain box
    int32_t choice = -1;                    // a sink answers a box with buttons here
};

using aMessageBoxSink = std::function<void(aMessageBoxRecord&)>;

// Returns after the box was closed. Without a display the text goes to stderr.
void messagebox_show(aWindowHandle owner, const char* caption, const char* text, uint32_t flags);
// A box with buttons; returns the id of the button pressed, or -1 when no box
// could be shown (no display) or it was closed without a choice. Return and
// escape pick the buttons of those ids.
int32_t messagebox_choose(aWindowHandle owner, const char* caption, const char* text, uint32_t flags,
                          const std::vector<aMessageBoxButton>& buttons, int32_t returnId, int32_t escapeId);
// A non-empty sink takes every box instead of the screen; an empty one puts the screen back.
void messagebox_setSink(aMessageBoxSink sink);
