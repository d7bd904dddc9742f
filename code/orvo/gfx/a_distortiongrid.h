// An image drawn through a grid of columns x rows vertices whose positions
// and colours can be moved one by one, so the picture bends and waves (the
// water surface). All grids draw through one vertex and one index buffer,
// made by the first grid, grown by any larger one and released with the
// last. The owner sets the blend mode and ends the sprite batch around
// render(). Main thread only (the shared buffers assume it).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "orvo/util/a_geometry.h"

class aGpuDevice;
class aGpuIndexBuffer;
class aGpuVertexBuffer;
class aImage;

class aDistortionGrid {
public:
    struct Vertex {
        float x = 0.0f; // relative to the grid's origin
        float y = 0.0f;
        float u = 0.0f;
        float v = 0.0f;
        aColor color = 0xFFFFFFFF;
    };

    enum OffsetMode : int32_t { FROM_REST = 0, FROM_CENTRE = 1 }; // any other value: absolute

    // Bytes per cell in the shared buffers: four 28-byte vertices, six 16-bit indices.
    static constexpr uint32_t kCellVertexBytes = 112;
    static constexpr uint32_t kCellIndexBytes = 12;
    // Four vertices a cell must stay addressable by 16-bit indices.
    static constexpr uint32_t kMaxCells = 65536 / 4;

    // Fewer than 2 columns or rows are raised to 2; a grid whose cells
    // cannot be indexed with 16 bits is refused (logged): it has no vertices
    // and draws nothing.
    aDistortionGrid(uint32_t columns, uint32_t rows);
    virtual ~aDistortionGrid();
    aDistortionGrid(const aDistortionGrid&) = delete;
    aDistortionGrid& operator=(const aDistortionGrid&) = delete;

    // Null image: nothing. Null rect: the whole image.
    void setImage(const aImage* image, const aRect* rect);
    void setVertexOffset(uint32_t column, uint32_t row, float dx, float dy, int32_t mode);
    void setVertexColor(uint32_t column, uint32_t row, aColor color);
    // Every vertex back to its rest position with the colour; u, v stay.
    void resetVertices(aColor color);
    // scaleY -1: scaleX for both.
    void render(float x, float y, float scaleX, float scaleY = -1.0f);

    uint32_t getColumns() const { return m_columns; }
    uint32_t getRows() const { return m_rows; }
    uint32_t getCellWidth() const { return m_cellWidth; }
    uint32_t getCellHeight() const { return m_cellHeight; }
    uint32_t getCellCount() const { return m_columns > 0 ? (m_columns - 1) * (m_rows - 1) : 0; }
    // Null outside the grid.
    const Vertex* getVertex(uint32_t column, uint32_t row) const;

    static uint32_t getInstances() { return ms_instances; }
    static uint32_t getCapacity() { return ms_capacity; }
    static const aGpuVertexBuffer* getVertexBuffer() { return ms_vertexBuffer.get(); }
    static const aGpuIndexBuffer* getIndexBuffer() { return ms_indexBuffer.get(); }

private:
    // Makes buffers for `cells` cells; on any failure none are left.
    void createBuffers(uint32_t cells);

    aGpuDevice* m_device = nullptr;
    std::vector<Vertex> m_vertices;
    std::unique_ptr<aImage> m_image;
    uint32_t m_columns = 0;
    uint32_t m_rows = 0;
    uint32_t m_cellWidth = 0;
    uint32_t m_cellHeight = 0;

    static std::unique_ptr<aGpuVertexBuffer> ms_vertexBuffer;
    static std::unique_ptr<aGpuIndexBuffer> ms_indexBuffer;
    static uint32_t ms_instances;
    static uint32_t ms_capacity;
};
