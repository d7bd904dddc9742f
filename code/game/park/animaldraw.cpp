// cAnimal: the body with its highlight, the effects and the info panel.
#include <algorithm>

#include "game/app/game.h"
#include "game/park/animal.h"
#include "game/park/parkeffects.h"
#include "game/park/shadow.h"
#include "gui/server.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"

namespace {

aGraphServer* graphServer()
{
    cGame* game = cGame::get();
    return game ? game->getGraphServer() : nullptr;
}

} // namespace

cAnimal::BodyFrame cAnimal::bodyFrame(float extra) const
{
    BodyFrame body;
    const aAdvAnim* anim = currentAnimation();
    aRect disp;
    if (!anim || !anim->getCurrentFrameRect(disp))
        return body;
    body.image = anim->getCurrentFrame(body.source);
    const float s = scale + extra;
    const float w = width * scale, h = height * scale;
    body.scaleX = mirrored ? -s : s;
    body.scaleY = s;
    const float x = mirrored ? left + w + w * extra * 0.5f : left - w * extra * 0.5f;
    const float y = top - h * extra * 0.5f;
    body.placeX = x;
    body.placeY = y;
    body.x = x + disp.x * body.scaleX;
    body.y = y + disp.y * body.scaleY;
    body.maskColumn = direction;
    body.maskRow = child ? 1 : 0;
    return body;
}

void cAnimal::draw()
{
    const float p = std::clamp(presence, 0.0f, 2.0f) * 0.5f;
    const uint32_t alpha = static_cast<uint32_t>(255.0f * p * p);
    // The animation's own draw: an ended one shows only when its file says "ShowStoped".
    aAdvAnim* anim = currentAnimation();
    auto drawBody = [anim](const BodyFrame& body, uint32_t color) {
        if (!body.image)
            return;
        const float scales[2] = {body.scaleX, body.scaleY};
        anim->draw(body.placeX, body.placeY, color, scales);
    };

    if (hoverAlpha > 0.0f && health > 0.0f && presence == 2.0f) {
        const uint32_t highlightAlpha = static_cast<uint32_t>((highlight >> 24) / 255.0f * hoverAlpha * 255.0f);
        aGraphServer* graph = graphServer();
        const uint32_t previous = graph ? graph->getBlendMode() : 0;
        if (graph)
            graph->setBlendMode(0x400);
        drawBody(bodyFrame(0.05f), (highlight & 0xFFFFFF) | highlightAlpha << 24);
        if (graph)
            graph->setBlendMode(previous);
    }
    const BodyFrame body = bodyFrame(0.0f);
    if (!(kind->liveInWater && drawInWater && drawInWater(*this, body)))
        drawBody(body, alpha << 24 | 0xFFFFFF);
    park_renderEffectLayer(effectLayer);
}

void cAnimal::drawShadow()
{
    if (kind && kind->shadow)
        shadow_drawAnimal(*kind->shadow, anchor, scale, width, child, direction, mirrored, presence);
}

void cAnimal::drawShadows(const std::vector<cAnimal*>& animals)
{
    for (cAnimal* animal : animals)
        animal->drawShadow();
}

void cAnimal::drawInfoPanel()
{
    indicator.draw();
    if (!isLiving() || presence < 2.0f || hoverAlpha <= 0.0f)
        return;
    aImage* gui = animalGuiImage();
    aGraphServer* graph = graphServer();
    if (!gui || !graph)
        return;
    const uint32_t a = static_cast<uint32_t>(hoverAlpha * 255.0f) << 24;
    const float w = std::max(width * scale, 20.0f);
    // Under the feet, clear of the thought bubble over the head.
    const float x = anchor.x - w * 0.5f, y = anchor.y + 6.0f;
    if (state == cAnimalKind::PRODUCE) {
        static const aRect kBar(81, 47, 13, 6);
        const float pos[2] = {x, y};
        const float stretch[2] = {w / kBar.width, 1.0f};
        gui->draw(pos, kBar, a | 0xFFFFFF, stretch);
        const float done = kind->produceTime > 0.0f ? std::clamp(produceTimer / kind->produceTime, 0.0f, 1.0f) : 1.0f;
        aGDI gdi;
        gdi.color = a | 0x5BA5D8;
        gdi.drawRect(x + 1.0f, y + 1.0f, (w - 2.0f) * done, 4.0f, true);
        const ClickValue value = clickValue();
        GUI::Server* server = GUI::Server::getSingletonPtr();
        if (aFont* font = server && !value.text.empty() ? server->GetFont("arial14") : nullptr) {
            font->setSize(kClickValueSize);
            font->color = value.colour;
            font->drawText(value.x, value.y, value.text, A_FONT_CENTER_X);
        }
        return;
    }
    // The health bar: the frame with its heart, and the fill inside it.
    static const aRect kFrame(0, 53, 119, 23), kFill(0, 76, 100, 14);
    const float k = 0.5f;
    const float frameX = anchor.x - kFrame.width * k * 0.5f;
    const float framePos[2] = {frameX, y};
    const float half[2] = {k, k};
    gui->draw(framePos, kFrame, a | 0xFFFFFF, half);
    const float healthShare = kind->maxHealth > 0.0f ? std::clamp(health / kind->maxHealth, 0.0f, 1.0f) : 0.0f;
    const aRect fill(kFill.x, kFill.y, static_cast<uint16_t>(kFill.width * healthShare), kFill.height);
    if (fill.width > 0) {
        const float fillPos[2] = {frameX + 16.0f * k, framePos[1] + 4.5f * k};
        gui->draw(fillPos, fill, a | 0xFFFFFF, half);
    }
}

cAnimal::ClickValue cAnimal::clickValue() const
{
    ClickValue value;
    cGame* game = cGame::get();
    if (state != cAnimalKind::PRODUCE || clickTextTime >= 1.0f || productionClicks <= 0 || !game)
        return value;
    value.text = game->formatMoneyGain(kind->bonusProduce + kind->bonusAddedOnClick * productionClicks);
    value.x = anchor.x;
    value.y = top - 16.0f - 30.0f * clickTextTime;
    value.colour = static_cast<uint32_t>((1.0f - clickTextTime) * hoverAlpha * 255.0f) << 24 | 0xFFE040;
    return value;
}
