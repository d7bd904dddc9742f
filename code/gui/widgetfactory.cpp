#include "gui/widgetfactory.h"

#include <new>

#include "gui/checkbox.h"
#include "gui/editbox.h"
#include "gui/imagebutton.h"
#include "gui/listbox.h"
#include "gui/memo.h"
#include "gui/menu.h"
#include "gui/optionbutton.h"
#include "gui/radiobutton.h"
#include "gui/scrollbar.h"
#include "gui/shape.h"
#include "gui/slider.h"
#include "gui/spinner.h"
#include "gui/staticanim.h"
#include "gui/staticimage.h"
#include "gui/statictext.h"
#include "gui/stylebutton.h"
#include "gui/tooltip.h"
#include "gui/widget.h"
#include "gui/window.h"
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
    RegisterClass("checkbox", &create<Checkbox>);
    RegisterClass("editbox", &create<Editbox>);
    RegisterClass("imagebutton", &create<ImageButton>);
    RegisterClass("listbox", &create<Listbox>);
    RegisterClass("mainmenu", &create<MainMenu>);
    RegisterClass("menuitem", &create<MenuItem>);
    RegisterClass("optionbutton", &create<OptionButton>);
    RegisterClass("popupmenu", &create<PopupMenu>);
    RegisterClass("radiobutton", &create<RadioButton>);
    RegisterClass("scrollbar", &create<Scrollbar>);
    RegisterClass("shape", &create<Shape>);
    RegisterClass("slider", &create<Slider>);
    RegisterClass("spinner", &create<Spinner>);
    RegisterClass("staticanim", &create<StaticAnim>);
    RegisterClass("staticimage", &create<StaticImage>);
    RegisterClass("statictext", &create<StaticText>);
    RegisterClass("stylebutton", &create<StyleButton>);
    RegisterClass("tooltip", &create<Tooltip>);
    RegisterClass("widget", &create<Widget>);
    RegisterClass("window", &create<Window>);
    RegisterClass("memo", &create<Memo>);
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
