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

class Sample : public GUI::PropertySet {
public:
    Sample()
    {
        AddProperty("AreaRect", &area);
        AddProperty("Visible", &visible);
    }
    Property area;
    Property visible;
};

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

TEST(PropertySet, NamesIgnoreCaseAndUnknownOrDuplicateNamesAreLogged)
{
    kbtest::LogCapture log;
    Sample s;
    s.Set("visible", "1");
    s.Set("AREARECT", "1 2 3 4");
    EXPECT_EQ(s.area.value, "1 2 3 4");
    EXPECT_TRUE(s.visible.changed);
    s.ClearChangedFlags();
    EXPECT_FALSE(s.visible.changed || s.area.changed);
    EXPECT_EQ(s.visible.value, "1") << "clearing the flags keeps the text";

    s.Set("Colour", "red");
    Property other;
    s.AddProperty("visible", &other);
    s.AddProperty("Nothing", nullptr);
    s.Set("Visible", "0");
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"PropertySet::Set - property 'Colour' not found",
                                        "PropertySet::AddProperty - property 'visible' already exists"}))
        << "a null member is ignored without a message";
    EXPECT_EQ(s.visible.value, "0") << "the first member keeps the name";
    EXPECT_FALSE(other.changed);
}
