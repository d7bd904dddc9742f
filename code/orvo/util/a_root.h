// The common root of the engine's polymorphic objects (resource managers,
// sprites, loaders): nothing but a virtual destructor, so any of them can be
// deleted through it.
#pragma once

class aRoot {
public:
    aRoot() = default;
    virtual ~aRoot() = default;
    aRoot(const aRoot&) = default;
    aRoot& operator=(const aRoot&) = default;
};
