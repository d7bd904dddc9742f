// GUI::PropertySet: the base of every script-filled object (widgets, styles,
// mouse cursors). It maps property names, compared without regard to ASCII
// case, to GUI::Property members of the derived object (never owned here).
// The script reader clears the changed flags, sets each property line as text
// and calls EndFillProperties at the end of the block. Used on the thread that
// builds or runs the object; no locks.
#pragma once

#include <map>
#include <string>

#include "gui/property.h"
#include "orvo/app/a_caselessless.h"

namespace GUI {

class PropertySet {
public:
    PropertySet() = default;
    virtual ~PropertySet() = default;
    PropertySet(const PropertySet&) = delete;
    PropertySet& operator=(const PropertySet&) = delete;

    virtual void ClearChangedFlags();
    // Turns the changed properties into the object's fields; the base has none.
    virtual void EndFillProperties() {}

    // A null member is ignored; a name already present keeps its first member (logged).
    void AddProperty(const std::string& name, Property* property);
    // Copies the value and marks the property changed; an unknown name is logged.
    void Set(const std::string& name, const std::string& value);

private:
    std::map<std::string, Property*, aCaselessLess> m_properties;
};

} // namespace GUI
