// The arguments of widget events: built on the stack by the code that fires
// an event and handed to every subscriber by const reference. Each
// subscriber's answer is ORed into `handled`, which is why it is mutable.
#pragma once

#include <cstdint>

namespace GUI {

class Widget;

// Modifier bits of mouse and keyboard arguments. Hot keys compare only the low three.
enum Modifier : uint32_t {
    MOD_SHIFT = 1,
    MOD_CTRL = 2,
    MOD_ALT = 4,
    MOD_CAPSLOCK = 8,
    MOD_SCROLLLOCK = 16,
    MOD_NUMLOCK = 32,
};

// Mouse buttons; BUTTON_NONE marks "no button held" in the server.
enum MouseButton : uint32_t {
    BUTTON_LEFT = 0,
    BUTTON_RIGHT = 1,
    BUTTON_MIDDLE = 2,
    BUTTON_NONE = 3,
};

class EventArgs {
public:
    virtual ~EventArgs() = default;

    mutable bool handled = false;
};

class WidgetEventArgs : public EventArgs {
public:
    WidgetEventArgs() = default;
    explicit WidgetEventArgs(Widget* w) : widget(w) {}

    Widget* widget = nullptr;
};

class MouseEventArgs : public WidgetEventArgs {
public:
    uint32_t modifiers = 0;
    uint32_t button = BUTTON_LEFT;
    float wheel = 0.0f; // notches of this frame (raw delta / 120)
    int32_t x = 0;      // relative to the widget's top-left corner on screen
    int32_t y = 0;
    int32_t dx = 0; // pointer movement since the previous frame
    int32_t dy = 0;
};

class KeybEventArgs : public WidgetEventArgs {
public:
    uint32_t modifiers = 0;
    uint32_t key = 0;   // engine key code 0-255
    char character = 0; // the key's character on a US English layout, 0 when none
};

} // namespace GUI
