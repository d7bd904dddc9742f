#include "game/app/tooltipbubble.h"

#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "gui/server.h"
#include "gui/statictext.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"

aImage* tooltip_image(const char* name)
{
    cGame* game = cGame::get();
    aImageManager* images = game ? game->getImageManager() : nullptr;
    return images ? images->getImage(name) : nullptr;
}

std::unique_ptr<GUI::StaticText> tooltip_makeText(const std::wstring& text, float fontSize)
{
    auto window = std::make_unique<GUI::StaticText>("TooltipText");
    window->SetHorzFormatting(0);
    window->SetVertFormatting(0);
    if (const GUI::Server* server = GUI::Server::getSingletonPtr())
        window->SetFont(server->GetFont("mistral24"));
    window->SetFontSize(fontSize);
    window->SetTextColor(0xff281608);
    window->SetText(text);
    return window;
}

uint32_t tooltip_color(float alpha)
{
    const float byte = std::round(std::clamp(alpha, 0.0f, 1.0f) * 255.0f);
    return (static_cast<uint32_t>(byte) << 24) | 0x00FFFFFFu;
}

void tooltip_drawMirrored(aImage& image, float x, float y, bool flipLeft, bool flipDown, float alpha)
{
    // A negative scale mirrors about the draw position.
    const float scale[2] = {flipLeft ? -1.0f : 1.0f, flipDown ? -1.0f : 1.0f};
    image.drawAtF(x + (flipLeft ? image.getWidth() : 0), y + (flipDown ? image.getHeight() : 0), tooltip_color(alpha),
                  scale);
}

bool tooltip_clickedInside(int32_t x, int32_t y, int32_t width, int32_t height)
{
    const cGame* game = cGame::get();
    const aInputServer* input = game ? game->getInputServer() : nullptr;
    if (!input || input->buttonStates[0] != A_STATE_RELEASED)
        return false;
    int32_t px = 0;
    int32_t py = 0;
    input->getMousePos(px, py);
    return px >= x && px < x + width && py >= y && py < y + height;
}
