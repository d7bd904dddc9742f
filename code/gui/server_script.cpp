// The layout-script callbacks of GUI::Server: what each block of an ".agui"
// file creates and how its lines fill it.
#include <cstdio>

#include "gui/mousecursor.h"
#include "gui/region.h"
#include "gui/server.h"
#include "gui/style.h"
#include "gui/widget.h"
#include "gui/widgetfactory.h"
#include "orvo/app/a_caselessless.h"
#include "orvo/gfx/a_font.h"
#include "orvo/util/a_log.h"

namespace GUI {

namespace {

// The words after the first joined by single blanks.
std::string valueOf(const aScriptLoader::Words& words)
{
    std::string value;
    for (size_t i = 1; i < words.size(); ++i) {
        if (i > 1)
            value += ' ';
        value += words[i];
    }
    return value;
}

bool isTemplateReference(const std::string& word)
{
    return word.size() >= 3 && word.front() == '<' && word.back() == '>';
}

// Levels from the root down to `widget` (the root is 0), counted no further than `limit`.
int depthBelowRoot(const Widget* widget, int limit)
{
    int depth = 0;
    for (const Widget* w = widget; w && w->GetParent() && depth <= limit; w = w->GetParent())
        ++depth;
    return depth;
}

} // namespace

void Server::OnScriptBegin(const std::string& path)
{
    a_log("GUI script '%s' parsing started", path.c_str());
    m_currentWidget = m_root;
    m_depthLogged = false;
    m_scriptPath = path;
}

void Server::OnScriptEnd(const std::string& path)
{
    a_log("GUI script '%s' parsing finished", path.c_str());
}

int32_t Server::OnSectionHeader(int32_t parent, const Words& words)
{
    if (words.empty())
        return BLOCK_SKIPPED;
    if (parent == BLOCK_WIDGET)
        return openWidget(words);
    if (parent != BLOCK_SKIPPED)
        return BLOCK_SKIPPED;

    const std::string& kind = words[0];
    if (caseless_equal(kind, "fontlist"))
        return BLOCK_FONTLIST;
    if (caseless_equal(kind, "regionlist"))
        return BLOCK_REGIONLIST;
    if (caseless_equal(kind, "style")) {
        if (words.size() < 2) {
            a_log("Server - style name not specified in section header");
            return BLOCK_SKIPPED;
        }
        if (m_styles.count(words[1])) {
            a_log("Server - style '%s' already exists", words[1].c_str());
            return BLOCK_SKIPPED;
        }
        auto style = std::make_unique<Style>();
        m_currentStyle = style.get();
        m_currentStyle->ClearChangedFlags();
        m_styles.emplace(words[1], std::move(style));
        return BLOCK_STYLE;
    }
    if (caseless_equal(kind, "cursor")) {
        if (words.size() < 2) {
            a_log("Server - mouse cursor name not specified in section header");
            return BLOCK_SKIPPED;
        }
        if (m_cursors.count(words[1])) {
            a_log("Server - mouse cursor '%s' already exists", words[1].c_str());
            return BLOCK_SKIPPED;
        }
        auto cursor = std::make_unique<MouseCursor>();
        m_currentCursorBlock = cursor.get();
        m_currentCursorBlock->ClearChangedFlags();
        m_cursors.emplace(words[1], std::move(cursor));
        return BLOCK_CURSOR;
    }
    if (caseless_equal(kind, "template")) {
        if (words.size() < 2) {
            a_log("Server. Template name not specified section header");
            return BLOCK_SKIPPED;
        }
        if (m_templates.count(words[1])) {
            a_log("Server - template '%s' already exists", words[1].c_str());
            return BLOCK_SKIPPED;
        }
        auto tmpl = std::make_unique<Template>();
        m_currentTemplate = tmpl.get();
        m_templates.emplace(words[1], std::move(tmpl));
        return BLOCK_TEMPLATE;
    }
    return openWidget(words);
}

int32_t Server::openWidget(const Words& words)
{
    Widget* parent = m_currentWidget ? m_currentWidget : m_root;
    if (depthBelowRoot(parent, MAX_WIDGET_DEPTH) >= MAX_WIDGET_DEPTH) {
        if (!m_depthLogged)
            a_log("Server - widgets nested deeper than %d levels skipped in '%s'", MAX_WIDGET_DEPTH,
                  m_scriptPath.c_str());
        m_depthLogged = true;
        return BLOCK_SKIPPED;
    }
    std::string name;
    size_t firstTemplate = 1;
    if (words.size() >= 2 && words[1].size() >= 2 && words[1][0] != '<') {
        name = words[1];
        firstTemplate = 2;
    } else {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "auto%04d", m_autoNameCounter++);
        name = buffer;
    }

