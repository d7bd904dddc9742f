#include "gui/widgetfactory.h"

#include <new>

#include "gui/widget.h"
#include "orvo/util/a_log.h"

namespace GUI {

template <class T> Widget* WidgetFactory::create(const std::string& name)
{
    return new (std::nothrow) T(name);
}

WidgetFactory& WidgetFactory::GetInstance()
{
    static WidgetFactory instance;
    return instance;
}

WidgetFactory::WidgetFactory()
{
    // FIXME: the other classes register here, in this order, as they are built:
    // checkbox, editbox, imagebutton, listbox, mainmenu, menuitem, optionbutton,
    // popupmenu, radiobutton, scrollbar, shape, slider, spinner, staticanim,
    // staticimage, statictext, stylebutton, tooltip, then widget, window, memo.
    RegisterClass("widget", &create<Widget>);
}

Widget* WidgetFactory::NewWidget(const std::string& className, const std::string& name) const
{
    const auto it = m_creators.find(className);
    if (it == m_creators.end()) {
        a_log("WidgetFactory::NewWidget - cannot create widget '%s' of unregistered class '%s'", name.c_str(),
              className.c_str());
        return nullptr;
    }
    Widget* widget = it->second(name);
    if (widget)
        a_log("Created new %s '%s'", widget->GetType(), name.c_str());
    return widget;
}

bool WidgetFactory::RegisterClass(const std::string& className, Creator creator)
{
    if (!creator)
        return false;
    return m_creators.emplace(className, creator).second;
}

} // namespace GUI
