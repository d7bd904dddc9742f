#include <gtest/gtest.h>

#include "orvo/app/a_scriptloader.h"
#include "support/log_capture.h"

namespace {

using Strings = std::vector<std::string>;

std::string joined(const aScriptLoader::Words& words)
{
    std::string out;
    for (size_t i = 0; i < words.size(); ++i)
        out += (i ? "|" : "") + words[i];
    return out;
}

// Notes every callback; a header starting "skip" is ignored, others open blocks numbered 1, 2, ...
class Recorder : public aScriptLoader {
public:
    Strings calls;
    int32_t nextValue = 1;

protected:
    void OnScriptBegin(const std::string& path) override { calls.push_back("begin " + path); }
    void OnScriptEnd(const std::string& path) override { calls.push_back("finish " + path); }
    int32_t OnSectionHeader(int32_t parent, const Words& words) override
    {
        const int32_t value = (!words.empty() && words[0] == "skip") ? 0 : nextValue++;
        calls.push_back("header " + std::to_string(parent) + " [" + joined(words) + "] -> " + std::to_string(value));
        return value;
    }
    void OnSectionEnd(int32_t value) override { calls.push_back("end " + std::to_string(value)); }
    void OnSectionLine(int32_t value, const Words& words) override
    {
        calls.push_back("line " + std::to_string(value) + " [" + joined(words) + "]");
    }
};

struct ScriptFixture : ::testing::Test {
    kbtest::LogCapture log;
    kbtest::TempDir dir;
    Recorder script;
    std::string write(const std::string& name, const std::string& text)
    {
        kbtest::writeFile(dir.file(name), text);
        return dir.file(name);
    }
    // The callbacks between begin and finish.
    Strings run(const std::string& text)
    {
        const std::string path = write("s.agui", text);
        script.calls.clear();
        script.nextValue = 1;
        script.load(path);
        EXPECT_GE(script.calls.size(), 2u);
        EXPECT_EQ(script.calls.front(), "begin " + path);
        EXPECT_EQ(script.calls.back(), "finish " + path);
        return Strings(script.calls.begin() + 1, script.calls.end() - 1);
    }
    // The log lines since the last call.
    Strings logged()
    {
        const Strings all = log.messages();
        return Strings(all.begin() + static_cast<long>(std::exchange(seen, all.size())), all.end());
    }
    size_t seen = 0;
    std::string error(int line, const std::string& name = "s.agui")
    {
        return "Error in script \"" + dir.file(name) + "\", line " + std::to_string(line);
    }
};

} // namespace

TEST_F(ScriptFixture, BlocksLinesWordsAndMacros)
{
    EXPECT_EQ(run("window main\n{\n  Caption \"Hello world\"  \n\tAreaRect 0 0 10 10\n  button ok\n  {\n"
                  "    Text ok\n  }\n}\n"),
              (Strings{"header 0 [window|main] -> 1", "line 1 [Caption|Hello world]", "line 1 [AreaRect|0|0|10|10]",
                       "header 1 [button|ok] -> 2", "line 2 [Text|ok]", "end 2", "end 1"}));
    // A skipped block skips its inner blocks; a UTF-8 signature is skipped too.
    EXPECT_EQ(run("\xEF\xBB\xBFskip\n{\n a 1\n inner\n {\n b 2\n }\n}\nnext\n{\n}\n"),
              (Strings{"header 0 [skip] -> 0", "header 0 [next] -> 1", "end 1"}));
    // A missing file still begins and ends.
    script.calls.clear();
    script.load(dir.file("none.agui"));
    EXPECT_EQ(script.calls.size(), 2u);
    EXPECT_EQ(run("h\n{\n\"two words\" plain\n\"a\"\"b\" c\"d e\n\"\" x\nopen \"never closed\n}\n"),
              (Strings{"header 0 [h] -> 1", "line 1 [two words|plain]", "line 1 [a|b|c\"d|e]", "line 1 [|x]",
                       "line 1 [open]", "end 1"}));
    EXPECT_EQ(run("#define W \"wide one\"\n#define  N \"7\"\nh\n{\nsize $N$ $W$ $undefined$ $N$$N$\nlone $N\n}\n"),
              (Strings{"header 0 [h] -> 1", "line 1 [size|7|wide|one|$undefined$|77]", "line 1 [lone|$N]", "end 1"}));
    // A new script starts without macros, and a later define wins.
    EXPECT_EQ(run("#define X \"1\"\n#define X \"2\"\nh\n{\nv $X$ $W$\n}\n"),
              (Strings{"header 0 [h] -> 1", "line 1 [v|2|$W$]", "end 1"}));
}

