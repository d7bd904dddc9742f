#include "game/screens/parkstage.h"

#include <algorithm>

#include "game/app/spriteloader.h"
#include "game/screens/parkconfig.h"
#include "orvo/gfx/a_advanim.h"

cParkStage::cParkStage() = default;
cParkStage::~cParkStage() = default;

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
    addLayer(m_layerA, m_positionsA, s.shadows, s.shadowOffsets, s.posX, s.posY, images);
    addLayer(m_layerB, m_positionsB, s.sprites, s.spriteOffsets, s.posX, s.posY, images);
}

void cParkStage::update(float dt)
{
    for (auto& anim : m_layerB)
        anim->update(dt);
    for (auto& anim : m_layerA)
        anim->update(dt);
    glow = hovered ? std::min(glow + FADE_SPEED * dt, 1.0f) : std::max(glow - FADE_SPEED * dt, 0.0f);
}

void cParkStage::draw()
{
    const aColor colour = (static_cast<aColor>(glow * 255.0f) << 24) | 0x00FFFFFFu;
    for (size_t i = 0; i < m_layerA.size(); ++i)
        m_layerA[i]->draw(m_positionsA[i].x, m_positionsA[i].y, colour);
    for (size_t i = 0; i < m_layerB.size(); ++i)
        m_layerB[i]->draw(m_positionsB[i].x, m_positionsB[i].y, colour);
    hovered = false;
}
