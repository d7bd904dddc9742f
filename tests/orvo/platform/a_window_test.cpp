#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvo/platform/a_window.h"

namespace {

struct Recorded {
    Recorded()
    {
        window_setSink([this](const aWindowCall& c) { calls.push_back(c); });
    }
    ~Recorded() { window_setSink({}); }
    std::vector<aWindowCall> calls;
};

} // namespace

TEST(Window, RectAndCursorClipAreRecordedAndHarmlessWithoutAWindow)
{
    Recorded rec;
    int32_t x = 1, y = 1, w = 1, h = 1;
    EXPECT_FALSE(window_getRect(nullptr, x, y, w, h));
    EXPECT_EQ(x | y | w | h, 0);
    EXPECT_FALSE(window_isMinimized(nullptr));
    window_clipCursor(nullptr, 10, 20, 1024, 768);
    window_unclipCursor(nullptr);
    window_restore(nullptr);
    window_raise(nullptr);
    ASSERT_EQ(rec.calls.size(), 4u);
    EXPECT_EQ(rec.calls[0].name, "clipCursor");
    EXPECT_EQ(rec.calls[0].x, 10);
    EXPECT_EQ(rec.calls[0].y, 20);
    EXPECT_EQ(rec.calls[0].width, 1024);
    EXPECT_EQ(rec.calls[0].height, 768);
    EXPECT_EQ(rec.calls[1].name, "unclipCursor");
    EXPECT_EQ(rec.calls[2].name, "restore");
    EXPECT_EQ(rec.calls[3].name, "raise");
}

TEST(Window, TheRectangleOfARealWindowHoldsItsClientAreaAndTheClipFollowsIt)
{
    aWindowHandle window = window_create("rect", 40, 30, 320, 200, false, 0);
    if (!window)
        GTEST_SKIP() << "no window can be made here";
    int32_t x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(window_getRect(window, x, y, w, h));
    EXPECT_GE(w, 320);
    EXPECT_GE(h, 200);
    // Inside, outside and across the window: never refused, always undone.
    window_clipCursor(window, x, y, w, h);
    window_clipCursor(window, x - 5000, y - 5000, 10, 10);
    window_clipCursor(window, x + 10, y + 10, -5, 0);
    window_unclipCursor(window);
    EXPECT_FALSE(window_isMinimized(window));
    window_destroy(window);
}
