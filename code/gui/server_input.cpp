// Input dispatch of GUI::Server: the frame step, hover chains and the focus.
#include <algorithm>

#include "gui/server.h"
#include "gui/widget.h"
#include "orvo/app/a_application.h"
#include "orvo/app/a_inputserver.h"

namespace GUI {

namespace {

bool isDown(uint32_t state)
{
    return state == A_STATE_PRESSED || state == A_STATE_HELD;
}

struct CharKey {
    uint8_t key;
    bool shift;
};

// Characters 32 (blank) to 126 ("~") as typed on a US English keyboard.
const CharKey kCharKeys[95] = {
    {A_KEY_SPACE, false},     {A_KEY_1, true},         {A_KEY_APOSTROPHE, true}, {A_KEY_3, true},
    {A_KEY_4, true},          {A_KEY_5, true},         {A_KEY_7, true},          {A_KEY_APOSTROPHE, false},
    {A_KEY_9, true},          {A_KEY_0, true},         {A_KEY_8, true},          {A_KEY_EQUALS, true},
    {A_KEY_COMMA, false},     {A_KEY_MINUS, false},    {A_KEY_PERIOD, false},    {A_KEY_SLASH, false},
    {A_KEY_0, false},         {A_KEY_1, false},        {A_KEY_2, false},         {A_KEY_3, false},
    {A_KEY_4, false},         {A_KEY_5, false},        {A_KEY_6, false},         {A_KEY_7, false},
    {A_KEY_8, false},         {A_KEY_9, false},        {A_KEY_SEMICOLON, true},  {A_KEY_SEMICOLON, false},
    {A_KEY_COMMA, true},      {A_KEY_EQUALS, false},   {A_KEY_PERIOD, true},     {A_KEY_SLASH, true},
    {A_KEY_2, true},          {A_KEY_A, true},         {A_KEY_B, true},          {A_KEY_C, true},
    {A_KEY_D, true},          {A_KEY_E, true},         {A_KEY_F, true},          {A_KEY_G, true},
    {A_KEY_H, true},          {A_KEY_I, true},         {A_KEY_J, true},          {A_KEY_K, true},
    {A_KEY_L, true},          {A_KEY_M, true},         {A_KEY_N, true},          {A_KEY_O, true},
    {A_KEY_P, true},          {A_KEY_Q, true},         {A_KEY_R, true},          {A_KEY_S, true},
    {A_KEY_T, true},          {A_KEY_U, true},         {A_KEY_V, true},          {A_KEY_W, true},
    {A_KEY_X, true},          {A_KEY_Y, true},         {A_KEY_Z, true},          {A_KEY_LBRACKET, false},
    {A_KEY_BACKSLASH, false}, {A_KEY_RBRACKET, false}, {A_KEY_6, true},          {A_KEY_MINUS, true},
    {A_KEY_GRAVE, false},     {A_KEY_A, false},        {A_KEY_B, false},         {A_KEY_C, false},
    {A_KEY_D, false},         {A_KEY_E, false},        {A_KEY_F, false},         {A_KEY_G, false},
    {A_KEY_H, false},         {A_KEY_I, false},        {A_KEY_J, false},         {A_KEY_K, false},
    {A_KEY_L, false},         {A_KEY_M, false},        {A_KEY_N, false},         {A_KEY_O, false},
    {A_KEY_P, false},         {A_KEY_Q, false},        {A_KEY_R, false},         {A_KEY_S, false},
    {A_KEY_T, false},         {A_KEY_U, false},        {A_KEY_V, false},         {A_KEY_W, false},
    {A_KEY_X, false},         {A_KEY_Y, false},        {A_KEY_Z, false},         {A_KEY_LBRACKET, true},
    {A_KEY_BACKSLASH, true},  {A_KEY_RBRACKET, true},  {A_KEY_GRAVE, true},
};

// The widget and its ancestors, outermost first.
std::vector<Widget*> chainOf(Widget* widget)
{
    std::vector<Widget*> chain;
    for (Widget* w = widget; w; w = w->GetParent())
        chain.push_back(w);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

} // namespace

aInputServer* Server::input() const
{
    // Asked every time: the application may replace its input server between screens.
    aApplication* app = aApplication::get();
    return app ? app->getInputServer() : nullptr;
}

char Server::KeyToChar(uint32_t key, uint32_t modifiers)
{
    const bool shift = (modifiers & MOD_SHIFT) != 0;
    for (int i = 0; i < 95; ++i) {
        if (kCharKeys[i].key != key || kCharKeys[i].shift != shift)
            continue;
        char c = static_cast<char>(32 + i);
        if (modifiers & MOD_CAPSLOCK) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            else if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return c;
    }
    return 0;
}

uint32_t Server::GetModifiers() const
{
    const aInputServer* in = input();
    if (!in)
        return 0;
    const uint32_t* k = in->keyStates;
    uint32_t mods = 0;
    if (isDown(k[A_KEY_LSHIFT]) || isDown(k[A_KEY_RSHIFT]))
        mods |= MOD_SHIFT;
    if (isDown(k[A_KEY_LCONTROL]) || isDown(k[A_KEY_RCONTROL]))
        mods |= MOD_CTRL;
    if (isDown(k[A_KEY_LALT]) || isDown(k[A_KEY_RALT]))
        mods |= MOD_ALT;
    const uint32_t locks = in->getLockStates();
    if (locks & A_LOCK_CAPS)
        mods |= MOD_CAPSLOCK;
    if (locks & A_LOCK_NUM)
        mods |= MOD_NUMLOCK;
    if (locks & A_LOCK_SCROLL)
        mods |= MOD_SCROLLLOCK;
    return mods;
}

MouseEventArgs Server::mouseArgs(Widget* widget, uint32_t button, float wheel, int32_t dx, int32_t dy) const
{
    MouseEventArgs args;
    args.widget = widget;
    args.modifiers = m_modifiers;
    args.button = button;
    args.wheel = wheel;
    args.x = m_lastX - widget->GetAbsoluteX();
    args.y = m_lastY - widget->GetAbsoluteY();
    args.dx = dx;
    args.dy = dy;
    return args;
}

KeybEventArgs Server::keyArgs(Widget* widget, uint32_t key) const
{
    KeybEventArgs args;
    args.widget = widget;
    args.modifiers = m_modifiers;
    args.key = key;
    args.character = KeyToChar(key, m_modifiers);
    return args;
}

void Server::Update(float dt)
{
    aInputServer* in = input();

    // 1. Pointer and modifiers. Handlers below may delete widgets, which makes
    // the server forget them, so the hover and focus widgets are read afresh
    // before every use.
    int32_t x = m_lastX, y = m_lastY;
    float wheel = 0.0f;
    if (in) {
        in->getMousePos(x, y);
        wheel = static_cast<float>(in->rawMouse.z) / 120.0f;
    }
    const int32_t dx = x - m_lastX;
    const int32_t dy = y - m_lastY;
    m_lastX = x;
    m_lastY = y;
    m_modifiers = GetModifiers();

    // 2. One mouse button at a time; the pressed widget keeps the pointer until release.
    bool movedBeforePress = false;
    if (m_heldButton == BUTTON_NONE) {
        for (uint32_t b = 0; b < 3; ++b) {
            if (!in || !isDown(in->buttonStates[b]))
                continue;
            // NOTE: the pointer may have jumped onto the widget in this very
            // frame (a touch screen, a quick hand): the press belongs to what
            // lies under it now, not to last frame's hover widget. The move
            // that brought it there came first and is no drag: a thumb
            // pressed now must not take it as one and jump by it.
            updateHover(x, y);
            if (m_hoverWidget && m_hoverWidget->IsEnabled() && (dx != 0 || dy != 0)) {
                m_hoverWidget->OnMouseMove(mouseArgs(m_hoverWidget, BUTTON_NONE, wheel, dx, dy));
                movedBeforePress = true;
            }
            m_heldButton = b;
            m_repeatTimer = 0.0f;
            m_repeatKey = -1;
            m_repeatPhase = false;
            if (m_hoverWidget && m_hoverWidget->IsEnabled()) {
                m_hoverWidget->RiseToFront();
                if (m_hoverWidget)
                    m_hoverWidget->OnMouseDown(mouseArgs(m_hoverWidget, b, wheel, dx, dy));
            }
            break;
        }
    } else if (!in || !isDown(in->buttonStates[m_heldButton])) {
        if (m_hoverWidget && m_hoverWidget->IsEnabled())
            m_hoverWidget->OnMouseUp(mouseArgs(m_hoverWidget, m_heldButton, wheel, dx, dy));
        m_heldButton = BUTTON_NONE;
    }

    // 3. Keys: hot keys first, then the focus widget.
    for (uint32_t key = 0; key < 256; ++key) {
        const bool down = in && isDown(in->keyStates[key]);
        if (down && !m_pressed[key] && m_heldButton == BUTTON_NONE) {
            m_pressed[key] = true;
            m_repeatTimer = 0.0f;
            m_repeatKey = static_cast<int32_t>(key);
            m_repeatPhase = false;
            const bool hotkey = m_root && m_root->DispatchHotkey(key, m_modifiers);
            if (!hotkey && m_focusWidget && m_focusWidget->IsEnabled())
                m_focusWidget->OnKeyDown(keyArgs(m_focusWidget, key));
        } else if (!down && m_pressed[key]) {
            m_pressed[key] = false;
            if (m_repeatKey == static_cast<int32_t>(key))
                m_repeatKey = -1;
            if (m_focusWidget && m_focusWidget->IsEnabled())
                m_focusWidget->OnKeyUp(keyArgs(m_focusWidget, key));
        }
    }

    // 4. Auto-repeat of the held button or the last key, at most once a frame.
    if (m_heldButton != BUTTON_NONE || m_repeatKey != -1) {
        m_repeatTimer += dt;
        Widget* target = m_heldButton != BUTTON_NONE ? m_hoverWidget : m_focusWidget;
        if (target && target->IsEnabled()) {
            bool fire = false;
            if (!m_repeatPhase) {
                if (m_repeatTimer >= target->GetAutoRepeatDelay()) {
                    m_repeatTimer = 0.0f;
                    m_repeatPhase = true;
                    fire = true;
                }
            } else if (m_repeatTimer >= target->GetAutoRepeatRate()) {
                m_repeatTimer -= target->GetAutoRepeatRate();
                fire = true;
            }
            if (fire && m_heldButton != BUTTON_NONE) {
                const MouseEventArgs args = mouseArgs(target, m_heldButton, wheel, dx, dy);
                if (target->IsMouseAutoRepeat() && target->HitTest(args.x, args.y))
                    target->OnMouseDown(args);
            } else if (fire) {
                target->OnKeyDown(keyArgs(target, static_cast<uint32_t>(m_repeatKey)));
            }
        }
    }

    // 5. The widget under the pointer, unless a button holds the pointer.
    if (m_heldButton == BUTTON_NONE)
        updateHover(x, y);

    // 6. Movement and wheel to the hover widget.
    if (m_hoverWidget && m_hoverWidget->IsEnabled() && (dx != 0 || dy != 0) && !movedBeforePress)
        m_hoverWidget->OnMouseMove(mouseArgs(m_hoverWidget, m_heldButton, wheel, dx, dy));
    if (m_hoverWidget && m_hoverWidget->IsEnabled() && wheel != 0.0f)
        m_hoverWidget->OnMouseWheel(mouseArgs(m_hoverWidget, m_heldButton, wheel, dx, dy));

    // 7. The tree's own update.
    if (m_root)
        m_root->Update(dt);
}

void Server::RefreshHover()
{
    aInputServer* in = input();
    if (!in || m_heldButton != BUTTON_NONE)
        return;
    int32_t x = m_lastX, y = m_lastY;
    in->getMousePos(x, y);
    updateHover(x, y);
}

void Server::updateHover(int32_t x, int32_t y)
{
    if (!m_root)
        return;
    Widget* w = m_root->HitTestTree(x - m_root->GetAbsoluteX(), y - m_root->GetAbsoluteY(), true, true);
    if (w && !w->IsEnabled())
        w = nullptr;
    SetHoverWidget(w);
}

void Server::SetHoverWidget(Widget* widget)
{
    if (widget == m_hoverWidget)
        return;
    const std::vector<Widget*> oldChain = chainOf(m_hoverWidget);
    const std::vector<Widget*> newChain = chainOf(widget);
    size_t common = 0;
    while (common < oldChain.size() && common < newChain.size() && oldChain[common] == newChain[common])
        ++common;
    for (size_t i = common; i < oldChain.size(); ++i)
        oldChain[i]->OnMouseLeave(WidgetEventArgs(oldChain[i]));
    for (size_t i = common; i < newChain.size(); ++i)
        newChain[i]->OnMouseEnter(WidgetEventArgs(newChain[i]));
    m_hoverWidget = widget;
}

void Server::SetFocus(Widget* widget)
{
    if (widget && !widget->IsFocusable())
        return;
    if (m_focusWidget)
        m_focusWidget->OnFocusLost(WidgetEventArgs(m_focusWidget));
    m_focusWidget = widget;
    std::fill(std::begin(m_pressed), std::end(m_pressed), false);
    if (widget)
        widget->OnFocusGain(WidgetEventArgs(widget));
}

} // namespace GUI
