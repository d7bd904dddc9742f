#include <gtest/gtest.h>

#include "orvo/app/a_localeserver.h"
#include "support/log_capture.h"

namespace {

using Strings = std::vector<std::string>;

struct LocaleFixture : ::testing::Test {
    kbtest::LogCapture log;
    kbtest::TempDir dir;
    aLocaleServer locale;
    std::string write(const std::string& name, const std::string& text)
    {
        kbtest::writeFile(dir.file(name), text);
        return dir.file(name);
    }
    std::wstring text(const std::string& key, const std::string& prefix = "")
    {
        const std::wstring* t = locale.getStringEx(key, prefix);
        return t ? *t : L"<missing>";
    }
};

} // namespace

TEST_F(LocaleFixture, LineFormsFileValuesPrefixesAndMalformedLinesLoggedWithTheirNumbers)
{
    locale.load(write("Main.txt", "\xEF\xBB\xBF" "app_name = \"Park \xD0\x96\"\r\n  ; comment \"x\"\n"
                                  "quoted = \"He said \"hi\" twice\"\nlines = \"one\\ntwo\\tthree\\\\n\"\n"
                                  "dup = \"first\"\ndup = \"second\"\ncut = \"A\xD0\x41\"\n"
                                  "wide = \"x\xF0\x9F\x98\x80y\"\n"));
    EXPECT_EQ(text("app_name"), L"Park \x0416"); // the signature did not join the first key
    EXPECT_EQ(text("quoted"), L"He said \"hi\" twice");
    EXPECT_EQ(text("lines"), L"one\ntwo\\tthree\\\n");
    EXPECT_EQ(text("dup"), L"second");
    EXPECT_EQ(text("cut"), L"A"); // broken UTF-8 cuts the text
    EXPECT_EQ(text("wide"), L"x\xFFFDy");
    const std::string bad = write("bad.txt", "nokeyseparator\none = \"quote\n\n\nnone = text\ngood = \"ok\"\n");
    locale.load(bad);
    EXPECT_EQ(text("good"), L"ok");
    // Dropped empty lines are not counted.
    const std::string error = "aLocaleServer. Error in file " + bad + ", line ";
    // Values from files, and prefixes.
    write("Lang/credits.txt", "\xEF\xBB\xBF" "Line one\r\nLine\\n two\r\n");
    locale.load(write("Lang/Main.txt", "credits = file, \"credits.txt\"\ngone = file, \"missing.txt\"\n"));
    EXPECT_EQ(text("credits"), L"Line one\nLine\\n two\n"); // no escapes in file texts
    EXPECT_EQ(text("gone"), L"");
    const std::string missing = "file_readFullAndMalloc. Error open file: " + dir.file("Lang/missing.txt");
    const std::string path = write("Plain.txt", "caption = \"Plain\"\n");
    locale.load(path);
    locale.load(path, "menu");
    locale.load(write("other.txt", "caption = \"Other\"\n"));
    EXPECT_EQ(text("caption"), L"Other");
    EXPECT_EQ(text("caption", "menu"), L"Plain");
    EXPECT_EQ(locale.getString("nothing", "menu"), L"");
    EXPECT_EQ(log.messages(),
              (Strings{error + "1", error + "2", error + "3", missing, "aLocaleServer. String [nothing] not found"}));
}
