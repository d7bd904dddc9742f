#include <SDL.h>
#include <gtest/gtest.h>

#include <set>

#include "orvo/app/a_keys.h"
#include "orvo/platform/a_keytable.h"

TEST(KeyTable, ScanCodesMapToTheEngineNumberingAndBack)
{
    EXPECT_EQ(keytable_fromScancode(SDL_SCANCODE_ESCAPE), 0x01);
    EXPECT_EQ(keytable_fromScancode(SDL_SCANCODE_RETURN), 0x1C);
    EXPECT_EQ(keytable_fromScancode(SDL_SCANCODE_SPACE), 0x39);
    EXPECT_EQ(keytable_fromScancode(SDL_SCANCODE_UP), 0xC8);
    EXPECT_EQ(keytable_fromScancode(SDL_SCANCODE_LALT), 0x38);
    EXPECT_EQ(keytable_fromScancode(SDL_SCANCODE_RALT), 0xB8);
    EXPECT_EQ(keytable_fromScancode(SDL_SCANCODE_PRINTSCREEN), 0xB7);
    EXPECT_EQ(keytable_fromScancode(SDL_SCANCODE_KP_ENTER), 0x9C);
    EXPECT_EQ(keytable_fromScancode(SDL_SCANCODE_A), 0x1E);
    EXPECT_EQ(keytable_fromScancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(keytable_fromScancode(-1), 0);
    EXPECT_EQ(keytable_fromScancode(SDL_NUM_SCANCODES), 0);

    std::set<uint8_t> keys;
    for (int sc = 1; sc < SDL_NUM_SCANCODES; ++sc) {
        const uint8_t key = keytable_fromScancode(sc);
        if (!key)
            continue;
        keys.insert(key);
        EXPECT_EQ(keytable_fromScancode(keytable_toScancode(key)), key) << "scancode " << sc;
    }
    EXPECT_GE(keys.size(), 110u);
}
