// GUI::Tooltip: a widget class of layout scripts ("tooltip") that adds only
// its type name to the base widget; screens fill and place it themselves.
#pragma once

#include "gui/widget.h"

namespace GUI {

class Tooltip : public Widget {
public:
    using Widget::Widget;
    ~Tooltip() override = default;
    const char* GetType() const override { return "Tooltip"; }
    bool IsKindOf(const std::string& className) const override { return className == "Tooltip"; }
};

} // namespace GUI
