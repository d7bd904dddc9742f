#include "gui/hotkey.h"

#include "orvo/app/a_caselessless.h"
#include "orvo/app/a_keys.h"

namespace GUI {

namespace {

struct KeyName {
    const char* name;
    uint8_t key;
};

const KeyName kKeyNames[] = {
    {"0", A_KEY_0},
    {"1", A_KEY_1},
    {"2", A_KEY_2},
    {"3", A_KEY_3},
    {"4", A_KEY_4},
    {"5", A_KEY_5},
    {"6", A_KEY_6},
    {"7", A_KEY_7},
    {"8", A_KEY_8},
    {"9", A_KEY_9},
    {"a", A_KEY_A},
    {"b", A_KEY_B},
    {"c", A_KEY_C},
    {"d", A_KEY_D},
    {"e", A_KEY_E},
    {"f", A_KEY_F},
    {"g", A_KEY_G},
    {"h", A_KEY_H},
    {"i", A_KEY_I},
    {"j", A_KEY_J},
    {"k", A_KEY_K},
    {"l", A_KEY_L},
    {"m", A_KEY_M},
    {"n", A_KEY_N},
    {"o", A_KEY_O},
    {"p", A_KEY_P},
    {"q", A_KEY_Q},
    {"r", A_KEY_R},
    {"s", A_KEY_S},
    {"t", A_KEY_T},
    {"u", A_KEY_U},
    {"v", A_KEY_V},
    {"w", A_KEY_W},
    {"x", A_KEY_X},
    {"y", A_KEY_Y},
    {"z", A_KEY_Z},
    {"f1", A_KEY_F1},
    {"f2", A_KEY_F2},
    {"f3", A_KEY_F3},
    {"f4", A_KEY_F4},
    {"f5", A_KEY_F5},
    {"f6", A_KEY_F6},
    {"f7", A_KEY_F7},
    {"f8", A_KEY_F8},
    {"f9", A_KEY_F9},
    {"f10", A_KEY_F10},
    {"f11", A_KEY_F11},
    {"f12", A_KEY_F12},
    {"num0", A_KEY_KP_0},
    {"num1", A_KEY_KP_1},
    {"num2", A_KEY_KP_2},
    {"num3", A_KEY_KP_3},
    {"num4", A_KEY_KP_4},
    {"num5", A_KEY_KP_5},
    {"num6", A_KEY_KP_6},
    {"num7", A_KEY_KP_7},
    {"num8", A_KEY_KP_8},
    {"num9", A_KEY_KP_9},
    {"numenter", A_KEY_KP_ENTER},
    {"num+", A_KEY_KP_PLUS},
    {"num/", A_KEY_KP_DIVIDE},
    {"num.", A_KEY_KP_PERIOD},
    {"num*", A_KEY_KP_MULTIPLY},
    {"num-", A_KEY_KP_MINUS},
    {"'", A_KEY_APOSTROPHE},
    {"`", A_KEY_GRAVE},
    {"/", A_KEY_SLASH},
    {"\\", A_KEY_BACKSLASH},
    {".", A_KEY_PERIOD},
    {"-", A_KEY_MINUS},
    {"=", A_KEY_EQUALS},
    {"[", A_KEY_LBRACKET},
    {"]", A_KEY_RBRACKET},
    {";", A_KEY_SEMICOLON},
    {"backspace", A_KEY_BACKSPACE},
    {"capslock", A_KEY_CAPSLOCK},
    {"scrolllock", A_KEY_SCROLLLOCK},
    {"numlock", A_KEY_NUMLOCK},
    {"insert", A_KEY_INSERT},
    {"delete", A_KEY_DELETE},
    {"left", A_KEY_LEFT},
    {"right", A_KEY_RIGHT},
    {"up", A_KEY_UP},
    {"down", A_KEY_DOWN},
    {"end", A_KEY_END},
    {"esc", A_KEY_ESCAPE},
    {"home", A_KEY_HOME},
    {"enter", A_KEY_ENTER},
    {"pageup", A_KEY_PAGEUP},
    {"pagedown", A_KEY_PAGEDOWN},
    {"pause", A_KEY_PAUSE},
    {"lctrl", A_KEY_LCONTROL},
    {"rctrl", A_KEY_RCONTROL},
    {"lalt", A_KEY_LALT},
    {"ralt", A_KEY_RALT},
    {"lshift", A_KEY_LSHIFT},
    {"rshift", A_KEY_RSHIFT},
    {"tab", A_KEY_TAB},
    {"space", A_KEY_SPACE},
};
static_assert(sizeof kKeyNames / sizeof kKeyNames[0] == 99);

struct ModifierName {
    const char* name;
    uint32_t bit;
};

// In the order they are tried: a leading part of a name counts as the name.
const ModifierName kModifiers[] = {{"shift", 1}, {"alt", 4}, {"ctrl", 2}};

bool isSeparator(char c)
{
    return c == '|' || c == ' ' || c == '\t';
}

} // namespace

uint32_t HotkeyCode(const std::string& name)
{
    for (const KeyName& k : kKeyNames)
        if (caseless_equal(name, k.name))
            return k.key;
    return 0;
}

void ParseHotkey(const std::string& text, uint32_t& key, uint32_t& modifiers)
{
    key = 0;
    modifiers = 0;
    size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string::npos)
        return;
    for (;;) {
        size_t end = pos;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        const std::string word = text.substr(pos, end - pos);
        if (end == text.size()) {
            key = HotkeyCode(word);
            return;
        }
        for (const ModifierName& m : kModifiers) {
            const std::string name = m.name;
            if (word.size() <= name.size() && caseless_equalN(word.data(), name.data(), word.size())) {
                modifiers |= m.bit;
                break;
            }
        }
        pos = end + 1;
    }
}

} // namespace GUI
