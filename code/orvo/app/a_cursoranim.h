// The animated mouse cursor as the application frame handles it: the input
// server copies, restarts and deletes it, the graph server steps and draws it
// on top of each frame. The animation module installs these operations, so
// the frame does not depend on the animation classes. A loading thread may
// set the cursor (a screen made there picks its own) while the main thread
// draws it: both sides hold cursoranim_mutex() while they touch it.
#pragma once

#include <cstdint>
#include <mutex>

class aAnim;

struct aCursorAnimOps {
    aAnim* (*copy)(const aAnim& from) = nullptr;
    void (*assign)(aAnim& to, const aAnim& from) = nullptr;
    void (*play)(aAnim& anim) = nullptr;
    void (*step)(aAnim& anim, float seconds) = nullptr;
    // Draws the current frame at the position, white, unrotated.
    void (*draw)(aAnim& anim, int16_t x, int16_t y) = nullptr;
    void (*destroy)(aAnim* anim) = nullptr;
};

// Replaces the operations; missing ones do nothing (no cursor is copied, so
// the system cursor stays).
void cursoranim_setOps(const aCursorAnimOps& ops);
const aCursorAnimOps& cursoranim_ops();
// Guards the application's cursor animation (re-entrant).
std::recursive_mutex& cursoranim_mutex();
