// One upgrade stage standing (or previewed) in the player's park: its shadow
// and picture layers, drawn with a glow that fades in while the park shows
// the stage and out when it stops.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvo/util/a_geometry.h"
#include "orvo/util/a_vector2.h"

class aAdvAnim;
class aImageManager;
struct cUpgradeSection;
namespace GUI {
class Widget;
}

class cParkStage {
public:
    static constexpr float FADE_SPEED = 4.0f;

    cParkStage();
    ~cParkStage();
    cParkStage(const cParkStage&) = delete;
    cParkStage& operator=(const cParkStage&) = delete;

    // Loads the pictures of a section: shadows in the first layer, sprites in the second.
    void loadPictures(const cUpgradeSection& section, aImageManager* images);

    void update(float dt);
    void draw();

    bool hovered = false;
    float glow = 0.0f;
    int32_t type = 0;
    int32_t stage = 0;
    int32_t cost = 0;
    std::string neededLevel = "Level01";
    GUI::Widget* button = nullptr;
    size_t section = 0; // index in the park file's upgrade list

    const aRect& getRect() const { return m_rect; }
    size_t pictureCount() const { return m_layerA.size() + m_layerB.size(); }

private:
    void addLayer(std::vector<std::unique_ptr<aAdvAnim>>& layer, std::vector<aVector2>& positions,
                  const std::vector<std::string>& names, const std::vector<int32_t>& offsets, int16_t x, int16_t y,
                  aImageManager* images);

    std::vector<std::unique_ptr<aAdvAnim>> m_layerA;
    std::vector<std::unique_ptr<aAdvAnim>> m_layerB;
    std::vector<aVector2> m_positionsA;
    std::vector<aVector2> m_positionsB;
    aRect m_rect;
    bool m_hasRect = false;
};
