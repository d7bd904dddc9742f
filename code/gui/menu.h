// The menu classes of layout scripts: GUI::MenuBase with GUI::MainMenu and
// GUI::PopupMenu on it, and GUI::MenuItem. They add only their type names to
// the base widget, so scripts may use them as plain containers. Made by the
// widget factory ("mainmenu", "popupmenu", "menuitem"; the base has no name).
#pragma once

#include "gui/widget.h"

namespace GUI {

class MenuBase : public Widget {
public:
    using Widget::Widget;
    ~MenuBase() override = default;
    const char* GetType() const override { return "MenuBase"; }
    bool IsKindOf(const std::string& className) const override { return className == "MenuBase"; }
};

class MainMenu : public MenuBase {
public:
    using MenuBase::MenuBase;
    ~MainMenu() override = default;
    const char* GetType() const override { return "MainMenu"; }
    bool IsKindOf(const std::string& className) const override
    {
        return className == "MainMenu" || MenuBase::IsKindOf(className);
    }
};

class PopupMenu : public MenuBase {
public:
    using MenuBase::MenuBase;
    ~PopupMenu() override = default;
    const char* GetType() const override { return "PopupMenu"; }
    bool IsKindOf(const std::string& className) const override
    {
        return className == "PopupMenu" || MenuBase::IsKindOf(className);
    }
};

class MenuItem : public Widget {
public:
    using Widget::Widget;
    ~MenuItem() override = default;
    const char* GetType() const override { return "MenuItem"; }
    bool IsKindOf(const std::string& className) const override { return className == "MenuItem"; }
};

} // namespace GUI
