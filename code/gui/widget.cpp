#include "gui/widget.h"

#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <memory>

#include "gui/hotkey.h"
#include "gui/server.h"
#include "orvo/app/a_caselessless.h"
#include "orvo/app/a_localeserver.h"
#include "orvo/platform/a_system.h"
#include "orvo/sound/a_sound.h"
#include "orvo/util/a_string.h"

namespace GUI {

HorizontalAlign ParseHorizontalAlign(const std::string& text)
{
    if (caseless_equal(text, "center"))
        return HA_CENTER;
    if (caseless_equal(text, "right"))
        return HA_RIGHT;
    return HA_LEFT;
}

VerticalAlign ParseVerticalAlign(const std::string& text)
{
    if (caseless_equal(text, "center"))
        return VA_CENTER;
    if (caseless_equal(text, "bottom"))
        return VA_BOTTOM;
    return VA_TOP;
}

Widget::Widget(const std::string& name)
    : m_multiClickTime(static_cast<float>(system_doubleClickTimeMs()) / 1000.0f), m_name(name)
{
    AddProperty("AreaRect", &m_propAreaRect);
    AddProperty("Region", &m_propRegion);
    AddProperty("Visible", &m_propVisible);
    AddProperty("Enabled", &m_propEnabled);
    AddProperty("Static", &m_propStatic);
    AddProperty("MouseAutoRepeat", &m_propMouseAutoRepeat);
    AddProperty("AutoRepeatRate", &m_propAutoRepeatRate);
    AddProperty("AutoRepeatDelay", &m_propAutoRepeatDelay);
    AddProperty("FadeInTime", &m_propFadeInTime);
    AddProperty("FadeOutTime", &m_propFadeOutTime);
    AddProperty("SoundMove", &m_propSoundMove);
    AddProperty("SoundClick", &m_propSoundClick);
    AddProperty("Parent", &m_propParent);
    AddProperty("Font", &m_propFont);
    AddProperty("FontSize", &m_propFontSize);
    AddProperty("Text", &m_propText);
    AddProperty("Alpha", &m_propAlpha);
    AddProperty("InheritsAlpha", &m_propInheritsAlpha);
    AddProperty("AlwaysOnTop", &m_propAlwaysOnTop);
    AddProperty("RiseOnClick", &m_propRiseOnClick);
    AddProperty("NotifyRender", &m_propNotifyRender);
    AddProperty("MultiClick", &m_propMultiClick);
    AddProperty("MultiClickTime", &m_propMultiClickTime);
    AddProperty("HorizontalAlign", &m_propHorizontalAlign);
    AddProperty("VerticalAlign", &m_propVerticalAlign);
    AddProperty("Modal", &m_propModal);
    AddProperty("Cursor", &m_propCursor);
    AddProperty("Tooltip", &m_propTooltip);
    AddProperty("ClipByParent", &m_propClipByParent);
    AddProperty("Tag", &m_propTag);
    AddProperty("Hotkey", &m_propHotkey);

    for (const char* event :
         {EventFocusGain,   EventFocusLost,   EventHide,        EventShow,    EventEnabled,     EventDisabled,
          EventMouseEnter,  EventMouseLeave,  EventMouseDown,   EventMouseUp, EventMouseMove,   EventMouseWheel,
          EventClick,       EventDoubleClick, EventTripleClick, EventKeyDown, EventKeyUp,       EventKeyPress,
          EventTextChanged, EventFontChanged, EventMoved,       EventSized,   EventBeginRender, EventEndRender})
        AddEvent(event);
}

Widget::~Widget()
{
    RemoveAllChildren();
    releaseSounds();
    if (Server* server = Server::getSingletonPtr())
        server->ForgetWidget(this);
    // Deleting a child directly must not leave its parent pointing at it.
    if (m_parent)
        m_parent->RemoveChild(this);
}

void Widget::releaseSounds()
{
    Server* server = Server::getSingletonPtr();
    if (server) {
        server->FreeSound(m_clickSound);
        server->FreeSound(m_moveSound);
    }
    m_clickSound = nullptr;
    m_moveSound = nullptr;
}

void Widget::EndFillProperties()
{
    Server* server = Server::getSingletonPtr();
    if (m_propAreaRect.changed)
        m_area = m_propAreaRect.AsRect();
    if (m_propRegion.changed)
        m_region = server ? server->GetRegion(m_propRegion.value) : nullptr;
    if (m_propSoundMove.changed && server) {
        server->FreeSound(m_moveSound);
        m_moveSound = server->NewSound(m_propSoundMove.value);
    }
    if (m_propSoundClick.changed)
        SetClickSound(m_propSoundClick.value);
    if (m_propFont.changed)
        SetFont(server ? server->GetFont(m_propFont.value) : nullptr);
    if (m_propFontSize.changed)
        SetFontSize(m_propFontSize.AsFloat());
    if (m_propText.changed) {
        const aLocaleServer* locale = aLocaleServer::getSingletonPtr();
        const std::wstring* localised = locale ? locale->getStringEx(m_propText.value, "") : nullptr;
        SetText(localised ? *localised : string_utf8ToWide(m_propText.value));
    }
    if (m_propEnabled.changed)
        SetEnabled(m_propEnabled.AsBool());
    if (m_propVisible.changed)
        SetVisible(m_propVisible.AsBool());
    if (m_propStatic.changed)
        m_static = m_propStatic.AsBool();
    if (m_propMouseAutoRepeat.changed)
        m_mouseAutoRepeat = m_propMouseAutoRepeat.AsBool();
    if (m_propAutoRepeatDelay.changed)
        m_autoRepeatDelay = m_propAutoRepeatDelay.AsFloat();
    if (m_propAutoRepeatRate.changed)
        m_autoRepeatRate = m_propAutoRepeatRate.AsFloat();
    if (m_propFadeInTime.changed)
        m_fadeInTime = m_propFadeInTime.AsFloat();
    if (m_propFadeOutTime.changed)
        m_fadeOutTime = m_propFadeOutTime.AsFloat();
    if (m_propHorizontalAlign.changed)
        m_horizontalAlign = ParseHorizontalAlign(m_propHorizontalAlign.value);
    if (m_propVerticalAlign.changed)
        m_verticalAlign = ParseVerticalAlign(m_propVerticalAlign.value);
    if (m_propAlwaysOnTop.changed)
        m_alwaysOnTop = m_propAlwaysOnTop.AsBool();
    if (m_propRiseOnClick.changed)
        m_riseOnClick = m_propRiseOnClick.AsBool();
    if (m_propNotifyRender.changed)
        m_notifyRender = m_propNotifyRender.AsBool();
    if (m_propMultiClick.changed)
        m_multiClick = m_propMultiClick.AsBool();
    if (m_propMultiClickTime.changed)
        m_multiClickTime = m_propMultiClickTime.AsFloat();
    if (m_propModal.changed)
        m_modal = m_propModal.AsBool();
    if (m_propCursor.changed)
        m_cursorName = m_propCursor.value;
    if (m_propTooltip.changed)
        m_tooltip = m_propTooltip.value;
    if (m_propClipByParent.changed)
        m_clipByParent = m_propClipByParent.AsBool();
    if (m_propTag.changed)
        m_tag = m_propTag.AsInt();
    if (m_propAlpha.changed)
        m_alpha = m_propAlpha.AsFloat();
    if (m_propInheritsAlpha.changed)
        m_inheritsAlpha = m_propInheritsAlpha.AsBool();
    if (m_propHotkey.changed)
        ParseHotkey(m_propHotkey.value, m_hotkey, m_hotkeyModifiers);
}

void Widget::SetMouseCursor(const std::string& name)
{
    m_cursorName = name;
    Server* server = Server::getSingletonPtr();
    if (server && server->GetHoverWidget() == this)
        server->SetMouseCursor(name);
}

bool Widget::IsKindOf(const std::string& className) const
{
    (void)className;
    return false;
}

void Widget::Initialize()
{
    m_clickCount = 0;
    m_focused = false;
}

void Widget::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    const WidgetEventArgs args(this);
    if (enabled)
        OnEnabled(args);
    else
        OnDisabled(args);
}

