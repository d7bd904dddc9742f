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

TEST(PropertyReaders, IntegersReadDecimalHexAndOctal)
{
    EXPECT_EQ(prop("42").AsInt(), 42);
    EXPECT_EQ(prop("0x10").AsInt(), 16);
    EXPECT_EQ(prop("010").AsInt(), 8);
    EXPECT_EQ(prop("-7 trailing").AsInt(), -7);
    EXPECT_EQ(prop("abc").AsInt(), 0);
    EXPECT_EQ(prop("").AsInt(), 0);
}

TEST(PropertyReaders, BooleansAreNumbers)
{
    EXPECT_TRUE(prop("2").AsBool());
    EXPECT_TRUE(prop("-1").AsBool());
    EXPECT_TRUE(prop("0x1").AsBool());
    EXPECT_FALSE(prop("0").AsBool());
    EXPECT_FALSE(prop("abc").AsBool());
    EXPECT_FALSE(prop("true").AsBool());
    EXPECT_FALSE(prop("yes").AsBool());
}

TEST(PropertyReaders, FloatsAndColours)
{
    EXPECT_FLOAT_EQ(prop("0.25").AsFloat(), 0.25f);
    EXPECT_FLOAT_EQ(prop("x").AsFloat(), 0.0f);
    EXPECT_EQ(prop("ff102030").AsColor(), 0xff102030u);
    EXPECT_EQ(prop("zz").AsColor(), 0u);

    aColor colors[4] = {1, 2, 3, 4};
    prop("ff000001 ff000002").AsColors(colors);
    EXPECT_EQ(colors[0], 0xff000001u);
    EXPECT_EQ(colors[1], 0xff000002u);
    EXPECT_EQ(colors[2], 0u) << "words not given are zeroed";
    EXPECT_EQ(colors[3], 0u);
}

TEST(PropertyReaders, RectangleFieldsNotGivenAreZero)
{
    EXPECT_EQ(prop("10 20").AsRect(), aRect(10, 20, 0, 0));
    EXPECT_EQ(prop("-5 6 300 40").AsRect(), aRect(-5, 6, 300, 40));
    EXPECT_EQ(prop("junk").AsRect(), aRect(0, 0, 0, 0));
}

TEST(PropertyReaders, PointKeepsTheCallersValuesForMissingFields)
{
    float x = 7.0f, y = 9.0f;
    prop("1.5").AsPoint(x, y);
    EXPECT_FLOAT_EQ(x, 1.5f);
    EXPECT_FLOAT_EQ(y, 9.0f);
    prop("").AsPoint(x, y);
    EXPECT_FLOAT_EQ(x, 1.5f);
}

TEST(PropertySet, NamesIgnoreCaseAndSetMarksChanged)
{
    kbtest::LogCapture log;
    Sample s;
    s.Set("visible", "1");
    s.Set("AREARECT", "1 2 3 4");
    EXPECT_EQ(s.visible.value, "1");
    EXPECT_TRUE(s.visible.changed);
    EXPECT_EQ(s.area.value, "1 2 3 4");

    s.ClearChangedFlags();
    EXPECT_FALSE(s.visible.changed);
    EXPECT_FALSE(s.area.changed);
    EXPECT_EQ(s.visible.value, "1") << "clearing the flags keeps the text";
}

TEST(PropertySet, UnknownAndDuplicateNamesAreLogged)
{
    kbtest::LogCapture log;
    Sample s;
    s.Set("Colour", "red");
    Property other;
    s.AddProperty("visible", &other);
    s.AddProperty("Nothing", nullptr);
    s.Set("Visible", "0");

    EXPECT_TRUE(log.contains("PropertySet::Set - property 'Colour' not found"));
    EXPECT_TRUE(log.contains("PropertySet::AddProperty - property 'visible' already exists"));
    EXPECT_EQ(log.messages().size(), 2u) << "a null member is ignored without a message";
    EXPECT_EQ(s.visible.value, "0") << "the first member keeps the name";
    EXPECT_FALSE(other.changed);
}
