// cWater: the water of a level. An animated surface stretched over a
// rectangle of the screen, an optional foam band whose rows sway, a grid of
// depth values (one node every 20 pixels) sampled from the level's water
// mask, and the deep-water mask through which creatures standing in water
// lose their lower part. At most one exists (the singleton); built on the
// loading thread, stepped and drawn on the main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvo/gfx/a_image.h"
#include "orvo/util/a_geometry.h"
#include "orvo/util/a_singleton.h"

class aGpuDevice;
class aGpuVertexBuffer;

class cWater : public aSingleton<cWater> {
public:
    struct Cell {
        float x = 0.0f;
        float y = 0.0f;
        uint8_t depth = 0;
    };

    static constexpr const char* kFoamPath = "sprites:Water/Foam.jng";
    static constexpr const char* kDeepMaskPath = "sprites:Water/DeepWaterMask.jng";
    // Depth values above this are water.
    static constexpr uint8_t kWaterDepth = 200;
    static constexpr int32_t kNodeSpacing = 20;
    static constexpr float kFoamX = 194.0f;
    static constexpr float kFoamStepTime = 0.05f;

    // Deletes the water there is and makes a new one (the singleton).
    // `foam` may be empty (no foam band).
    static cWater* create(const aRect& area, const std::string& maskPath, const std::string& foamPath,
                          const std::string& framesFolder);
    static void destroy();
    // False without water or outside its area.
    static bool waterAt(int32_t x, int32_t y);

    ~cWater() override;

    // The vertex buffers go with a lost device and come back with it; the
    // foam band is refilled at once so its first frame is not empty.
    void releaseDeviceObjects();
    void restoreDeviceObjects();

    // Time and the foam band; the foam moves once per call at most.
    void advance(float dt);
    // Rebuilds the foam band from the current time.
    void step();
    void drawSurface();
    // The animal's frame (source rectangle of its image) drawn over `screen`,
    // hidden where the deep-water mask is opaque.
    void drawInWater(const aImage& image, const aRect& source, const aRect& screen, bool mirrored);

    uint8_t depthAt(uint32_t column, uint32_t row) const;
    uint32_t getColumns() const { return m_columns; }
    uint32_t getRows() const { return m_rows; }
    int32_t columnStep() const { return m_columnStep; }
    int32_t rowStep() const { return m_rowStep; }
    const Cell& cell(uint32_t column, uint32_t row) const { return m_cells[row * m_columns + column]; }
    const aRect& getArea() const { return m_area; }
    bool hasFoam() const { return m_foam != nullptr; }
    size_t getFrameCount() const { return m_frames.size(); }
    const aGpuVertexBuffer* foamBuffer() const { return m_foamBuffer.get(); }

    float time = 0.0f;
    float foamTimer = 0.0f;
    float distortionStrength = 0.005f;
    float distortionSpeed = 8.0f;
    float frameTime = 0.15f;

private:
    cWater(const aRect& area, const std::string& maskPath, const std::string& foamPath,
           const std::string& framesFolder);
    void sampleMask(const std::string& maskPath);
    void createVertexBuffers();
    void loadFrames(const std::string& folder);
    bool nodeAt(int32_t x, int32_t y) const;

    aGpuDevice* m_device = nullptr;
    aRect m_area;
    uint32_t m_columns = 1;
    uint32_t m_rows = 1;
    int32_t m_columnStep = 1;
    int32_t m_rowStep = 1;
    std::vector<Cell> m_cells;
    std::unique_ptr<aImage> m_foam;
    std::unique_ptr<aImage> m_deepMask;
    std::vector<std::unique_ptr<aImage>> m_frames;
    std::unique_ptr<aGpuVertexBuffer> m_foamBuffer;
    std::unique_ptr<aGpuVertexBuffer> m_animalBuffer;
};
