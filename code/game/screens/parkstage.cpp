#include "game/screens/parkstage.h"

#include "game/app/spriteloader.h"
#include "game/screens/parkconfig.h"
#include "orvo/gfx/a_advanim.h"

cParkStage::cParkStage(const cUpgradeSection& s, size_t index) : section(index)
{
    drawable.parkValues[0] = s.type;
    drawable.parkValues[1] = s.stage;
    drawable.parkValues[2] = s.cost;
    drawable.name = s.neededLevel;
}

void cParkStage::addLayer(std::vector<std::unique_ptr<aAdvAnim>>& layer, std::vector<aVector2>& positions,
                          const std::vector<std::string>& names, const std::vector<int32_t>& offsets, int16_t x,
                          int16_t y, aImageManager* images)
{
    for (size_t i = 0; i < names.size(); ++i) {
        std::unique_ptr<aAdvAnim> anim = sprite_loadByName(images, "park:" + names[i]);
        aRect frame;
        if (!anim || !anim->getCurrentFrameRect(frame))
            continue; // a missing picture leaves that piece out
        const float px = static_cast<float>(x + (2 * i < offsets.size() ? offsets[2 * i] : 0));
        const float py = static_cast<float>(y + (2 * i + 1 < offsets.size() ? offsets[2 * i + 1] : 0));
        const aRect at(static_cast<int16_t>(px + frame.x), static_cast<int16_t>(py + frame.y), frame.width,
                       frame.height);
        m_rect = m_hasRect ? m_rect.unite(at) : at;
        m_hasRect = true;
        anim->play();
        positions.emplace_back(px, py);
        layer.push_back(std::move(anim));
    }
}

void cParkStage::loadPictures(const cUpgradeSection& s, aImageManager* images)
{
    addLayer(drawable.layerA, drawable.layerAPositions, s.shadows, s.shadowOffsets, s.posX, s.posY, images);
    addLayer(drawable.layerB, drawable.layerBPositions, s.sprites, s.spriteOffsets, s.posX, s.posY, images);
}
