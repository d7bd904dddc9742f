// Clips drawing for the life of the object: the graph server's viewport
// becomes its overlap with a rectangle (all zero when they do not meet) and
// is put back when the object goes. Used by the text and list widgets inside
// their Draw; main thread, inside a frame. Without a graph server it does nothing.
#pragma once

#include "orvo/util/a_geometry.h"

class aGraphServer;

namespace GUI {

class ViewportClip {
public:
    explicit ViewportClip(const aRect& rect);
    ~ViewportClip();
    ViewportClip(const ViewportClip&) = delete;
    ViewportClip& operator=(const ViewportClip&) = delete;

private:
    aGraphServer* m_graph = nullptr;
    aRect m_previous;
};

} // namespace GUI
