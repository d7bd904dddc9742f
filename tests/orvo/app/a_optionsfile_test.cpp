#include <gtest/gtest.h>

#include <thread>

#include "orvo/app/a_optionsfile.h"
#include "support/log_capture.h"

namespace {

using Strings = std::vector<std::string>;

aOptionsFile fromText(const std::string& text)
{
    aOptionsFile ini;
    ini.parse(text.data(), text.size(), "mem.ini");
    return ini;
}

// "name=value" of every key of the current section, in order.
Strings keysOf(aOptionsFile& ini)
{
    Strings out;
    for (ini.firstKey(); !ini.isKeyEnd(); ini.nextKey())
        out.push_back(ini.getKeyName() + "=" + ini.getKeyValue());
    return out;
}

Strings sectionNames(aOptionsFile& ini)
{
    Strings out;
    for (ini.firstSection(); !ini.isSectionEnd(); ini.nextSection())
        out.push_back(ini.getSectionName());
    return out;
}

} // namespace

TEST(OptionsFile, LineFormsSectionsDuplicatesAndTheSavedForm)
{
    kbtest::LogCapture log;
    // The UTF-8 signature is skipped, or the first section would be lost.
    aOptionsFile ini = fromText("\xEF\xBB\xBF[S] trailing\r\na = 10 ; comment\nc\ne = = =v\n\tf=1\n"
                                "   ; indented comment\n[ Spaced ]\n[open\nk=1\nk=2\n[S]\nk=3\n");
    EXPECT_EQ(keysOf(ini), (Strings{"a=10 ", "c=", "e=v", "\tf=1"}));
    // Names are exact; duplicates are kept and the first match wins.
    EXPECT_EQ(sectionNames(ini), (Strings{"S", " Spaced ", "open", "S"}));
    EXPECT_FALSE(ini.setSection("OPEN"));
    ASSERT_TRUE(ini.setSection("open"));
    EXPECT_EQ(ini.getString("k"), "1");
    kbtest::TempDir dir;
    ini = fromText("[A]\nk=1\nk=2\n[B]\nx=1\n[A]\nk=3\n");
    ini.set("A", "k", "9");
    ini.set("A", "new", "n");
    ini.setInt("B", "x", -4);
    ASSERT_TRUE(ini.save(dir.file("out.ini").c_str()));
    EXPECT_EQ(kbtest::readFile(dir.file("out.ini")), "[A]\r\nk=9\r\nk=2\r\nnew=n\r\n\r\n"
                                                     "[B]\r\nx=-4\r\n\r\n"
                                                     "[A]\r\nk=9\r\nnew=n\r\n\r\n");
    // Keys before the first section are lost.
    ini = fromText("early=1\n[S]\nk=v\n");
    EXPECT_EQ(log.messages(), (Strings{"aOptionsFile. Incorrect file: mem.ini"}));
    ini.firstSection();
    EXPECT_EQ(keysOf(ini), (Strings{"k=v"}));
}

