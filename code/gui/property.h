// GUI::Property: one named script property of a widget, style or cursor: the
// text a layout script (or code) gave it, a changed flag, and typed readers
// that scan the text. Always a member of the object that owns it. Used on the
// thread that builds or runs the object.
#pragma once

#include <string>

#include "orvo/util/a_geometry.h"

namespace GUI {

class Property {
public:
    std::string value;
    bool changed = false;

    // Each reader scans the text; text that does not match gives the stated default.
    // "%i": decimal, 0x hexadecimal or leading-0 octal; 0 on no match.
    int AsInt() const;
    // 0.0 on no match.
    float AsFloat() const;
    // A number that is not 0; words such as "true" read as false.
    bool AsBool() const;
    // "x y width height"; the fields the text does not give are 0.
    aRect AsRect() const;
    // "x y" as floats; coordinates the text does not give keep the caller's values.
    void AsPoint(float& x, float& y) const;
    // One ARGB word in hexadecimal; 0 on no match.
    aColor AsColor() const;
    // Four hexadecimal ARGB words; words the text does not give are 0.
    void AsColors(aColor colors[4]) const;
};

} // namespace GUI
