// cNewAwardWindow: announces an award the moment it is earned, over whatever
// screen or level runs: the "NewAward" window of the current layout with the
// award's picture (200 pixels high), its description, a sparkle and a sound.
// Awards earned while one is shown wait in a queue and follow one by one.
// One instance at most, made on first use, updated by cGame's frame and
// deleted at every state switch and at shutdown (the queue outlives it).
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class aImage;
namespace GUI {
class EventArgs;
class Server;
class Widget;
} // namespace GUI

class cNewAwardWindow {
public:
    static constexpr float CLICK_DELAY = 2.0f;

    ~cNewAwardWindow();
    cNewAwardWindow(const cNewAwardWindow&) = delete;
    cNewAwardWindow& operator=(const cNewAwardWindow&) = delete;

    // Award `index` of the awards table was earned: shown now, or queued
    // behind the one on screen. An index outside the table is ignored.
    static void notify(int32_t index);
    // Shows an award unless one is on screen; nothing without a "NewAward" widget.
    static void show(const std::string& imagePath, const std::string& tooltipKey, int32_t goal);
    static void update(float dt);
    // Deletes the instance; the widget is only touched while its GUI server is the current one.
    static void destroy();
    // Null when none exists.
    static cNewAwardWindow* get();
    // Awards waiting behind the one shown.
    static size_t queued();
    static void clearQueue();

    // The message box asks it to close (only after it was up long enough).
    void close();
    bool isShown() const;
    bool isOpening() const { return m_opening; }
    float getShownTime() const { return m_shownTime; }
    GUI::Widget* getWindow() const { return m_window; }
    const aImage* getPicture() const { return m_picture.get(); }

private:
    cNewAwardWindow() = default;
    void build(GUI::Widget* widget, const std::string& imagePath, const std::string& tooltipKey, int32_t goal);
    void step(float dt);
    void finish();
    // The window, unless its GUI server went (then it is forgotten).
    GUI::Widget* liveWindow();
    void drawPicture();
    static bool onClick(const GUI::EventArgs& args);
    static bool onEndRender(const GUI::EventArgs& args);

    GUI::Widget* m_window = nullptr;
    GUI::Server* m_server = nullptr; // the server the window belongs to
    bool m_opening = false;
    float m_shownTime = 0.0f;
    std::unique_ptr<aImage> m_picture;
    bool m_effectStarted = false;
    bool m_modalTaken = false;
};