TEST(OptionsFile, MissingKeysCursorsListsLoadingSavingAndIncludes)
{
    kbtest::LogCapture log;
    aOptionsFile ini;
    EXPECT_EQ(ini.getString("k"), "");
    EXPECT_FALSE(ini.firstKey());
    ini.set("NONE", "k", "v");
    ini = fromText("[S]\n");
    EXPECT_EQ(ini.getInt("missing"), 0);
    EXPECT_EQ(log.messages(), (Strings{"aOptionsFile. Error get key \"k\" from unspecified current section!",
                                       "aOptionsFile. Cannot find section for set: NONE",
                                       "aOptionsFile. Cannot find key \"missing\" in current section!"}));
    ini = fromText("[Empty]\n[Two]\na=1\n");
    EXPECT_TRUE(ini.firstKey()); // a section without keys still has a cursor
    EXPECT_FALSE(ini.nextKey());
    // Keys set into a section do not move a cursor that stands at its end.
    ini.set("Empty", "c", "3");
    EXPECT_FALSE(ini.nextKey());
    // Lists split at commas and skip empty items.
    ini = fromText("[L]\nwords= ,a,, b  c ,\nmixed=7x,-3,q\n");
    Strings words;
    ini.getStringList("words", words);
    EXPECT_EQ(words, (Strings{"a", "b", "c"}));
    std::vector<int32_t> ints = {1};
    ini.getIntList("mixed", ints);
    EXPECT_EQ(ints, (std::vector<int32_t>{1, 7, -3, 0})); // appended
    // Lists and floats written back join with commas.
    ini.setIntList("L", "set", {1, 2, 3});
    ini.setStringList("L", "names", {"x", "y z"});
    ini.setFloat("L", "half", 0.5f);
    EXPECT_EQ(std::vector<std::string>({ini.getString("set"), ini.getString("names"), ini.getString("half")}),
              (Strings{"1,2,3", "x,y z", "0.500000"}));
    // Loading appends, loadFile replaces, save replaces the whole file, includes stand in their places.
    kbtest::TempDir dir;
    kbtest::writeFile(dir.file("a.ini"), "[A]\nk=1\n");
    kbtest::writeFile(dir.file("more.ini"), "loose=1\n[M]\n");
    ini = aOptionsFile(dir.file("a.ini").c_str());
    // A non-top-level load goes on from the object: loose keys join its last section.
    EXPECT_TRUE(ini.load(dir.file("more.ini").c_str(), false));
    ini.firstSection();
    EXPECT_EQ(keysOf(ini), (Strings{"k=1", "loose=1"}));
    EXPECT_FALSE(ini.loadFile(dir.file("missing.ini").c_str()));
    // Values longer than a file line survive a save over an older file; a failed save answers false.
    const std::string path = dir.file("config.ini");
    kbtest::writeFile(path, "old contents that are longer than the new ones\n");
    ini.addSection("S");
    ini.set("S", "Big", std::string(2000, 'v'));
    ASSERT_TRUE(ini.save(path.c_str()));
    EXPECT_EQ(aOptionsFile(path.c_str()).getString("Big"), std::string(2000, 'v'));
    EXPECT_FALSE(ini.save(dir.file("missing/dir/config.ini").c_str()));
    // Includes stand in their places.
    const std::string inc = dir.file("inc.ini");
    kbtest::writeFile(inc, "fromInc=1\n[IncSection]\nx=2\n");
    const std::string top = dir.file("top.ini"), quoted = "\"" + inc + "\"";
    // The last include ends the file without its closing quote.
    kbtest::writeFile(top, "[Main]\na=1\n  #include " + quoted + " trailing\nb=2\n#include" + quoted +
                               "\n#include \"\"\n#include no quotes\n[Tail]\n#include \"" + inc);
    ini = aOptionsFile(top.c_str());
    ASSERT_TRUE(ini.save(dir.file("flat.ini").c_str()));
    EXPECT_EQ(kbtest::readFile(dir.file("flat.ini")),
              "[Main]\r\na=1\r\nfromInc=1\r\n\r\n[IncSection]\r\nx=2\r\nb=2\r\n\r\n"
              "[Tail]\r\nfromInc=1\r\n\r\n[IncSection]\r\nx=2\r\n\r\n");
    // Cycles stop at the depth limit, and two includes of itself at the count limit.
    const std::string self = dir.file("self.ini");
    kbtest::writeFile(self, "[S]\nk=v\n#include \"" + self + "\"\n");
    EXPECT_EQ(sectionNames(ini = aOptionsFile(self.c_str())).size(), 1u + aOptionsFile::MAX_INCLUDE_DEPTH);
    EXPECT_EQ(log.messages().back(), "aOptionsFile. Too many includes, \"" + self + "\" not read from " + self);
    kbtest::writeFile(self, "[S]\n#include \"" + self + "\"\n#include \"" + self + "\"\n");
    EXPECT_EQ(sectionNames(ini = aOptionsFile(self.c_str())).size(), 1u + aOptionsFile::MAX_INCLUDES);
}

TEST(OptionsFile, ComplaintsOfOneKindAreBoundedPerFileAndSummedUpOnce)
{
    kbtest::LogCapture log;
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "orphan\n";
    {
        aOptionsFile ini = fromText(text + "[S]\n");
        for (int i = 0; i < 300; ++i)
            ini.getString("missing");
        const Strings lines = log.messages();
        ASSERT_EQ(lines.size(), 201u);
        EXPECT_EQ(lines[99], "aOptionsFile. Incorrect file: mem.ini");
        EXPECT_EQ(lines[100], "aOptionsFile. Incorrect file: mem.ini: 900 more lines like that were not logged");
        EXPECT_EQ(lines[200], "aOptionsFile. Cannot find key \"missing\" in current section!");
        // A new load tells what the last one held back and starts counting afresh.
        ini.parse("[T]\n", 4, "next.ini");
        EXPECT_EQ(log.messages().back(),
                  "aOptionsFile. Keys not found in mem.ini: 200 more lines like that were not logged");
        ini.getString("gone");
    }
    const Strings lines = log.messages();
    EXPECT_EQ(lines.size(), 203u) << "the object's end adds nothing when nothing was held back";
    EXPECT_EQ(lines.back(), "aOptionsFile. Cannot find key \"gone\" in current section!");
}

TEST(OptionsFile, ObjectsOnTwoThreadsDoNotDisturbEachOther)
{
    auto work = [](const std::string& name, bool& ok) {
        std::string text = "[" + name + "]\n";
        for (int i = 0; i < 200; ++i)
            text += name + std::to_string(i) + " = " + std::to_string(i) + ", " + name + "\n";
        ok = true;
        for (int round = 0; round < 50 && ok; ++round) {
            aOptionsFile ini = fromText(text);
            Strings items;
            ini.getStringList(name + "199", items);
            ok = ini.getKeyCount() == 200 && items == Strings{"199", name};
        }
    };
    bool okA = false, okB = false;
    std::thread a(work, "alpha", std::ref(okA));
    work("beta", okB);
    a.join();
    EXPECT_TRUE(okA && okB);
}
