// cGoalsWindow: the level's goals with their progress, the medal times and
// rewards and the time played. It opens by itself after the level's intro,
// on the HUD's goals button, and in final mode when the level is won: then
// it shows the time medal, ticks the goals off one by one and, once closed,
// leads to the mission results or on to the next state. One at a time, made
// and deleted by the play state; main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvo/util/a_singleton.h"

class aFont;
class cActiveButtonEffect;
class cLevel;
namespace GUI {
class EventArgs;
class Widget;
} // namespace GUI

class cGoalsWindow : public aSingleton<cGoalsWindow> {
public:
    static constexpr int32_t kRowHeight = 47;
    // A row's cell of the "goals" sheet, and where its texts start in it.
    static constexpr float kCellWidth = 116.0f;
    static constexpr float kNameX = 34.0f;  // right of the kind's 32-pixel icon
    static constexpr float kLabelX = 22.0f; // right of the medal

    cGoalsWindow(GUI::Widget* window, cLevel* level);
    ~cGoalsWindow();
    cGoalsWindow(const cGoalsWindow&) = delete;
    cGoalsWindow& operator=(const cGoalsWindow&) = delete;

    void show(float time, bool final, bool intro);
    void update(float dt);
    bool close(const GUI::EventArgs& args);
    void close();
    bool isVisible() const;
    bool drawRows(const GUI::EventArgs& args);
    void highlightClose();
    bool drawMedalRow(float x, float y, int32_t limit, const char* labelKey, int32_t reward, uint32_t colour);

    bool isOpening() const { return opening; }
    bool isFinal() const { return final; }
    uint16_t getRowsTicked() const { return rowsTicked; }
    float getAlpha() const { return alpha; }
    GUI::Widget* getWindow() const { return window; }

private:
    void setCaption(const char* child, const char* key);
    // Final mode with every goal row ticked: the medal rows show their rewards.
    bool showsRewards() const;
    void drawRow(float x, float y, const char* labelKey, const std::wstring& value, uint32_t colour);
    static std::wstring clockText(int32_t seconds);
    // The size a goal's name is drawn at: 0.7, or less to fit its cell. Leaves the font at its own size.
    static float nameSize(aFont& font, const std::wstring& name);

    GUI::Widget* window = nullptr;
    GUI::Widget* timeWidget = nullptr;
    cLevel* level = nullptr;
    aFont* font = nullptr;
    bool opening = false;
    bool introFlag = false;
    bool final = false;
    uint16_t rowsTicked = 0;
    float alpha = 0.0f;
    float rowTimer = 0.0f;
    float shownTime = 0.0f;
    std::unique_ptr<cActiveButtonEffect> closeHighlight;
};