    Widget* widget = WidgetFactory::GetInstance().NewWidget(words[0], name);
    if (!widget)
        return BLOCK_SKIPPED;
    m_parentStack.push_back(parent);
    if (parent)
        parent->AddChild(widget);
    m_currentWidget = widget;
    widget->ClearChangedFlags();

    for (size_t i = firstTemplate; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (isTemplateReference(word))
            ApplyTemplate(word.substr(1, word.size() - 2), widget);
        else
            a_log("Server - invalid template parameter %d", static_cast<int>(i - firstTemplate + 1));
    }
    return BLOCK_WIDGET;
}

void Server::OnSectionLine(int32_t value, const Words& words)
{
    if (words.empty())
        return;
    switch (value) {
    case BLOCK_FONTLIST:
        if (words.size() < 2)
            return;
        if (m_fonts.count(words[0])) {
            a_log("Server - font with name '%s' already exists", words[0].c_str());
            return;
        }
        // A file that fails is logged by the font, which stays registered and draws nothing.
        m_fonts.emplace(words[0], std::make_unique<aFont>(words[1].c_str()));
        return;
    case BLOCK_REGIONLIST: {
        if (words.size() < 2)
            return;
        if (m_regions.count(words[0])) {
            a_log("Server - region with name '%s' already exists", words[0].c_str());
            return;
        }
        // Registered even when the file fails: such a region hits nothing.
        auto region = std::make_unique<Region>();
        (void)region->LoadFromBitmap(words[1]);
        m_regions.emplace(words[0], std::move(region));
        return;
    }
    case BLOCK_STYLE:
        if (m_currentStyle)
            m_currentStyle->Set(words[0], valueOf(words));
        return;
    case BLOCK_WIDGET:
        if (m_currentWidget)
            m_currentWidget->Set(words[0], valueOf(words));
        return;
    case BLOCK_CURSOR:
        if (m_currentCursorBlock)
            m_currentCursorBlock->Set(words[0], valueOf(words));
        return;
    case BLOCK_TEMPLATE:
        if (m_currentTemplate)
            m_currentTemplate->emplace_back(words[0], valueOf(words));
        return;
    default:
        return;
    }
}

void Server::OnSectionEnd(int32_t value)
{
    switch (value) {
    case BLOCK_STYLE:
        if (m_currentStyle)
            m_currentStyle->EndFillProperties();
        m_currentStyle = nullptr;
        return;
    case BLOCK_WIDGET:
        if (m_currentWidget)
            m_currentWidget->EndFillProperties();
        if (!m_parentStack.empty()) {
            m_currentWidget = m_parentStack.back();
            m_parentStack.pop_back();
        } else {
            m_currentWidget = m_root;
        }
        return;
    case BLOCK_CURSOR:
        if (m_currentCursorBlock)
            m_currentCursorBlock->EndFillProperties();
        m_currentCursorBlock = nullptr;
        return;
    case BLOCK_TEMPLATE:
        m_currentTemplate = nullptr;
        return;
    default:
        return;
    }
}

} // namespace GUI
