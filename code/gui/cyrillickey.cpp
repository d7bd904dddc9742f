#include "gui/cyrillickey.h"

#include <cstdint>

#include "orvo/platform/a_keyboardlayout.h"
#include "orvo/util/a_string.h"

namespace GUI {

namespace {

struct KeyPair {
    char key;
    uint8_t letter;
};

// The Russian standard layout over the US key characters; the first match wins.
constexpr KeyPair kPairs[] = {
    {'~', 0xA8},  {'Q', 0xC9}, {'W', 0xD6}, {'E', 0xD3}, {'R', 0xCA}, {'T', 0xC5}, {'Y', 0xCD}, {'U', 0xC3},
    {'I', 0xD8},  {'O', 0xD9}, {'P', 0xC7}, {'{', 0xD5}, {'}', 0xDA}, {'A', 0xD4}, {'S', 0xDB}, {'D', 0xC2},
    {'F', 0xC0},  {'G', 0xCF}, {'H', 0xD0}, {'J', 0xCE}, {'K', 0xCB}, {'L', 0xC4}, {':', 0xC6}, {'"', 0xDD},
    {'Z', 0xDF},  {'X', 0xD7}, {'C', 0xD1}, {'V', 0xCC}, {'B', 0xC8}, {'N', 0xD2}, {'M', 0xDC}, {'<', 0xC1},
    {'>', 0xDE},  {'`', 0xB8}, {'q', 0xE9}, {'w', 0xF6}, {'e', 0xF3}, {'r', 0xEA}, {'t', 0xE5}, {'y', 0xED},
    {'u', 0xE3},  {'i', 0xF8}, {'o', 0xF9}, {'p', 0xE7}, {'[', 0xF5}, {']', 0xFA}, {'a', 0xF4}, {'s', 0xFB},
    {'d', 0xE2},  {'f', 0xE0}, {'g', 0xEF}, {'h', 0xF0}, {'j', 0xEE}, {'k', 0xEB}, {'l', 0xE4}, {';', 0xE6},
    {'\'', 0xFD}, {'z', 0xFF}, {'x', 0xF7}, {'c', 0xF1}, {'v', 0xEC}, {'b', 0xE8}, {'n', 0xF2}, {'m', 0xFC},
    {',', 0xE1},  {'.', 0xFE}, {'@', 0x22}, {'#', 0xB9}, {'$', 0x3B}, {'^', 0x3A}, {'&', 0x3F}, {'*', 0x2A},
    {'|', 0x2F},  {'/', 0x2E}, {'?', 0x2C},
};
static_assert(sizeof(kPairs) / sizeof(kPairs[0]) == 75);

} // namespace

char MapCyrillicKey(char c)
{
    // The layout name is eight hexadecimal digits, compared as a decimal number.
    if (string_toInt(keyboard_getLayoutName()) == 409)
        return c;
    for (const KeyPair& pair : kPairs)
        if (pair.key == c)
            return static_cast<char>(pair.letter);
    return c;
}

} // namespace GUI
