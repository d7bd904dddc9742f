#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvo/platform/a_window.h"

TEST(Window, CallsAreRecordedAndHarmlessWithoutAWindowAndTheClipFollowsARealOne)
{
    std::vector<std::string> calls;
    window_setSink([&calls](const aWindowCall& c) {
        calls.push_back(c.name + " " + std::to_string(c.x) + "," + std::to_string(c.y) + " " + std::to_string(c.width));
    });
    int32_t x = 1, y = 1, w = 1, h = 1;
    EXPECT_FALSE(window_getRect(nullptr, x, y, w, h) || window_isMinimized(nullptr));
    EXPECT_EQ(x | y | w | h, 0);
    window_clipCursor(nullptr, 10, 20, 1024, 768);
    window_raise(nullptr);
    window_setSink({});
    EXPECT_EQ(calls, (std::vector<std::string>{"clipCursor 10,20 1024", "raise 0,0 0"}));

    aWindowHandle window = window_create("rect", 40, 30, 320, 200, false, 0);
    if (!window)
        GTEST_SKIP() << "no window can be made here";
    ASSERT_TRUE(window_getRect(window, x, y, w, h) && w >= 320 && h >= 200);
    // Inside, outside and across the window: never refused, always undone.
    window_clipCursor(window, x, y, w, h);
    window_clipCursor(window, x - 5000, y - 5000, 10, 10);
    window_clipCursor(window, x + 10, y + 10, -5, 0);
    window_unclipCursor(window);
    window_destroy(window);
}
