// GUI::WidgetFactory: creates widgets by class name (compared without regard
// to ASCII case) for the layout-script reader and the server's root. One
// instance for the program, made on first use. Used by whichever thread
// builds a screen (one at a time).
#pragma once

#include <map>
#include <string>

#include "orvo/app/a_caselessless.h"

namespace GUI {

class Widget;

class WidgetFactory {
public:
    // Makes a widget of its class with the given name; null when memory runs out.
    using Creator = Widget* (*)(const std::string& name);

    static WidgetFactory& GetInstance();

    virtual ~WidgetFactory() = default;
    WidgetFactory(const WidgetFactory&) = delete;
    WidgetFactory& operator=(const WidgetFactory&) = delete;

    // The new widget, or null for a class that is not registered (logged).
    Widget* NewWidget(const std::string& className, const std::string& name) const;
    // False (the first creator stays) when the name is taken.
    bool RegisterClass(const std::string& className, Creator creator);

private:
    WidgetFactory();

    template <class T> static Widget* create(const std::string& name);

    std::map<std::string, Creator, aCaselessLess> m_creators;
};

} // namespace GUI
