// The drifting cloud shadows over the park: up to three layers, each an
// image tiled sideways that moves at its own speed. Kept for the whole
// program; every full level load replaces them. Main thread once loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvo/gfx/a_image.h"

struct cCloudLayer {
    std::unique_ptr<aImage> image;
    float x = 0.0f;
    float speed = 0.0f; // pixels a second
};

class cClouds {
public:
    static constexpr size_t kMaxLayers = 3;

    // Drops the layers there are, then fills up to three in list order; a
    // path whose file does not exist is skipped.
    static void load(const std::vector<std::string>& images, const std::vector<int32_t>& speeds);
    static void clear();
    // Moves every layer by speed x dt, then draws it tiled across the screen.
    static void draw(float dt);
    static std::vector<cCloudLayer>& layers();
};
