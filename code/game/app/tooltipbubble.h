// What the three speech-bubble windows share (cSimpleTooltip, cTip's owners,
// cTutorialTooltip): the bubble pictures of the game's image manager, their
// text widget in the common style, and drawing a bubble mirrored. Main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class aImage;
namespace GUI {
class StaticText;
}

// The picture of that name in the game's image manager, or null (logged by the manager).
aImage* tooltip_image(const char* name);
// "TooltipText": no formatting, the GUI server's "mistral24" at `fontSize`, dark brown.
std::unique_ptr<GUI::StaticText> tooltip_makeText(const std::wstring& text, float fontSize);
// White at `alpha` (0..1, clamped), rounded to a byte.
uint32_t tooltip_color(float alpha);
// Draws the picture with its top-left corner at (x, y), mirrored in place
// (left to right, top to bottom) when asked.
void tooltip_drawMirrored(aImage& image, float x, float y, bool flipLeft, bool flipDown, float alpha);
// The left button went up this frame with the pointer inside the rectangle.
bool tooltip_clickedInside(int32_t x, int32_t y, int32_t width, int32_t height);
