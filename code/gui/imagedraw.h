// The image drawing shared by the toolkit's picture widgets and skins:
// stretched images, tiled images, animation frames, the image slots that
// widgets keep (each an own counted handle, so an image list that is
// unloaded never leaves a widget pointing at a freed image) and the alpha
// test of click-through pictures. Drawing runs on the main thread inside a
// frame of the graph server; SetImage also while a screen is built.
#pragma once

#include <cstdint>
#include <memory>

#include "orvo/util/a_geometry.h"

class aImage;
class aSprite;

namespace GUI {

class Property;

// Degrees of layout scripts to the radians of drawing.
constexpr float kDegreesToRadians = 3.1415927410125732f / 180.0f;

// Reads "x y" into the centre and points at it; an unreadable text clears the pointer.
void ReadRotCenter(const Property& property, float centre[2], const float*& pointer);

// Puts a handle of `image` (null: none) into the slot and the rectangle
// (null: the whole image, or only x and y set to 0 without an image) into
// rectSlot. A slot already holding the same picture keeps its handle.
void SetImage(const aImage* image, const aRect* rect, std::unique_ptr<aImage>* slot, aRect* rectSlot);

// The source scaled onto the destination; nothing for a null image, a colour
// with alpha 0 or an empty source. Rotation in radians about `centre` (null: the middle).
void DrawImageStretched(aImage* image, const aRect& source, const aRect& destination, aColor color,
                        float rotation = 0.0f, const float* centre = nullptr);

// The current frame scaled onto the destination; nothing for a null or
// frameless animation, a frame of no size or a colour with alpha 0.
void DrawAnimFrame(aSprite* animation, const aRect& destination, aColor color, float rotation = 0.0f,
                   const float* centre = nullptr);

// The source repeated unscaled over the destination, row by row, the last
// row and column cut to the top-left part of the source. Nothing for a null
// image, a colour with alpha 0 or an empty source or destination.
void DrawImageTiled(aImage* image, const aRect& source, const aRect& destination, aColor color);

// Whether the point (x, y) of a widget width x height showing `rect` of
// `image` lets the mouse through: the texel's alpha byte times the widget's
// alpha (truncated) is below the threshold. False for a threshold of 0, no
// image or an empty widget.
bool IsImageTransparentAt(aImage* image, const aRect& rect, uint16_t width, uint16_t height, int32_t x, int32_t y,
                          uint8_t threshold, float alpha);

} // namespace GUI
