// GUI::Checkbox: an image button with a checked state, shown by an automatic
// child widget (named after the check box with "_auto_check") that is
// visible while checked. GUI::RadioButton derives from it. Made by the
// widget factory ("checkbox"). Main thread once built.
#pragma once

#include "gui/imagebutton.h"

namespace GUI {

class Checkbox : public ImageButton {
public:
    static constexpr const char* EventCheckChanged = "CheckChanged";

    explicit Checkbox(const std::string& name);
    ~Checkbox() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "Checkbox"; }
    bool IsKindOf(const std::string& className) const override;
    void Initialize() override;
    void OnClick(const MouseEventArgs& args) override;
    void OnDoubleClick(const MouseEventArgs& args) override;
    // Shows or hides the check widget; on a change fires CheckChanged.
    virtual void SetChecked(bool checked);
    virtual void OnCheckChanged(const WidgetEventArgs& args);

    bool IsChecked() const { return m_checked; }
    bool IsRightAlign() const { return m_rightAlign; }
    Widget* GetCheckWidget() const { return m_checkWidget; }

protected:
    Widget* m_checkWidget = nullptr;
    bool m_checked = false;
    bool m_rightAlign = false;

    Property m_propChecked;
    Property m_propRightAlign;
};

} // namespace GUI
