#include <SDL.h>
#include <gtest/gtest.h>

#include <set>

#include "orvo/platform/a_keycodes.h"
#include "orvo/platform/a_keytable.h"

TEST(KeyTable, ScanCodesMapToTheEngineNumberingAndBack)
{
    // Left and right keys stay apart; out of range is no key.
    const std::pair<int, int> pairs[] = {
        {SDL_SCANCODE_LALT, A_KEY_LALT}, {SDL_SCANCODE_RALT, A_KEY_RALT}, {-1, 0}, {SDL_NUM_SCANCODES, 0}};
    for (const auto& [scancode, key] : pairs)
        EXPECT_EQ(keytable_fromScancode(scancode), key) << scancode;
    std::set<uint8_t> keys;
    for (int sc = 1; sc < SDL_NUM_SCANCODES; ++sc)
        if (const uint8_t key = keytable_fromScancode(sc)) {
            keys.insert(key);
            EXPECT_EQ(keytable_fromScancode(keytable_toScancode(key)), key) << "scancode " << sc;
        }
    EXPECT_GE(keys.size(), 110u);
}