void Widget::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    const WidgetEventArgs args(this);
    if (visible)
        OnShow(args);
    else
        OnHide(args);
}

bool Widget::IsEnabled(bool ownOnly) const
{
    if (ownOnly)
        return m_enabled;
    for (const Widget* w = this; w; w = w->m_parent)
        if (!w->m_enabled)
            return false;
    return true;
}

bool Widget::IsVisible(bool ownOnly) const
{
    if (ownOnly)
        return m_visible;
    for (const Widget* w = this; w; w = w->m_parent)
        if (!w->m_visible)
            return false;
    return true;
}

float Widget::GetAlpha(bool ownOnly) const
{
    if (ownOnly || !m_inheritsAlpha || !m_parent)
        return m_alpha;
    return m_alpha * m_parent->GetAlpha(false);
}

void Widget::SetFont(aFont* font)
{
    m_font = font;
    OnFontChanged(WidgetEventArgs(this));
}

void Widget::SetFontSize(float size)
{
    if (size == m_fontSize)
        return;
    m_fontSize = size;
    OnFontChanged(WidgetEventArgs(this));
}

aFont* Widget::GetFont(bool ownOnly) const
{
    if (ownOnly)
        return m_font;
    for (const Widget* w = this; w; w = w->m_parent)
        if (w->m_font)
            return w->m_font;
    return nullptr;
}

float Widget::GetFontSize(bool ownOnly) const
{
    if (ownOnly)
        return m_fontSize;
    for (const Widget* w = this; w; w = w->m_parent)
        if (w->m_fontSize != 0.0f)
            return w->m_fontSize;
    return 0.0f;
}

void Widget::SetText(const std::wstring& text)
{
    m_text = text;
    OnTextChanged(WidgetEventArgs(this));
}

void Widget::SetTextF(const wchar_t* format, ...)
{
    if (!format) {
        SetText(std::wstring());
        return;
    }
    // A buffer of this call's own: texts of different widgets (or of a handler
    // that formats again while this one runs) never share storage.
    wchar_t buffer[TEXTF_BUFFER];
    va_list args;
    va_start(args, format);
    const int n = std::vswprintf(buffer, TEXTF_BUFFER, format, args);
    va_end(args);
    if (n >= 0) {
        SetText(std::wstring(buffer, static_cast<size_t>(n)));
        return;
    }
    // Too long (or a conversion that cannot be written): format in full, then cut.
    std::wstring text;
    for (size_t size = TEXTF_BUFFER * 4; size <= TEXTF_BUFFER * 256 && text.empty(); size *= 4) {
        auto big = std::make_unique<wchar_t[]>(size);
        va_start(args, format);
        const int m = std::vswprintf(big.get(), size, format, args);
        va_end(args);
        if (m >= 0)
            text.assign(big.get(), std::min(static_cast<size_t>(m), TEXTF_BUFFER - 1));
    }
    SetText(text);
}

void Widget::SetClickSound(const std::string& soundName)
{
    Server* server = Server::getSingletonPtr();
    if (!server)
        return;
    server->FreeSound(m_clickSound);
    m_clickSound = server->NewSound(soundName);
}

void Widget::playSound(aSound* sound) const
{
    if (sound)
        sound->play(false);
}

} // namespace GUI
