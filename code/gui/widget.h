// GUI::Widget: the base of every widget. A named rectangle in a tree of
// parents and children, placed by anchors inside its parent, drawn with its
// children in z-order (optionally clipped), hit-tested by rectangle, region
// mask or transparency, with multi-clicks, a hover fade, hover and click
// sounds and an optional hot key. Widget classes override the virtual
// operations; every On... operation fires the event of its name.
// Ownership: a widget owns its children (they go with it unless told
// otherwise); the GUI server owns the root. Widget trees may be built on the
// loading thread; afterwards only the main thread touches them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/eventargs.h"
#include "gui/eventset.h"
#include "gui/propertyset.h"
#include "orvo/util/a_geometry.h"

class aFont;
class aSound;

namespace GUI {

class Region;

enum HorizontalAlign : uint32_t {
    HA_LEFT = 0,
    HA_CENTER = 1,
    HA_RIGHT = 2,
};

enum VerticalAlign : uint32_t {
    VA_TOP = 0,
    VA_CENTER = 1,
    VA_BOTTOM = 2,
};

// "left", "center", "right" (any case); anything else is left.
HorizontalAlign ParseHorizontalAlign(const std::string& text);
// "top", "center", "bottom" (any case); anything else is top.
VerticalAlign ParseVerticalAlign(const std::string& text);

class Widget : public PropertySet, public EventSet {
public:
    static constexpr const char* EventFocusGain = "FocusGain";
    static constexpr const char* EventFocusLost = "FocusLost";
    static constexpr const char* EventHide = "Hide";
    static constexpr const char* EventShow = "Show";
    static constexpr const char* EventEnabled = "Enabled";
    static constexpr const char* EventDisabled = "Disabled";
    static constexpr const char* EventMouseEnter = "MouseEnter";
    static constexpr const char* EventMouseLeave = "MouseLeave";
    static constexpr const char* EventMouseDown = "MouseDown";
    static constexpr const char* EventMouseUp = "MouseUp";
    static constexpr const char* EventMouseMove = "MouseMove";
    static constexpr const char* EventMouseWheel = "MouseWheel";
    static constexpr const char* EventClick = "Click";
    static constexpr const char* EventDoubleClick = "DoubleClick";
    static constexpr const char* EventTripleClick = "TripleClick";
    static constexpr const char* EventKeyDown = "KeyDown";
    static constexpr const char* EventKeyUp = "KeyUp";
    static constexpr const char* EventKeyPress = "KeyPress";
    static constexpr const char* EventTextChanged = "TextChanged";
    static constexpr const char* EventFontChanged = "FontChanged";
    static constexpr const char* EventMoved = "Moved";
    static constexpr const char* EventSized = "Sized";
    static constexpr const char* EventBeginRender = "BeginRender";
    static constexpr const char* EventEndRender = "EndRender";

    // Formatted texts longer than this (terminator included) are cut.
    static constexpr size_t TEXTF_BUFFER = 2000;

    explicit Widget(const std::string& name);
    // Deletes the children that go with it, releases its sounds, makes the
    // server forget it and leaves its parent.
    ~Widget() override;

    // Virtual operations, in the order widget classes override them.
    void EndFillProperties() override;
    virtual const char* GetType() const { return "Widget"; }
    // True for the class's own name and its bases' below Widget (exact case).
    virtual bool IsKindOf(const std::string& className) const;
    // Runs once for every widget after a whole screen was read.
    virtual void Initialize();
    virtual void Update(float dt);
    virtual void Render();
    virtual void Draw() {}
    virtual void UpdateSelf(float dt);
    virtual bool IsFocusable() const { return false; }
    // True where the widget lets the mouse through (x, y relative to it).
    virtual bool IsTransparentAt(int32_t x, int32_t y) const;
    virtual void OnMouseEnter(const WidgetEventArgs& args);
    virtual void OnMouseLeave(const WidgetEventArgs& args);
    virtual void OnMouseMove(const MouseEventArgs& args);
    virtual void OnMouseDown(const MouseEventArgs& args);
    virtual void OnMouseUp(const MouseEventArgs& args);
    virtual void OnMouseWheel(const MouseEventArgs& args);
    virtual void OnClick(const MouseEventArgs& args);
    virtual void OnDoubleClick(const MouseEventArgs& args);
    virtual void OnTripleClick(const MouseEventArgs& args);
    virtual void OnFocusGain(const WidgetEventArgs& args);
    virtual void OnFocusLost(const WidgetEventArgs& args);
    virtual void OnKeyDown(const KeybEventArgs& args);
    virtual void OnKeyUp(const KeybEventArgs& args);
    virtual void OnKeyPress(const KeybEventArgs& args);
    virtual void OnEnabled(const WidgetEventArgs& args);
    virtual void OnDisabled(const WidgetEventArgs& args);
    virtual void OnShow(const WidgetEventArgs& args);
    virtual void OnHide(const WidgetEventArgs& args);
    virtual void OnTextChanged(const WidgetEventArgs& args);
    virtual void OnFontChanged(const WidgetEventArgs& args);
    virtual void OnMoved(const WidgetEventArgs& args);
    virtual void OnSized(const WidgetEventArgs& args);
    virtual void OnBeginRender(const WidgetEventArgs& args);
    virtual void OnEndRender(const WidgetEventArgs& args);

