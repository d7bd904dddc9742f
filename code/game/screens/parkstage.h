// One upgrade stage kept by the park for this visit: the drawable of the
// stage (its shadow and picture layers, drawn with a glow that fades in
// while the park shows the stage) and the button that buys it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "game/park/upgrade.h"
#include "orvo/util/a_geometry.h"

class aImageManager;
struct cUpgradeSection;
namespace GUI {
class Widget;
}

class cParkStage {
public:
    cParkStage(const cUpgradeSection& section, size_t index);

    // Loads the pictures of the section: shadows in the first layer, sprites in the second.
    void loadPictures(const cUpgradeSection& section, aImageManager* images);

    int32_t type() const { return drawable.parkValues[0]; }
    int32_t stage() const { return drawable.parkValues[1]; }
    int32_t cost() const { return drawable.parkValues[2]; }
    const std::string& neededLevel() const { return drawable.name; }
    size_t pictureCount() const { return drawable.layerA.size() + drawable.layerB.size(); }
    // The screen rectangle the pictures cover (empty without pictures).
    const aRect& getRect() const { return m_rect; }

    cUpgrade drawable; // parkValues: Type, Stage, Cost; name: NeededLevel
    GUI::Widget* button = nullptr;
    size_t section = 0; // index in the park file's upgrade list

private:
    void addLayer(std::vector<std::unique_ptr<aAdvAnim>>& layer, std::vector<aVector2>& positions,
                  const std::vector<std::string>& names, const std::vector<int32_t>& offsets, int16_t x, int16_t y,
                  aImageManager* images);

    aRect m_rect;
    bool m_hasRect = false;
};
