// GUI::StyleButton: a button skinned with one GUI::Style per state (normal,
// disabled, hover, pushed), chosen like the image button's pictures. The
// styles belong to the GUI server. Made by the widget factory ("stylebutton").
// Main thread once built.
#pragma once

#include "gui/buttonbase.h"

namespace GUI {

class Style;

class StyleButton : public ButtonBase {
public:
    enum State : int32_t { STATE_NORMAL = 0, STATE_DISABLED, STATE_HOVER, STATE_PUSHED, STATE_COUNT };

    explicit StyleButton(const std::string& name);
    ~StyleButton() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "StyleButton"; }
    bool IsKindOf(const std::string& className) const override;
    void Draw() override;

    Style* GetStyle(State state) const { return m_styles[state]; }
    void SetStyle(State state, Style* style) { m_styles[state] = style; }

protected:
    Style* m_styles[STATE_COUNT] = {};

    Property m_propStyles[STATE_COUNT]; // NormalStyle, DisabledStyle, HoverStyle, PushedStyle
};

} // namespace GUI
