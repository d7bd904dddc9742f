// The panel beside the map's selected level: its title, a text chosen by its
// status, the medal times and rewards of an open level, the medal of a
// completed one, and pictures of the park stages a locked level still needs.
// One at a time; made again whenever the selection changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orvo/util/a_geometry.h"

class aImage;
struct cMapLevel;
namespace GUI {
class Widget;
}

class cLevelTooltip {
public:
    struct Thumbnail {
        aImage* image = nullptr;
        float scale = 1.0f;
        aRect source;
    };

    static constexpr int16_t WINDOW_X = 243;
    static constexpr int16_t WINDOW_Y = 427;

    cLevelTooltip(const cMapLevel& level, int32_t status);
    ~cLevelTooltip();
    cLevelTooltip(const cLevelTooltip&) = delete;
    cLevelTooltip& operator=(const cLevelTooltip&) = delete;

    static void showFor(const cMapLevel& level, int32_t status);
    static cLevelTooltip* get();
    // Draws the current tooltip when there is one with a window.
    static void drawCurrent(float dt);
    static void destroy();
    // "m:ss" of a time in seconds.
    static std::wstring formatTime(int32_t seconds);

    void draw(float dt);

    const std::string& getLevelName() const { return m_levelName; }
    int32_t getStatus() const { return m_status; }
    GUI::Widget* getWindow() const { return m_window; }
    bool needsMoney() const { return m_needMoney; }
    const std::vector<Thumbnail>& thumbnails() const { return m_thumbnails; }
    uint16_t getRowHeight() const { return m_rowHeight; }
    uint16_t getRowWidth(int row) const { return m_rowWidth[row & 1]; }
    // Top-left corners where draw puts the thumbnails, in order.
    std::vector<aPoint> thumbnailPositions() const;

private:
    void build();
    void findMissingUpgrades();
    GUI::Widget* child(const char* name) const;
    void setChildText(const char* name, const std::wstring& text) const;
    void showChild(const char* name, bool visible) const;

    bool m_showing = true;
    std::string m_levelName;
    int32_t m_status = 0;
    GUI::Widget* m_window = nullptr;
    bool m_needMoney = false;
    std::vector<Thumbnail> m_thumbnails;
    uint16_t m_rowHeight = 0;
    uint16_t m_rowWidth[2] = {0, 0};
};
