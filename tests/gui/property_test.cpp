#include <gtest/gtest.h>

#include "gui/propertyset.h"
#include "support/log_capture.h"

using GUI::Property;

namespace {

Property prop(const char* text)
{
    Property p;
    p.value = text;
    return p;
}

} // namespace

// Script values are read leniently: what cannot be read is 0, missing words keep or zero their fields.
TEST(PropertyReaders, NumbersBooleansColoursAndRectangles)
{
    const std::pair<const char*, int> ints[] = {{"0x10", 16}, {"010", 8}, {"-7 trailing", -7}, {"abc", 0}, {"", 0}};
    for (const auto& [text, value] : ints)
        EXPECT_EQ(prop(text).AsInt(), value) << text;
    // Booleans are numbers: words are false.
    for (const auto& [text, value] : {std::pair{"2", true}, {"0x1", true}, {"0", false}, {"true", false}})
        EXPECT_EQ(prop(text).AsBool(), value) << text;
    EXPECT_FLOAT_EQ(prop("x").AsFloat(), 0.0f);
    EXPECT_EQ(prop("zz").AsColor(), 0u);
    aColor colors[4] = {1, 2, 3, 4};
    prop("ff000001 ff000002").AsColors(colors);
    EXPECT_EQ(std::vector<aColor>(colors, colors + 4), (std::vector<aColor>{0xff000001u, 0xff000002u, 0, 0}));
    EXPECT_EQ(prop("10 20").AsRect(), aRect(10, 20, 0, 0));
    EXPECT_EQ(prop("junk").AsRect(), aRect(0, 0, 0, 0));
    float x = 7.0f, y = 9.0f;
    prop("1.5").AsPoint(x, y);
    prop("").AsPoint(x, y);
    EXPECT_FLOAT_EQ(x, 1.5f);
    EXPECT_FLOAT_EQ(y, 9.0f);
}

// Names in any case and unknown names in scripts are shown by the script tests.
TEST(PropertySet, ADuplicateNameIsLoggedAndTheFirstMemberKeepsIt)
{
    kbtest::LogCapture log;
    GUI::PropertySet s;
    Property first, other;
    s.AddProperty("Visible", &first);
    s.AddProperty("visible", &other);
    s.AddProperty("Nothing", nullptr);
    s.Set("VISIBLE", "0");
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"PropertySet::AddProperty - property 'visible' already exists"}))
        << "a null member is ignored without a message";
    EXPECT_EQ(first.value, "0");
    EXPECT_TRUE(first.changed);
    EXPECT_FALSE(other.changed);
}
