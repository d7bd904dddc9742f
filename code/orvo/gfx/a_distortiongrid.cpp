#include "orvo/gfx/a_distortiongrid.h"

#include <algorithm>

#include "orvo/app/a_application.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/util/a_log.h"

std::unique_ptr<aGpuVertexBuffer> aDistortionGrid::ms_vertexBuffer;
std::unique_ptr<aGpuIndexBuffer> aDistortionGrid::ms_indexBuffer;
uint32_t aDistortionGrid::ms_instances = 0;
uint32_t aDistortionGrid::ms_capacity = 0;

aDistortionGrid::aDistortionGrid(uint32_t columns, uint32_t rows)
{
    ++ms_instances;
    aApplication* app = aApplication::get();
    aGraphServer* graph = app ? app->getGraphServer() : nullptr;
    m_device = graph ? graph->getDevice() : nullptr;
    if (!m_device)
        a_log("aDistortionGrid. Error, aGraphServer object not created!");

    if (columns < 2 || rows < 2) {
        a_log("aDistortionGrid. A grid of %u x %u vertices is raised to at least 2 x 2", columns, rows);
        columns = std::max(columns, 2u);
        rows = std::max(rows, 2u);
    }
    const uint64_t cells = static_cast<uint64_t>(columns - 1) * (rows - 1);
    if (cells > kMaxCells) {
        a_log("aDistortionGrid. A grid of %u x %u vertices has more cells than 16-bit indices reach", columns, rows);
        return;
    }
    m_columns = columns;
    m_rows = rows;
    m_vertices.resize(static_cast<size_t>(columns) * rows);

    const uint32_t needed = static_cast<uint32_t>(cells);
    const bool onlyGrid = ms_instances == 1;
    if (onlyGrid || needed > ms_capacity || !ms_vertexBuffer || !ms_indexBuffer)
        createBuffers(needed);
    resetVertices(0xFFFFFFFF);
}

aDistortionGrid::~aDistortionGrid()
{
    m_image.reset();
    if (--ms_instances == 0) {
        ms_vertexBuffer.reset();
        ms_indexBuffer.reset();
        ms_capacity = 0;
    }
}

void aDistortionGrid::createBuffers(uint32_t cells)
{
    ms_vertexBuffer.reset();
    ms_indexBuffer.reset();
    ms_capacity = 0;
    if (!m_device)
        return;

    aGpuResult r = m_device->createVertexBuffer(cells * kCellVertexBytes, ms_vertexBuffer);
    if (gpu_failed(r)) {
        a_log("aDistortionGrid. Vertex buffer creation failed (%s)", gpu_errorName(r));
        ms_vertexBuffer.reset();
        return;
    }
    void* bytes = nullptr;
    if (gpu_succeeded(ms_vertexBuffer->lock(0, 0, &bytes))) {
        aGpuVertex* v = static_cast<aGpuVertex*>(bytes);
        for (uint32_t i = 0; i < cells * 4; ++i) {
            v[i].z = 0.0f;
            v[i].rhw = 1.0f;
        }
        ms_vertexBuffer->unlock();
    }

    r = m_device->createIndexBuffer(cells * kCellIndexBytes, ms_indexBuffer);
    if (gpu_failed(r)) {
        a_log("aDistortionGrid. Index buffer creation failed (%s)", gpu_errorName(r));
        ms_vertexBuffer.reset();
        ms_indexBuffer.reset();
        return;
    }
    if (gpu_succeeded(ms_indexBuffer->lock(0, 0, &bytes))) {
        uint16_t* index = static_cast<uint16_t*>(bytes);
        for (uint32_t i = 0; i < cells; ++i) {
            const uint16_t k = static_cast<uint16_t>(4 * i);
            const uint16_t quad[6] = {
                k, uint16_t(k + 1), uint16_t(k + 2), uint16_t(k + 1), uint16_t(k + 2), uint16_t(k + 3)};
            std::copy(quad, quad + 6, index + 6 * i);
        }
        ms_indexBuffer->unlock();
    }
    ms_capacity = cells;
}

const aDistortionGrid::Vertex* aDistortionGrid::getVertex(uint32_t column, uint32_t row) const
{
    return column < m_columns && row < m_rows ? &m_vertices[row * m_columns + column] : nullptr;
}

void aDistortionGrid::resetVertices(aColor color)
{
    for (uint32_t r = 0; r < m_rows; ++r)
        for (uint32_t c = 0; c < m_columns; ++c) {
            Vertex& v = m_vertices[r * m_columns + c];
            v.x = static_cast<float>(m_cellWidth * c);
            v.y = static_cast<float>(m_cellHeight * r);
            v.color = color;
        }
}