    // Geometry. SetArea applies the size limits and fires Moved, then Sized, on a change.
    void SetArea(const aRect& area);
    void SetArea(int16_t x, int16_t y, uint16_t width, uint16_t height) { SetArea(aRect(x, y, width, height)); }
    void SetPosition(int16_t x, int16_t y);
    void SetSize(uint16_t width, uint16_t height);
    void SetWidth(uint16_t width);
    void SetHeight(uint16_t height);
    const aRect& GetArea() const { return m_area; }
    uint16_t GetWidth() const { return m_area.width; }
    uint16_t GetHeight() const { return m_area.height; }
    // The top-left corner inside the parent (x or y plus its anchor).
    int32_t GetXInParent() const;
    int32_t GetYInParent() const;
    int32_t GetAbsoluteX() const;
    int32_t GetAbsoluteY() const;
    aRect GetAbsoluteRect() const;
    void SetHorizontalAlign(HorizontalAlign align) { m_horizontalAlign = align; }
    void SetVerticalAlign(VerticalAlign align) { m_verticalAlign = align; }

    // State. The setters fire their events only on a change.
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);
    // Unless ownOnly, false also when an ancestor's flag is false.
    bool IsEnabled(bool ownOnly = false) const;
    bool IsVisible(bool ownOnly = false) const;
    void SetAlpha(float alpha) { m_alpha = alpha; }
    // Times the parent's alpha while the widget inherits it.
    float GetAlpha(bool ownOnly = false) const;
    float GetHoverFade() const { return m_hoverFade; }
    bool IsHovered() const { return m_hovered; }
    bool IsFocused() const { return m_focused; }
    bool IsStatic() const { return m_static; }
    bool IsModal() const { return m_modal; }
    bool IsAlwaysOnTop() const { return m_alwaysOnTop; }
    bool IsMouseAutoRepeat() const { return m_mouseAutoRepeat; }
    float GetAutoRepeatDelay() const { return m_autoRepeatDelay; }
    float GetAutoRepeatRate() const { return m_autoRepeatRate; }
    int32_t GetTag() const { return m_tag; }
    void SetTag(int32_t tag) { m_tag = tag; }
    const std::string& GetName() const { return m_name; }
    const std::string& GetCursorName() const { return m_cursorName; }
    // The cursor shown while the pointer is over the widget; at once when it is there now.
    void SetMouseCursor(const std::string& name);
    // Presses in quick succession give DoubleClick and TripleClick.
    void SetMultiClick(bool on) { m_multiClick = on; }
    bool IsMultiClick() const { return m_multiClick; }
    // BeginRender and EndRender fire around the widget's drawing.
    void SetNotifyRender(bool on) { m_notifyRender = on; }
    bool IsNotifyRender() const { return m_notifyRender; }
    // A locale key for the screens' hover tooltip ("" for none); the widget only keeps it.
    void SetTooltip(const std::string& key) { m_tooltip = key; }
    const std::string& GetTooltip() const { return m_tooltip; }
    uint32_t GetHotkey() const { return m_hotkey; }
    uint32_t GetHotkeyModifiers() const { return m_hotkeyModifiers; }
    // Whether the parent deletes this widget when it goes (on unless turned off).
    void SetDeleteWithParent(bool on) { m_deleteWithParent = on; }
    // Composite widgets set these on the parts they find.
    void SetClipByParent(bool on) { m_clipByParent = on; }
    bool IsClippedByParent() const { return m_clipByParent; }
    void SetMouseAutoRepeat(bool on) { m_mouseAutoRepeat = on; }

    // Fonts and text. SetFont always fires FontChanged; SetFontSize only on a change.
    void SetFont(aFont* font);
    void SetFontSize(float size);
    // The own font, else (unless ownOnly) the nearest ancestor's; may be null.
    aFont* GetFont(bool ownOnly = false) const;
    // The own size when not 0, else (unless ownOnly) the nearest ancestor's that is not 0; else 0.
    float GetFontSize(bool ownOnly = false) const;
    void SetText(const std::wstring& text);
    // The text shown exactly as given: widgets that read inline tags in their
    // text (the static text) leave them in (a player's name, say).
    virtual void SetPlainText(const std::wstring& text) { SetText(text); }
    // Wide printf formatting (%ls for wide strings) into a buffer of this
    // call's own; a text past TEXTF_BUFFER - 1 characters is cut.
    void SetTextF(const wchar_t* format, ...);
    const std::wstring& GetText() const { return m_text; }
    // Replaces the click sound with a new instance of the named sound (none when missing).
    void SetClickSound(const std::string& soundName);

