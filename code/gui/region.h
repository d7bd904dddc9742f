// GUI::Region: a hit-test mask read from a one-bit bitmap file. A widget with
// a region catches the mouse only on the mask's set pixels, scaled to the
// widget's size. Regions belong to the GUI server that read them ("regionlist"
// blocks). Built on the loading or main thread, read on the main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace GUI {

class Region {
public:
    Region() = default;
    virtual ~Region() = default;
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    // Builds the mask from a one-bit BMP. A file that is not one (or whose
    // header promises more than it holds) is logged and leaves the region as it was.
    bool LoadFromBitmap(const std::string& path);
    // False without a mask and outside it (negative coordinates included).
    bool Contains(int32_t x, int32_t y) const;

    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }

private:
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    std::unique_ptr<uint8_t[]> m_mask;
};

} // namespace GUI