void aDistortionGrid::setImage(const aImage* image, const aRect* rect)
{
    if (!image)
        return;
    if (m_image)
        *m_image = *image;
    else
        m_image = std::make_unique<aImage>(*image);
    const aRect source = rect ? *rect : aRect(0, 0, image->getWidth(), image->getHeight());
    m_cellWidth = m_columns > 1 ? source.width / (m_columns - 1) : 0;
    m_cellHeight = m_rows > 1 ? source.height / (m_rows - 1) : 0;

    const aImage::TextureRecord* record = m_image->getRecord();
    const float textureWidth = record ? record->surfaces[aImage::SURFACE_PLAIN].textureWidth : 0;
    const float textureHeight = record ? record->surfaces[aImage::SURFACE_PLAIN].textureHeight : 0;
    for (uint32_t r = 0; r < m_rows; ++r)
        for (uint32_t c = 0; c < m_columns; ++c) {
            Vertex& v = m_vertices[r * m_columns + c];
            v.x = static_cast<float>(m_cellWidth * c);
            v.y = static_cast<float>(m_cellHeight * r);
            // A picture without a texture draws nothing; keep its coordinates finite.
            const float u = static_cast<float>(c) * source.width / static_cast<float>(m_columns - 1) + source.x;
            const float w = static_cast<float>(r) * source.height / static_cast<float>(m_rows - 1) + source.y;
            v.u = textureWidth > 0 ? u / textureWidth : 0.0f;
            v.v = textureHeight > 0 ? w / textureHeight : 0.0f;
        }
}

void aDistortionGrid::setVertexOffset(uint32_t column, uint32_t row, float dx, float dy, int32_t mode)
{
    if (column >= m_columns || row >= m_rows)
        return;
    Vertex& v = m_vertices[row * m_columns + column];
    if (mode == FROM_REST) {
        v.x = static_cast<float>(m_cellWidth * column) + dx;
        v.y = static_cast<float>(m_cellHeight * row) + dy;
    } else if (mode == FROM_CENTRE) {
        v.x = static_cast<float>(m_columns - 1) * m_cellWidth * 0.5f + dx;
        v.y = static_cast<float>(m_rows - 1) * m_cellHeight * 0.5f + dy;
    } else {
        v.x = dx;
        v.y = dy;
    }
}

void aDistortionGrid::setVertexColor(uint32_t column, uint32_t row, aColor color)
{
    if (column < m_columns && row < m_rows)
        m_vertices[row * m_columns + column].color = color;
}

void aDistortionGrid::render(float x, float y, float scaleX, float scaleY)
{
    const uint32_t cells = getCellCount();
    if (!m_image || !m_image->hasTexture() || !m_device || cells == 0)
        return;
    // The buffers may have failed, or a later grid may have failed to grow them.
    if (!ms_vertexBuffer || !ms_indexBuffer || ms_capacity < cells)
        return;
    if (scaleY == -1.0f)
        scaleY = scaleX;

    void* bytes = nullptr;
    if (gpu_failed(ms_vertexBuffer->lock(0, cells * kCellVertexBytes, &bytes)))
        return;
    aGpuVertex* out = static_cast<aGpuVertex*>(bytes);
    auto put = [&](uint32_t c, uint32_t row) {
        const Vertex& v = m_vertices[row * m_columns + c];
        out->x = v.x * scaleX + x;
        out->y = v.y * scaleY + y;
        out->z = 0.0f;
        out->rhw = 1.0f;
        out->color = v.color;
        out->u = v.u;
        out->v = v.v;
        ++out;
    };
    for (uint32_t row = 0; row + 1 < m_rows; ++row)
        for (uint32_t c = 0; c + 1 < m_columns; ++c) {
            put(c, row);
            put(c + 1, row);
            put(c, row + 1);
            put(c + 1, row + 1);
        }
    ms_vertexBuffer->unlock();

    m_device->setTexture(0, m_image->getRecord()->surfaces[aImage::SURFACE_PLAIN].texture.get());
    m_device->setVertexFormat(aGpuVertexFormat::Tex1);
    m_device->setStreamSource(ms_vertexBuffer.get(), sizeof(aGpuVertex));
    m_device->setIndices(ms_indexBuffer.get(), 0);
    m_device->drawIndexedPrimitive(aGpuPrimitive::TriangleList, 0, cells * 4, 0, cells * 2);
}
