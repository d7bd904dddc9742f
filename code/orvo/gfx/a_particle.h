// One particle of an aParticleSystem: where it is, how it moves, and how its
// size and colour change over its life. Records are owned by their system,
// which keeps them in its live list or its free pool (linked through `next`)
// and recycles them; nobody else creates or frees one.
#pragma once

struct aParticle {
    struct Corner {
        float x = 0.0f;
        float y = 0.0f;
    };
    enum CornerIndex { TOP_LEFT = 0, TOP_RIGHT = 1, BOTTOM_LEFT = 2, BOTTOM_RIGHT = 3 };

    float birth = 0.0f; // system clock when this life began
    float life = 0.0f;  // seconds
    float originX = 0.0f;
    float originY = 0.0f;
    float dirX = 0.0f; // unit direction from the origin to the particle
    float dirY = 0.0f;
    float accX = 0.0f; // wind
    float accY = 0.0f; // gravity
    float tangentialAcc = 0.0f;
    float radialAcc = 0.0f;
    bool alignToDirection = false;
    float angle = 0.0f; // radians
    float spin = 0.0f;  // radians per second
    float halfLife = 0.0f;
    float sizeRate1[2] = {0.0f, 0.0f}; // per second, before halfLife
    float sizeRate2[2] = {0.0f, 0.0f}; // per second, from halfLife on
    float colorRate1[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float colorRate2[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float velX = 0.0f; // pixels per second
    float velY = 0.0f;
    float posX = 0.0f; // the pivot
    float posY = 0.0f;
    float color[4] = {0.0f, 0.0f, 0.0f, 0.0f}; // R, G, B, A, nominally 0..1
    float width = 0.0f;
    float height = 0.0f;
    Corner corners[4]; // on screen, after rotation
    bool mirrored = false;
    aParticle* next = nullptr;
};
