// One award of "awards:config.ini": its picture and place on the awards
// screen, the goal its progress is compared with and the locale key of its
// description. The awards screen owns the table for the whole run (the
// pictures come and go with the screens' resources); the new-award window
// reads records of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvo/gfx/a_image.h"

struct cAward {
    std::unique_ptr<aImage> image; // null while the screens' resources are not loaded
    int16_t x = 0;
    int16_t y = 0;
    // 0 or less: the award can never be earned.
    int32_t goal = 0;
    std::string tooltipKey;
    std::string imagePath;

    uint16_t width() const { return image ? image->getWidth() : 0; }
    uint16_t height() const { return image ? image->getHeight() : 0; }
};

// The localised description of an award with its goal filled in (the text
// comes from data, so it goes through the safe formatter).
std::wstring award_describe(const std::string& tooltipKey, int32_t goal);
