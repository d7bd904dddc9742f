// cFlyAwayText: a short text (a money gain or cost) that waits, drifts away
// from where it was added and fades out. Texts live in a process-wide list
// and go back to a free pool when faded; the play state and the mini-game
// screens add them and step (which also draws) them once a frame, last.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/park/drawelement.h"

class aFont;

class cFlyAwayText : public cDrawElement {
public:
    enum Direction : int32_t { UP = 0, DOWN = 1, LEFT = 2, RIGHT = 3 };
    // Texts closer than this (squared pixels) to a live one wait a little longer.
    static constexpr float kCrowdedDistanceSq = 400.0f;
    static constexpr float kCrowdedDelay = 0.25f;

    cFlyAwayText();

    // A text from the pool (or a new one) in the live list.
    static cFlyAwayText* add(aFont* font, const std::wstring& text, float scale, const aVector2& at, float speed,
                             float fadeSpeed);
    // Steps and draws every live text; faded ones go back to the pool.
    static void updateAll(float dt);
    // Destroys every live and pooled text (leaving a level or a mini-game).
    static void clearAll();
    static const std::vector<cFlyAwayText*>& live();

    void init(aFont* f, const std::wstring& t, float speed, float fadeSpeed, const aVector2& at);
    // False once faded out.
    bool step(float dt);
    void release() override;

    int32_t direction = UP;
    aFont* font = nullptr; // not owned
    float delay = 0.0f;
    float speed = 0.0f;
    float fadeSpeed = 0.0f;
    float alpha = 1.0f;
    uint32_t colour = 0xFFFFFF00;
    float textScale = 1.0f;
    std::wstring text;
};
