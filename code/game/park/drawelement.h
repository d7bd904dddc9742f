// cDrawElement: the base of everything drawn in the park scene and the
// mini-game screens. It keeps where the element stands (its feet), how large
// it is drawn (the park's perspective times its own scale) and the screen
// rectangle used for sorting, picking and clipping; subclasses draw, update
// and release themselves. Main thread, or the loading thread while a level
// is built.
#pragma once

#include <cstdint>
#include <vector>

#include "orvo/util/a_geometry.h"
#include "orvo/util/a_vector2.h"

class cDrawElement {
public:
    cDrawElement() = default;
    cDrawElement(const cDrawElement&) = delete;
    cDrawElement& operator=(const cDrawElement&) = delete;
    virtual ~cDrawElement() = default;

    virtual void draw() {}
    virtual void update(float /*dt*/) {}
    virtual bool isAlive() { return true; }
    // Pooled subclasses put themselves back on their pool instead.
    virtual void release() { delete this; }

    // The element's feet go to p plus the offset at the scale in force before
    // the call; the anchor becomes p.
    void setPosition(const aVector2& p);
    void updateScale();
    // Keeps the scale; only the drawn rectangle follows.
    void setSize(uint16_t w, uint16_t h);
    // Places the element so that its drawn rectangle starts at (l, t).
    void setRect(int16_t l, int16_t t, uint16_t w, uint16_t h);
    const aRect& getScreenRect();

    // The park's perspective: k above the start line, 1.0 below the end
    // line, a straight line between.
    static float depthScale(float y);
    // Set once from the RENDER settings of the game's configuration.
    static void setPerspective(float startDist, float startScale, float endDist);
    // Puts every field back to its construction value.
    void resetDrawElement();

    bool active = true;
    int16_t left = 0;
    int16_t top = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    bool perspective = true;
    aRect screenRect;
    aVector2 position;
    aVector2 offset;
    aVector2 anchor;
    aVector2 centre;
    float scale = 1.0f;
    float baseScale = 1.0f;

private:
    void placeRect();

    static inline float s_startDist = 180.0f;
    static inline float s_startScale = 0.7f;
    static inline float s_endDist = 500.0f;
};

// Depth order of the scene: smaller anchor y first; on equal y the larger x first.
bool compareDepth(const cDrawElement* a, const cDrawElement* b);

// The living animals and poachers of this frame, filled and sorted by the
// level's frame step and emptied by its draw.
extern std::vector<cDrawElement*> g_drawList;
