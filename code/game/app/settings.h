// The values of "config.ini" (display, loading scene, splash) and
// "data:game.ini" (gameplay tuning, language, quit page, the park's
// perspective correction, event counts), as cGame keeps them. Read on the
// main thread at start-up; read-only afterwards except the loading scene and
// the two counts the tutorial changes.
#pragma once

#include <cstdint>
#include <string>

struct cSettings {
    // "data:game.ini" GAMEPLAY
    int32_t animalRiseInPrice = 50;
    int32_t sellAdditionValue = 15;
    int32_t buyAdditionValue = 0;
    int32_t animalSellCoeff = 100;
    int32_t oldAnimalProducingCoeff = 70;
    int32_t easterEggClickCount = 6;
    int32_t maxDoneUpgradesAtOnce = 1;
    int32_t maxProducingCount = 3;
    int32_t maxProducingCountCopy = 3; // what maxProducingCount was read as

    // "config.ini" VIDEO
    uint16_t screenWidth = 1024;
    uint16_t screenHeight = 768;
    bool vsync = false;
    bool highColor = true;
    bool showFps = false;
    float brightness = 0.0f;
    float contrast = 0.0f;

    // "data:game.ini" COMMON
    std::string language = "English";
    std::string languageFolder = "data:Localization/English/";

    // "config.ini" COMMON
    uint16_t loadingScene = 0;
    bool splashScreen = true;

    // "data:game.ini" COMMON
    std::string openUrlOnQuit;

    // "data:game.ini" RENDER: the depth scale of the park's draw elements.
    float perspectiveStartDist = 180.0f;
    float perspectiveStartScale = 0.7f;
    float perspectiveEndDist = 500.0f;

    // "data:game.ini" EVENTS
    int32_t poachersCount = 0;
    int32_t producingAnimalsCount = 0;
    int32_t hungryAnimalsCount = 0;
};
