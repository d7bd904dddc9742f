// Helpers shared by the files of aImage (internal to the image code).
#pragma once

#include <cstdint>
#include <memory>

#include "orvo/gfx/a_image.h"

class aGraphServer;
class aGpuDevice;

// The application's graph server and its device; null without them.
aGraphServer* image_graphServer();
aGpuDevice* image_device();
// The format textures of the record are made in: its display format, or
// A8R8G8B8 when that is not a texture format (a format no list named).
aGpuFormat image_textureFormat(const aImage::TextureRecord& record);
// Puts the texture (or none) into the surface with its sizes.
void image_setTexture(aImage::Surface& surface, std::unique_ptr<aGpuTexture> texture, uint32_t imageWidth,
                      uint32_t imageHeight);
