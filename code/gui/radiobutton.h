// GUI::RadioButton: a check box in a numbered group; checking one unchecks
// its checked siblings of the same group, and clicking a checked one leaves
// it checked. Group 0 is no group. It fires no CheckChanged. Made by the
// widget factory ("radiobutton"). Main thread once built.
#pragma once

#include "gui/checkbox.h"

namespace GUI {

class RadioButton : public Checkbox {
public:
    explicit RadioButton(const std::string& name);
    ~RadioButton() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "RadioButton"; }
    bool IsKindOf(const std::string& className) const override;
    void OnClick(const MouseEventArgs& args) override;
    void OnDoubleClick(const MouseEventArgs& args) override;
    void OnCheckChanged(const WidgetEventArgs& args) override;

    int32_t GetGroupID() const { return m_groupID; }
    void SetGroupID(int32_t group) { m_groupID = group; }

protected:
    int32_t m_groupID = 0;

    Property m_propGroupID;
};

} // namespace GUI
