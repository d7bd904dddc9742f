#include <gtest/gtest.h>

#include "orvo/util/a_stringlist.h"
#include "support/log_capture.h"

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    aStringList list;
    list.parse(text.data(), text.size());
    std::vector<std::string> out;
    for (list.rewind(); !list.isEnd(); list.next())
        out.push_back(list.get());
    return out;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(StringList, LineBreaks)
{
    EXPECT_EQ(linesOf("a\r\n\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("\r\na"), (Lines{"a"}));
    EXPECT_EQ(linesOf("a\rb\nc\n\r\r\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(linesOf("last"), (Lines{"last"}));
    EXPECT_EQ(linesOf("\r\n\n\r"), Lines{});
    EXPECT_EQ(linesOf(""), Lines{});
    // Blanks are text: a line of blanks is a line.
    EXPECT_EQ(linesOf("  \n\tx "), (Lines{"  ", "\tx "}));
}

TEST(StringList, ZeroByteEndsItsLine)
{
    EXPECT_EQ(linesOf(std::string("ab\0cd\nef", 8)), (Lines{"ab", "ef"}));
    EXPECT_EQ(linesOf(std::string("\0x\ny", 4)), (Lines{"", "y"}));
}

TEST(StringList, LongLinesAreLoggedAndKeptWhole)
{
    kbtest::LogCapture log;
    const std::string ok(1023, 'a');
    const std::string longLine(5000, 'b');
    EXPECT_EQ(linesOf(ok + "\n" + longLine + "\nc"), (Lines{ok, longLine, "c"}));
    EXPECT_EQ(log.messages(), (Lines{"aStringList. Long string"}));
}

TEST(StringList, CountsPast16Bits)
{
    std::string text;
    for (int i = 0; i < 65536; ++i)
        text += "l\n";
    aStringList list;
    list.parse(text.data(), text.size());
    EXPECT_EQ(list.count(), 65536u);
}

TEST(StringList, CursorStaysAtTheEndWhenLinesAreAdded)
{
    aStringList list;
    EXPECT_TRUE(list.isEnd());
    list.add("a");
    EXPECT_TRUE(list.isEnd());
    EXPECT_EQ(list.get(), ""); // at the end get answers an empty line, not garbage
    list.rewind();
    ASSERT_FALSE(list.isEnd());
    EXPECT_EQ(list.get(), "a");
    list.next();
    list.next();
    EXPECT_TRUE(list.isEnd());
    list.add("b");
    EXPECT_TRUE(list.isEnd());
    list.clear();
    EXPECT_EQ(list.count(), 0u);
    list.rewind();
    EXPECT_TRUE(list.isEnd());
}

TEST(StringList, SaveWritesCrLfAfterEveryLine)
{
    kbtest::TempDir dir;
    aStringList list;
    list.add("a");
    list.add("b");
    ASSERT_TRUE(list.save(dir.file("out.txt").c_str()));
    EXPECT_EQ(kbtest::readFile(dir.file("out.txt")), "a\r\nb\r\n");

    aStringList empty;
    ASSERT_TRUE(empty.save(dir.file("empty.txt").c_str()));
    EXPECT_EQ(kbtest::readFile(dir.file("empty.txt")), "");

    const aStringList back(dir.file("out.txt").c_str());
    EXPECT_EQ(back.lines(), (Lines{"a", "b"}));
    EXPECT_EQ(back.get(), "a");
}

TEST(StringList, MissingFileAndFailedWriteAreLogged)
{
    kbtest::LogCapture log;
    kbtest::TempDir dir;
    aStringList list(dir.file("none.txt").c_str());
    EXPECT_EQ(list.count(), 0u);
    EXPECT_TRUE(list.isEnd());
    list.add("x");
    const std::string bad = dir.file("no/such/folder/out.txt");
    EXPECT_FALSE(list.save(bad.c_str()));
    EXPECT_TRUE(log.contains("file_readFullAndMalloc. Error open file: " + dir.file("none.txt")));
    EXPECT_TRUE(log.contains("aStringList. Cannot write file: " + bad));
}
