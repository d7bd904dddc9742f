// cOptionsWindow: the settings dialog of the main menu and the play state
// ("Options_win"): music and sound volume, full screen, wide screen and
// particle quality of the current player. The sliders act while dragged;
// "Ok" applies and saves the rest, "Cancel" puts the volumes back. The
// layouts place it over the windows it opens from. One per owning screen,
// made in its init once its layout is read; main thread.
#pragma once

namespace GUI {
class EventArgs;
class Widget;
} // namespace GUI

class cOptionsWindow {
public:
    cOptionsWindow() = default;
    cOptionsWindow(const cOptionsWindow&) = delete;
    cOptionsWindow& operator=(const cOptionsWindow&) = delete;

    // Finds the window in the current GUI server and binds its controls.
    void create();
    void open();
    void update(float dt);

    bool onOk(const GUI::EventArgs& args);
    bool onCancel(const GUI::EventArgs& args);
    bool onMusicSliderMoved(const GUI::EventArgs& args);
    bool onSoundSliderMoved(const GUI::EventArgs& args);

    GUI::Widget* getWindow() const { return m_window; }
    bool isOpening() const { return m_opening; }
    // Shown and not closing (also in its first frame, before it fades in).
    bool isOpen() const;
    // Above 0 while the window is on screen.
    float getAlpha() const { return m_alpha; }

private:
    GUI::Widget* control(const char* name) const;
    float sliderValue(const char* name, float fallback) const;

    GUI::Widget* m_window = nullptr;
    bool m_opening = false;
    float m_alpha = 0.0f;
};