TEST_F(ScriptFixture, PendingLinesUnclosedBlocksSyntaxErrorsAndBoundedIncludesAreLoggedAndSkipped)
{
    // Comments and defines between a header and its "{" leave the header alone;
    // a second ordinary line takes its place and the first is dropped at top level.
    EXPECT_EQ(run("first\n; comment\n#define A \"1\"\nsecond\nheader $A$\n{\n x\n}\n"),
              (Strings{"header 0 [header|1] -> 1", "line 1 [x]", "end 1"}));
    // "name {" on one line is an ordinary line; a "{" without a pending line is an error.
    EXPECT_EQ(run("name {\n{\n}\n{\n"), (Strings{"header 0 [name|{] -> 1", "end 1"}));
    EXPECT_EQ(logged(), (Strings{error(4)}));
    EXPECT_EQ(run("loose line\nh\n{\n a\n b\n"), (Strings{"header 0 [h] -> 1", "line 1 [a]"}));
    // A script cut short says so, naming the file that left its blocks open, included or not.
    EXPECT_EQ(logged(), (Strings{"Error in script \"" + dir.file("s.agui") + "\", 1 block(s) not closed at its end"}));
    const std::string cut = write("cut.agui", "shared\n{\n inner\n {\n");
    EXPECT_EQ(run("top\n{\n}\n#include \"" + cut + "\"\n").size(), 4u);
    EXPECT_EQ(logged(), (Strings{"Error in script \"" + cut + "\", 2 block(s) not closed at its end",
                                 "Error in script \"" + dir.file("s.agui") + "\", 2 block(s) not closed at its end"}));
    // A file of nothing but errors logs a hundred and the count of the rest.
    std::string closers;
    for (int i = 0; i < 250; ++i)
        closers += "}\n";
    EXPECT_EQ(run(closers), Strings{});
    const Strings errors = logged();
    ASSERT_EQ(errors.size(), 101u);
    EXPECT_EQ(errors[99], error(100));
    EXPECT_EQ(errors[100], "Error in script \"" + dir.file("s.agui") + "\": 150 more lines like that were not logged");
    // The next script starts with no open block: its "}" is an error.
    EXPECT_EQ(run("}\n{\n#define\n#define NAME\n#define N \"only\n#include nothing\n#include\"x\"\n"
                  "h\n{\nv $N$\n}\n"),
              (Strings{"header 0 [h] -> 1", "line 1 [v]", "end 1"}));
    // "#define N" with one quote created N with an empty text.
    EXPECT_EQ(logged(), (Strings{error(1), error(2), error(3), error(4), error(5), error(6), error(7)}));
    // Includes continue the includer; includes and macro growth are bounded.
    const std::string inc = write("inc.agui", "#define B \"bee\"\n inner line\n}\nbroken\n}\n");
    EXPECT_EQ(run("h\n{\n first\n#include \"" + inc + "\"\nafter $B$\n{\n}\n"),
              (Strings{"header 0 [h] -> 1", "line 1 [first]", "line 1 [inner|line]", "end 1",
                       "header 0 [after|bee] -> 2", "end 2"}));
    // The included file's errors name it and its own line numbers.
    EXPECT_EQ(logged(), (Strings{error(5, "inc.agui")}));
    const std::string path = dir.file("s.agui");
    EXPECT_EQ(run("#include \"" + path + "\"\nh\n{\n}\n").size(), 2u * (1 + aScriptLoader::MAX_INCLUDE_DEPTH));
    const std::string limit = "aScriptLoader. Too many includes in \"" + path + "\", line 1";
    EXPECT_EQ(logged(), (Strings{limit}));
    // Including itself twice: the count of included files stops it, logged once.
    EXPECT_EQ(run("#include \"" + path + "\"\n#include \"" + path + "\"\nh\n{\n}\n").size(),
              2u * (1 + aScriptLoader::MAX_INCLUDES));
    EXPECT_EQ(logged(), (Strings{limit}));
    const std::string big(1000, 'x');
    std::string uses;
    for (int i = 0; i < 2000; ++i)
        uses += "$M$";
    EXPECT_EQ(run("#define M \"" + big + "\"\nh\n{\n" + uses + "\nsmall $M$\n}\n"),
              (Strings{"header 0 [h] -> 1", "line 1 [small|" + big + "]", "end 1"}));
    EXPECT_EQ(logged(), (Strings{"aStringList. Long string", error(4)}));
}
