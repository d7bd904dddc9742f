#include "gui/statictext.h"

#include <cwchar>

#include "gui/scrollbar.h"
#include "gui/server.h"
#include "orvo/app/a_caselessless.h"
#include "orvo/util/a_string.h"

namespace GUI {

namespace {

bool isBlank(wchar_t c)
{
    return c == L' ' || c == L'\n' || c == L'\r';
}

} // namespace

StaticText::StaticText(const std::string& name) : Widget(name)
{
    AddProperty("TextNormalColor", &m_propTextNormalColor);
    AddProperty("TextDisabledColor", &m_propTextDisabledColor);
    AddProperty("HorzFormatting", &m_propHorzFormatting);
    AddProperty("VertFormatting", &m_propVertFormatting);
    AddProperty("LineSpacing", &m_propLineSpacing);
    AddProperty("WordWrap", &m_propWordWrap);
}

StaticText::~StaticText() = default;

bool StaticText::IsKindOf(const std::string& className) const
{
    return className == "StaticText";
}

int32_t StaticText::ParseHorzFormatting(const std::string& word)
{
    if (caseless_equal(word, "center"))
        return HF_CENTER;
    if (caseless_equal(word, "right"))
        return HF_RIGHT;
    if (caseless_equal(word, "width"))
        return HF_WIDTH;
    return HF_LEFT;
}

int32_t StaticText::ParseVertFormatting(const std::string& word)
{
    if (caseless_equal(word, "center"))
        return VF_CENTER;
    if (caseless_equal(word, "bottom"))
        return VF_BOTTOM;
    return VF_TOP;
}

void StaticText::EndFillProperties()
{
    Widget::EndFillProperties();
    if (m_propTextNormalColor.changed)
        SetTextColor(m_propTextNormalColor.AsColor());
    if (m_propTextDisabledColor.changed)
        SetTextDisabledColor(m_propTextDisabledColor.AsColor());
    if (m_propHorzFormatting.changed)
        SetHorzFormatting(ParseHorzFormatting(m_propHorzFormatting.value));
    if (m_propVertFormatting.changed)
        SetVertFormatting(ParseVertFormatting(m_propVertFormatting.value));
    if (m_propLineSpacing.changed)
        SetLineSpacing(m_propLineSpacing.AsFloat());
    if (m_propWordWrap.changed)
        SetWordWrap(m_propWordWrap.AsBool());
}

void StaticText::SetHorzFormatting(int32_t formatting)
{
    if (formatting != m_horzFormatting) {
        m_horzFormatting = formatting;
        m_layoutDirty = true;
    }
}

void StaticText::SetVertFormatting(int32_t formatting)
{
    if (formatting != m_vertFormatting) {
        m_vertFormatting = formatting;
        m_layoutDirty = true;
    }
}

void StaticText::SetLineSpacing(float spacing)
{
    if (spacing != m_lineSpacing) {
        m_lineSpacing = spacing;
        m_layoutDirty = true;
    }
}

void StaticText::SetWordWrap(bool wrap)
{
    if (wrap != m_wordWrap) {
        m_wordWrap = wrap;
        m_layoutDirty = true;
    }
}

void StaticText::applyTag(const std::wstring& name, const std::wstring& value, StyleRun& style) const
{
    const bool reset = value.empty() || value == L"default";
    if (name == L"color") {
        unsigned argb = 0;
        style.color = !reset && std::swscanf(value.c_str(), L"%x", &argb) == 1 ? argb : RUN_WIDGET_COLOR;
    } else if (name == L"size") {
        float size = 0.0f;
        style.size = !reset && std::swscanf(value.c_str(), L"%f", &size) == 1 ? size : 1.0f;
    } else if (name == L"font") {
        const Server* server = Server::getSingletonPtr();
        // A font the server lacks (logged there) means the widget's own.
        style.font = !reset && server ? server->GetFont(string_wideToCp1251(value)) : nullptr;
    }
}

void StaticText::SetPlainText(const std::wstring& text)
{
    m_plainText = true;
    SetText(text);
    m_plainText = false;
}

void StaticText::OnTextChanged(const WidgetEventArgs& args)
{
    if (m_plainText) {
        m_runs.clear();
        m_layoutDirty = true;
        Widget::OnTextChanged(args);
        return;
    }
    StyleRun style;
    m_parser.Parse(m_text);
    m_runs.clear();
    std::wstring plain;
    uint32_t nonBlank = 0;
    bool textSinceRun = false;
    std::wstring name, value;
    for (const TagParser::Token& token : m_parser.GetTokens()) {
        if (token.isText) {
            for (wchar_t c : token.text)
                nonBlank += !isBlank(c);
            plain += token.text;
            textSinceRun = true;
            continue;
        }
        m_parser.SplitTag(token.text, name, value);
        if (name != L"color" && name != L"size" && name != L"font")
            continue;
        applyTag(name, value, style);
        // Tags in a row make one run.
        if (textSinceRun || m_runs.empty()) {
            style.start = nonBlank;
            m_runs.push_back(style);
        } else {
            m_runs.back().color = style.color;
            m_runs.back().size = style.size;
            m_runs.back().font = style.font;
        }
        textSinceRun = false;
    }
    m_parser.Clear();
    m_text = std::move(plain);
    m_layoutDirty = true;
    Widget::OnTextChanged(args);
}

void StaticText::OnFontChanged(const WidgetEventArgs& args)
{
    m_layoutDirty = true;
    Widget::OnFontChanged(args);
}

void StaticText::OnSized(const WidgetEventArgs& args)
{
    m_layoutDirty = true;
    if (m_horzBar)
        m_horzBar->SetPageSize(m_area.width);
    if (m_vertBar)
        m_vertBar->SetPageSize(m_area.height);
    Widget::OnSized(args);
}

void StaticText::UpdateSelf(float dt)
{
    if (m_layoutDirty) {
        UpdateLayout();
        m_layoutDirty = false;
    }
    Widget::UpdateSelf(dt);
}

void StaticText::Initialize()
{
    Widget::Initialize();
    using Binder = _memberBinder<StaticText, bool, const EventArgs&>;
    auto bind = [this](const char* suffix, Scrollbar*& bar, bool (StaticText::*handler)(const EventArgs&)) {
        auto* found = dynamic_cast<Scrollbar*>(FindChild(m_name + suffix, true));
        if (found && found != bar)
            found->SubscribeEvent(Scrollbar::EventPositionChanged, new Binder(this, handler));
        bar = found;
    };
    bind("_auto_hscroll", m_horzBar, &StaticText::OnHorzScroll);
    bind("_auto_vscroll", m_vertBar, &StaticText::OnVertScroll);
    if (m_horzBar)
        m_horzBar->SetPageSize(m_area.width);
    if (m_vertBar)
        m_vertBar->SetPageSize(m_area.height);
    m_horzScroll = m_vertScroll = 0.0f;
}

bool StaticText::OnHorzScroll(const EventArgs& args)
{
    (void)args;
    if (m_horzBar)
        m_horzScroll = m_horzBar->GetValue();
    return true;
}

bool StaticText::OnVertScroll(const EventArgs& args)
{
    (void)args;
    if (m_vertBar)
        m_vertScroll = m_vertBar->GetValue();
    return true;
}

} // namespace GUI