    // Tree.
    void AddChild(Widget* child);
    void RemoveChild(Widget* child);
    // Takes the children off one by one, deleting those that go with their parent.
    void RemoveAllChildren();
    void SetParent(Widget* parent);
    Widget* GetParent() const { return m_parent; }
    const std::vector<Widget*>& GetChildren() const { return m_children; }
    // Bottom first, top last.
    const std::vector<Widget*>& GetZOrder() const { return m_zOrder; }
    void BringToFront();
    // BringToFront for this widget and each ancestor that rises on click.
    void RiseToFront();
    // Name compared without regard to case; depth first when recursive.
    Widget* FindChild(const std::string& name, bool recursive = false) const;
    void InsertIntoZOrder(Widget* child, bool atBottom);
    void RemoveFromZOrder(Widget* child);

    // Input, with points relative to this widget's top-left corner.
    bool HitTest(int32_t x, int32_t y) const;
    // The topmost descendant under the point, or null.
    Widget* HitTestTree(int32_t x, int32_t y, bool recursive, bool skipStatic) const;
    // True when a widget of the subtree took the key as its hot key.
    bool DispatchHotkey(uint32_t key, uint32_t modifiers);

protected:
    void playSound(aSound* sound) const;
    void releaseSounds();
    // Whether a point relative to `child` falls on it, with its region or transparency.
    static bool hitsChildShape(const Widget* child, int32_t x, int32_t y);
    // HitTestTree below a widget whose ancestors are known to be visible.
    Widget* hitTestVisible(int32_t x, int32_t y, bool recursive, bool skipStatic) const;

    bool m_enabled = true;
    bool m_visible = true;
    Widget* m_parent = nullptr;
    bool m_static = false;
    bool m_mouseAutoRepeat = false;
    float m_autoRepeatRate = 0.05f;
    float m_autoRepeatDelay = 0.3f;
    bool m_alwaysOnTop = false;
    float m_fadeInTime = 0.0f;
    float m_fadeOutTime = 0.0f;
    float m_hoverFade = 0.0f;
    float m_alpha = 1.0f;
    uint16_t m_minWidth = 0;
    uint16_t m_maxWidth = 0;
    uint16_t m_minHeight = 0;
    uint16_t m_maxHeight = 0;
    bool m_inheritsAlpha = true;
    bool m_deleteWithParent = true;
    bool m_notifyRender = false;
    bool m_focused = false;
    bool m_riseOnClick = false;
    int32_t m_clickCount = 0;
    float m_timeSincePress = 0.0f;
    float m_multiClickTime = 0.5f;
    bool m_multiClick = false;
    bool m_modal = false;
    bool m_clipByParent = true;
    std::string m_cursorName = "default";
    std::string m_tooltip;
    aFont* m_font = nullptr;
    float m_fontSize = 1.0f;
    aSound* m_moveSound = nullptr;
    aSound* m_clickSound = nullptr;
    std::string m_name;
    aRect m_area{0, 0, 1, 1};
    int32_t m_tag = 0;
    bool m_hovered = false;
    Region* m_region = nullptr;
    std::vector<Widget*> m_children;
    std::vector<Widget*> m_zOrder;
    VerticalAlign m_verticalAlign = VA_TOP;
    HorizontalAlign m_horizontalAlign = HA_LEFT;
    std::wstring m_text;
    uint32_t m_hotkey = 0;
    uint32_t m_hotkeyModifiers = 0;

    Property m_propAreaRect;
    Property m_propRegion;
    Property m_propVisible;
    Property m_propEnabled;
    Property m_propStatic;
    Property m_propMouseAutoRepeat;
    Property m_propFadeInTime;
    Property m_propFadeOutTime;
    Property m_propSoundMove;
    Property m_propSoundClick;
    Property m_propParent;
    Property m_propFont;
    Property m_propFontSize;
    Property m_propText;
    Property m_propAlpha;
    Property m_propInheritsAlpha;
    Property m_propRiseOnClick;
    Property m_propAutoRepeatDelay;
    Property m_propAutoRepeatRate;
    Property m_propAlwaysOnTop;
    Property m_propHorizontalAlign;
    Property m_propVerticalAlign;
    Property m_propNotifyRender;
    Property m_propMultiClick;
    Property m_propMultiClickTime;
    Property m_propModal;
    Property m_propCursor;
    Property m_propTooltip;
    Property m_propClipByParent;
    Property m_propTag;
    Property m_propHotkey;
};

} // namespace GUI
