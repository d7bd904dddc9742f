#include "gui/propertyset.h"

#include "orvo/util/a_log.h"

namespace GUI {

void PropertySet::ClearChangedFlags()
{
    for (auto& [name, property] : m_properties)
        property->changed = false;
}

void PropertySet::AddProperty(const std::string& name, Property* property)
{
    if (!property)
        return;
    if (!m_properties.emplace(name, property).second)
        a_log("PropertySet::AddProperty - property '%s' already exists", name.c_str());
}

void PropertySet::Set(const std::string& name, const std::string& value)
{
    const auto it = m_properties.find(name);
    if (it == m_properties.end()) {
        a_log("PropertySet::Set - property '%s' not found", name.c_str());
        return;
    }
    it->second->value = value;
    it->second->changed = true;
}

} // namespace GUI
