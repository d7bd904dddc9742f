// GUI::Server: the GUI of one screen. It reads ".agui" layout scripts (font
// lists, region lists, styles, templates, cursors and the widget tree under
// one root), owns all they define, answers look-ups by name, dispatches the
// keyboard and the mouse to the widgets once a frame and draws the tree.
// Each game state creates its own server and deletes it when it goes; the
// singleton pointer names the newest server and widgets reach their server
// through it. A screen may be loaded on the loading thread; it is updated and
// drawn on the main thread only once the load is over.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/eventargs.h"
#include "orvo/app/a_caselessless.h"
#include "orvo/app/a_scriptloader.h"
#include "orvo/util/a_singleton.h"

class aFont;
class aImage;
class aImageManager;
class aInputServer;
class aSound;
class aSoundManager;

namespace GUI {

class MouseCursor;
class PropertySet;
class Region;
class Style;
class Widget;

class Server : public aSingleton<Server>, public aScriptLoader {
public:
    // The kinds of script blocks; the loader hands them back to the line and end callbacks.
    enum BlockKind : int32_t {
        BLOCK_SKIPPED = 0,
        BLOCK_FONTLIST = 1,
        BLOCK_REGIONLIST = 2,
        BLOCK_STYLE = 3,
        BLOCK_TEMPLATE = 4,
        BLOCK_WIDGET = 5,
        BLOCK_CURSOR = 6,
    };

    // How deep widget blocks of the layouts may nest below the root. Drawing,
    // hit tests and teardown recurse once a level; deeper blocks are skipped
    // with everything in them, and the first of a load is logged.
    static constexpr int MAX_WIDGET_DEPTH = 64;

    // (property name, value) pairs replayed in order onto a widget.
    using Template = std::vector<std::pair<std::string, std::string>>;

    // Becomes the singleton; the root covers the game screen.
    Server(aImageManager* imageManager, aSoundManager* soundManager);
    // Deletes the widget tree and everything the scripts defined.
    ~Server() override;

    // Initialises every widget once the screen's scripts are read, and resets the input state.
    void InitializeWidgets();

    // Look-ups; a missing name is logged and gives null.
    aFont* GetFont(const std::string& name) const;
    Style* GetStyle(const std::string& name) const;
    Region* GetRegion(const std::string& name) const;
    MouseCursor* GetMouseCursor(const std::string& name) const;
    aImage* GetImage(const std::string& name) const;
    // A copy of the named sound for one widget to play; null (logged) when missing.
    aSound* NewSound(const std::string& name) const;
    void FreeSound(aSound* sound) const;
    // Sets the template's properties on the target in stored order.
    void ApplyTemplate(const std::string& name, PropertySet* target) const;

    // Shows the named cursor in place of the current one; an empty name changes nothing.
    void SetMouseCursor(const std::string& name);
    void Render();
    // The frame step: pointer, buttons (a press goes to the widget under the pointer where it happens),
    // keys, repeats, hover, then the tree's update.
    void Update(float dt);

    // Shift 1, ctrl 2, alt 4 from the keys held; caps lock 8, scroll lock 16, num lock 32 when on.
    uint32_t GetModifiers() const;
    // The character of a key on a US English layout, 0 when it has none.
    static char KeyToChar(uint32_t key, uint32_t modifiers);
    // Null drops the focus; a widget that cannot take the focus changes nothing.
    void SetFocus(Widget* widget);
    // Fires MouseLeave and MouseEnter along the two chains below their common ancestors.
    void SetHoverWidget(Widget* widget);
    // The hover widget follows the pointer where it is now, for a screen that
    // reads the mouse itself before this frame's Update; nothing while a
    // button holds the pointer.
    void RefreshHover();
    // Called by every widget that goes: it is no longer the hover or focus widget.
    void ForgetWidget(Widget* widget);

    Widget* GetRoot() const { return m_root; }
    Widget* GetHoverWidget() const { return m_hoverWidget; }
    Widget* GetFocusWidget() const { return m_focusWidget; }
    MouseCursor* GetCurrentCursor() const { return m_currentCursor; }

protected:
    void OnScriptBegin(const std::string& path) override;
    void OnScriptEnd(const std::string& path) override;
    int32_t OnSectionHeader(int32_t parent, const Words& words) override;
    void OnSectionEnd(int32_t value) override;
    void OnSectionLine(int32_t value, const Words& words) override;

private:
    int32_t openWidget(const Words& words);
    // The hover widget becomes the enabled widget under the pointer (none when disabled).
    void updateHover(int32_t x, int32_t y);
    MouseEventArgs mouseArgs(Widget* widget, uint32_t button, float wheel, int32_t dx, int32_t dy) const;
    KeybEventArgs keyArgs(Widget* widget, uint32_t key) const;
    aInputServer* input() const;

    std::map<std::string, std::unique_ptr<Template>, aCaselessLess> m_templates;
    std::map<std::string, std::unique_ptr<Style>, aCaselessLess> m_styles;
    std::map<std::string, std::unique_ptr<Region>, aCaselessLess> m_regions;
    std::map<std::string, std::unique_ptr<aFont>, aCaselessLess> m_fonts;
    std::map<std::string, std::unique_ptr<MouseCursor>, aCaselessLess> m_cursors;
    std::vector<Widget*> m_parentStack;
    aImageManager* m_imageManager = nullptr;
    aSoundManager* m_soundManager = nullptr;
    int32_t m_autoNameCounter = 0;
    bool m_depthLogged = false; // in this load
    std::string m_scriptPath;   // of this load, for its log lines
    Widget* m_root = nullptr;
    Widget* m_currentWidget = nullptr;
    Style* m_currentStyle = nullptr;
    Template* m_currentTemplate = nullptr;
    MouseCursor* m_currentCursorBlock = nullptr;

    // Input state.
    uint32_t m_modifiers = 0;
    int32_t m_repeatKey = -1;
    float m_repeatTimer = 0.0f;
    bool m_repeatPhase = false;
    bool m_pressed[256] = {};
    uint32_t m_heldButton = BUTTON_NONE;
    bool m_cursorShown = true;
    MouseCursor* m_currentCursor = nullptr;
    int32_t m_lastX = 0;
    int32_t m_lastY = 0;
    Widget* m_hoverWidget = nullptr;
    Widget* m_focusWidget = nullptr;
};

} // namespace GUI
