// cMessageBox: the game's one modal question and notice window, built from
// the "MessageBox" widget of the current screen's layout (the shared windows
// every screen includes): caption, message, OK or Yes and No, one icon, a
// fade in and out, and the function of the pressed button called once the
// box has faded out. A won mini-game's box also counts its reward up.
// One record lives from the first show to program exit; main thread only.
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace GUI {
class EventArgs;
class Server;
class Widget;
} // namespace GUI
class cGameState;

class cMessageBox {
public:
    using Callback = void (*)();

    enum Flags : uint32_t {
        MB_OK = 1,
        MB_YESNO = 2,
        MB_WARNING = 4,
        MB_ACCEPT = 8,
        MB_BLOCK = 16,
        MB_QUESTION = 32,
        MB_DIAMOND = 64,
        MB_NOT_MODAL = 128,
        MB_SILENT = 256,
    };

    // Texts already localised. False (nothing else happens) without a GUI
    // server or without a "MessageBox" widget in it.
    static bool show(const std::wstring& caption, const std::wstring& text, uint32_t flags, Callback onOk,
                     Callback onNo);
    static void updateIfShown(float dt);
    // Closes as if "NoBtn" was pressed.
    static void cancel();
    static bool isShown();
    static void setChildText(const std::string& child, const std::wstring& text);
    // The record; null before the first show.
    static cMessageBox* get();
    // Drops the window (its GUI server is going) without calling anything,
    // and gives back the modal count it took.
    static void forgetWindow();

    bool onOk(const GUI::EventArgs& args);
    bool onNo(const GUI::EventArgs& args);
    void update(float dt);
    void close();

    // Set right after show to count a reward up in the caption.
    uint16_t countTarget = 0;
    float countValue = 0.0f;

    GUI::Widget* getWindow() const { return m_window; }
    bool isOpening() const { return m_opening; }

private:
    GUI::Widget* child(const std::string& name) const;
    void build(const std::wstring& caption, const std::wstring& text, uint32_t flags, Callback onOk, Callback onNo);
    void showButton(const std::string& name, const char* textKey, bool ok);
    void hideParts();
    void takeModal(bool modal);
    void giveBackModal();
    void countUp(float dt);

    Callback m_onOk = nullptr;
    Callback m_onNo = nullptr;
    Callback m_chosen = nullptr;
    bool m_opening = false;
    GUI::Widget* m_window = nullptr;
    GUI::Server* m_server = nullptr;     // the server the window belongs to
    std::set<GUI::Widget*> m_subscribed; // buttons of that server already bound
    cGameState* m_modalState = nullptr;  // the state whose modal count the box raised
};
