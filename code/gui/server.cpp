#include "gui/server.h"

#include "gui/mousecursor.h"
#include "gui/region.h"
#include "gui/style.h"
#include "gui/widget.h"
#include "gui/widgetfactory.h"
#include "orvo/app/a_application.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_log.h"

namespace GUI {

Server::Server(aImageManager* imageManager, aSoundManager* soundManager)
    : m_imageManager(imageManager), m_soundManager(soundManager)
{
    m_root = WidgetFactory::GetInstance().NewWidget("Widget", "__root__");
    aApplication* app = aApplication::get();
    const aGraphServer* graph = app ? app->getGraphServer() : nullptr;
    if (m_root && graph)
        m_root->SetArea(aRect(0, 0, graph->getGameWidth(), graph->getGameHeight()));
    m_currentWidget = m_root;
}

Server::~Server()
{
    delete m_root;
    m_root = nullptr;
    m_hoverWidget = m_focusWidget = m_currentWidget = nullptr;
    m_parentStack.clear();
    m_fonts.clear();
    m_templates.clear();
    m_styles.clear();
    m_regions.clear();
    m_currentCursor = nullptr;
    m_cursors.clear();
}

void Server::InitializeWidgets()
{
    std::vector<Widget*> stack;
    if (m_root)
        stack.push_back(m_root);
    while (!stack.empty()) {
        Widget* w = stack.back();
        stack.pop_back();
        w->Initialize();
        const auto& children = w->GetChildren();
        stack.insert(stack.end(), children.begin(), children.end());
    }

    m_focusWidget = nullptr;
    m_hoverWidget = nullptr;
    m_heldButton = BUTTON_NONE;
    m_lastX = m_lastY = 0;
    m_currentCursor = nullptr;
    m_cursorShown = true;
    m_repeatKey = -1;
}

aFont* Server::GetFont(const std::string& name) const
{
    const auto it = m_fonts.find(name);
    if (it == m_fonts.end()) {
        a_log("Server::GetFont - font '%s' not found!", name.c_str());
        return nullptr;
    }
    return it->second.get();
}

Style* Server::GetStyle(const std::string& name) const
{
    const auto it = m_styles.find(name);
    if (it == m_styles.end()) {
        a_log("Server::GetStyle - style '%s' not found!", name.c_str());
        return nullptr;
    }
    return it->second.get();
}

Region* Server::GetRegion(const std::string& name) const
{
    const auto it = m_regions.find(name);
    if (it == m_regions.end()) {
        a_log("Server::GetRegion - region '%s' not found!", name.c_str());
        return nullptr;
    }
    return it->second.get();
}

MouseCursor* Server::GetMouseCursor(const std::string& name) const
{
    const auto it = m_cursors.find(name);
    if (it == m_cursors.end()) {
        a_log("Server::GetMouseCursor - mouse cursor '%s' not found!", name.c_str());
        return nullptr;
    }
    return it->second.get();
}

aImage* Server::GetImage(const std::string& name) const
{
    aImage* image = m_imageManager ? m_imageManager->getImage(name) : nullptr;
    if (!image)
        a_log("GUI::Server::GetImage - image \"%s\" not found!", name.c_str());
    return image;
}

aSound* Server::NewSound(const std::string& name) const
{
    aSound* sound = m_soundManager ? m_soundManager->getSound(name) : nullptr;
    aSound* copy = sound ? m_soundManager->cloneSound(sound, true) : nullptr;
    if (!copy)
        a_log("Server::NewSound - sound '%s' not found!", name.c_str());
    return copy;
}

void Server::FreeSound(aSound* sound) const
{
    if (sound && m_soundManager)
        m_soundManager->releaseClone(sound);
}

void Server::ApplyTemplate(const std::string& name, PropertySet* target) const
{
    const auto it = m_templates.find(name);
    if (it == m_templates.end()) {
        a_log("Server::ApplyTemplate - template '%s' not found", name.c_str());
        return;
    }
    if (!target)
        return;
    for (const auto& [property, value] : *it->second)
        target->Set(property, value);
}

void Server::SetMouseCursor(const std::string& name)
{
    if (name.empty())
        return;
    MouseCursor* cursor = GetMouseCursor(name);
    if (!cursor || cursor == m_currentCursor)
        return;
    if (m_cursorShown) {
        if (m_currentCursor)
            m_currentCursor->SetVisible(false);
        cursor->SetVisible(true);
    }
    m_currentCursor = cursor;
}

void Server::Render()
{
    if (m_root)
        m_root->Render();
}

void Server::ForgetWidget(Widget* widget)
{
    if (!widget)
        return;
    if (m_hoverWidget == widget)
        m_hoverWidget = nullptr;
    if (m_focusWidget == widget)
        m_focusWidget = nullptr;
}

} // namespace GUI
