#include <gtest/gtest.h>

#include "orvo/util/a_stringlist.h"
#include "support/log_capture.h"

using Lines = std::vector<std::string>;

TEST(StringList, LineBreaksZeroBytesAndLongLines)
{
    kbtest::LogCapture log;
    const std::string ok(1023, 'a'), longLine(5000, 'b');
    const std::pair<std::string, Lines> cases[] = {
        {"a\rb\nc\n\r\r\nd", {"a", "b", "c", "d"}},          {"", {}}, {"  \n\tx ", {"  ", "\tx "}}, // blanks are text
        {std::string("ab\0cd\nef", 8), {"ab", "ef"}},        // a zero byte ends its line
        {ok + "\n" + longLine + "\nc", {ok, longLine, "c"}}, // logged, kept whole
    };
    for (const auto& [text, lines] : cases) {
        aStringList list;
        list.parse(text.data(), text.size());
        EXPECT_EQ(list.lines(), lines) << text;
    }
    EXPECT_EQ(log.messages(), Lines{"aStringList. Long string"});

    std::string many;
    for (int i = 0; i < 65536; ++i)
        many += "l\n";
    aStringList list;
    list.parse(many.data(), many.size());
    EXPECT_EQ(list.count(), 65536u);
    // A file of long lines logs a hundred of them and how many more there were.
    std::string longs;
    for (int i = 0; i < 250; ++i)
        longs += longLine + "\n";
    list.parse(longs.data(), longs.size());
    EXPECT_EQ(list.count(), 250u);
    const Lines logged = log.messages();
    ASSERT_EQ(logged.size(), 1u + 100u + 1u);
    EXPECT_EQ(logged.back(), "aStringList. Long string: 150 more lines like that were not logged");
}

TEST(StringList, CursorStaysAtTheEndWhenLinesAreAddedAndSaveLoadAndFailures)
{
    aStringList list;
    EXPECT_TRUE(list.isEnd());
    list.add("a");
    EXPECT_TRUE(list.isEnd() && list.get().empty()); // at the end get answers an empty line, not garbage
    list.rewind();
    EXPECT_EQ(list.get(), "a");
    list.next();
    list.next();
    list.add("b");
    EXPECT_TRUE(list.isEnd());

    kbtest::LogCapture log;
    kbtest::TempDir dir;
    ASSERT_TRUE(list.save(dir.file("out.txt").c_str()));
    EXPECT_EQ(kbtest::readFile(dir.file("out.txt")), "a\r\nb\r\n");
    const aStringList back(dir.file("out.txt").c_str());
    EXPECT_TRUE(back.lines() == (Lines{"a", "b"}) && back.get() == "a");

    const aStringList none(dir.file("none.txt").c_str());
    EXPECT_TRUE(none.isEnd() && none.count() == 0);
    const std::string bad = dir.file("no/such/folder/out.txt");
    EXPECT_FALSE(list.save(bad.c_str()));
    EXPECT_EQ(log.messages(), (Lines{"file_readFullAndMalloc. Error open file: " + dir.file("none.txt"),
                                     "aStringList. Cannot write file: " + bad}));
}
