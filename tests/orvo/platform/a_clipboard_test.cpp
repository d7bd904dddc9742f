#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "orvo/platform/a_clipboard.h"

namespace {

std::string utf16(const std::u16string& text)
{
    std::string bytes;
    for (const char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes + std::string(2, '\0');
}

} // namespace

TEST(Clipboard, AnEmptyClipboardGivesNothingAndThroughSdlBothTextFormatsConvert)
{
    clipboard_useInProcess(true);
    std::string data;
    EXPECT_FALSE(clipboard_hasFormat(A_CF_UNICODETEXT) || clipboard_getData(A_CF_UNICODETEXT, data) ||
                 clipboard_setData(A_CF_TEXT, nullptr, 3));
    clipboard_useInProcess(false); // the text box tests copy and paste through the in-process one

    // SDL's clipboard holds UTF-8; both text formats are converted on the way.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        GTEST_SKIP() << SDL_GetError();
    const std::string sdlWide = utf16(u"\u0416\u00FC!");
    ASSERT_TRUE(clipboard_setData(A_CF_UNICODETEXT, sdlWide.data(), sdlWide.size()));
    EXPECT_TRUE(clipboard_hasFormat(A_CF_TEXT));
    EXPECT_TRUE(clipboard_getData(A_CF_UNICODETEXT, data) && data == sdlWide);
    ASSERT_TRUE(clipboard_getData(A_CF_TEXT, data));
    EXPECT_EQ(data, std::string("\xC6?!\0", 4)) << "U+00FC has no Windows-1251 byte";

    ASSERT_TRUE(clipboard_setData(A_CF_TEXT, "\xE6\0", 2));
    EXPECT_TRUE(clipboard_getData(A_CF_UNICODETEXT, data) && data == utf16(u"\u0436"));

    // A three-byte character, a surrogate pair and a lone surrogate (U+FFFD) in SDL's UTF-8.
    const std::string units = utf16(std::u16string{0x20AC, 0xD83D, 0xDE00, 0xD800, u'x'});
    ASSERT_TRUE(clipboard_setData(A_CF_UNICODETEXT, units.data(), units.size()));
    char* text = SDL_GetClipboardText();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), "\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBDx");
    SDL_free(text);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
