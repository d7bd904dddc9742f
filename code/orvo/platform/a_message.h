// The messages of the main loop: window events of the platform, numbered as
// the application's window procedure expects them. Main thread only.
#pragma once

#include <cstdint>

enum aMessageId : uint32_t {
    A_MSG_NONE = 0x0000,
    A_MSG_DESTROY = 0x0002,
    A_MSG_SIZE = 0x0005,
    A_MSG_PAINT = 0x000F,
    A_MSG_CLOSE = 0x0010,
    A_MSG_QUIT = 0x0012,
    A_MSG_ACTIVATEAPP = 0x001C,
    A_MSG_SETCURSOR = 0x0020,
    A_MSG_SYSCOMMAND = 0x0112,
    A_MSG_MOUSEMOVE = 0x0200,
    A_MSG_ENTERMENULOOP = 0x0211,
    A_MSG_EXITMENULOOP = 0x0212,
    A_MSG_ENTERSIZEMOVE = 0x0231,
    A_MSG_EXITSIZEMOVE = 0x0232,
};

// wParam of A_MSG_SIZE.
constexpr uint64_t A_SIZE_MAXIMIZED = 2;
// wParam of A_MSG_SYSCOMMAND.
constexpr uint64_t A_SYSCMD_KEYMENU = 0xF100;
constexpr uint64_t A_SYSCMD_SCREENSAVE = 0xF140;
constexpr uint64_t A_SYSCMD_MONITORPOWER = 0xF170;

struct aMessage {
    uint32_t id = A_MSG_NONE;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};
