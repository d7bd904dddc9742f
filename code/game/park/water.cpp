#include "game/park/water.h"

#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/park/animal.h"
#include "orvo/app/a_file.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_math.h"
#include "orvo/util/a_stringlist.h"

namespace {

aGpuTexture* plainTexture(const aImage& image)
{
    const aImage::TextureRecord* record = image.getRecord();
    return record ? record->surfaces[aImage::SURFACE_PLAIN].texture.get() : nullptr;
}

aGpuDevice* gameDevice()
{
    cGame* game = cGame::get();
    aGraphServer* graph = game ? game->getGraphServer() : nullptr;
    return graph ? graph->getDevice() : nullptr;
}

// Nodes every 20 pixels; an area narrower than that has one node whose step
// spans it (a zero step would divide by zero when a point is looked up).
void nodeGrid(uint16_t length, uint32_t& count, int32_t& step)
{
    count = length / cWater::kNodeSpacing + 1u;
    step = count > 1 ? length / static_cast<int32_t>(count - 1) : std::max<int32_t>(length, 1);
}

// Water animals are drawn through the water while it exists.
bool drawAnimalInWater(cAnimal& /*animal*/, const cAnimal::BodyFrame& body)
{
    cWater* water = cWater::getSingletonPtr();
    if (!water || !body.image)
        return false;
    const float w = body.source.width * body.scaleX;
    const float h = body.source.height * body.scaleY;
    const aRect screen(static_cast<int16_t>(w < 0.0f ? body.x + w : body.x), static_cast<int16_t>(body.y),
                       static_cast<uint16_t>(std::fabs(w)), static_cast<uint16_t>(std::fabs(h)));
    water->drawInWater(*body.image, body.source, screen, body.scaleX < 0.0f);
    return true;
}

} // namespace

cWater* cWater::create(const aRect& area, const std::string& maskPath, const std::string& foamPath,
                       const std::string& framesFolder)
{
    destroy();
    return new cWater(area, maskPath, foamPath, framesFolder);
}

void cWater::destroy()
{
    delete getSingletonPtr();
}

cWater::cWater(const aRect& area, const std::string& maskPath, const std::string& foamPath,
               const std::string& framesFolder)
    : m_device(gameDevice()), m_area(area)
{
    if (!foamPath.empty() && file_exists(foamPath.c_str()))
        m_foam = std::make_unique<aImage>(foamPath, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    if (file_exists(kDeepMaskPath))
        m_deepMask = std::make_unique<aImage>(kDeepMaskPath, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    else
        a_log("cWater. Missing deep water mask \"%s\"", kDeepMaskPath);
    sampleMask(maskPath);
    createVertexBuffers();
    loadFrames(framesFolder);
    cAnimal::drawInWater = &drawAnimalInWater;
}

cWater::~cWater()
{
    cAnimal::drawInWater = nullptr;
}

void cWater::sampleMask(const std::string& maskPath)
{
    nodeGrid(m_area.width, m_columns, m_columnStep);
    nodeGrid(m_area.height, m_rows, m_rowStep);
    m_cells.assign(static_cast<size_t>(m_columns) * m_rows, Cell());
    // The mask is data: read from its decoded pixels whatever the display's format.
    aGpuPicture mask;
    const bool readable = aImage::decodeFile(maskPath, mask) && mask.width > 0 && mask.height > 0;
    for (uint32_t r = 0; r < m_rows; ++r)
        for (uint32_t c = 0; c < m_columns; ++c) {
            Cell& cell = m_cells[r * m_columns + c];
            cell.x = static_cast<float>(m_area.x + static_cast<int32_t>(c) * m_columnStep);
            cell.y = static_cast<float>(m_area.y + static_cast<int32_t>(r) * m_rowStep);
            if (!readable) {
                cell.depth = 255;
                continue;
            }
            // The mask is stretched over the area.
            const auto mx = static_cast<uint32_t>(static_cast<float>(c) / m_columns * mask.width);
            const auto my = static_cast<uint32_t>(static_cast<float>(r) / m_rows * mask.height);
            cell.depth = static_cast<uint8_t>(mask.pixels[my * mask.width + mx] >> 24);
        }
}

void cWater::createVertexBuffers()
{
    if (!m_device)
        return;
    if (m_foam)
        m_device->createVertexBuffer(m_rows * 2 * sizeof(aGpuVertex), m_foamBuffer);
    m_device->createVertexBuffer(4 * sizeof(aGpuVertex2), m_animalBuffer);
}

void cWater::releaseDeviceObjects()
{
    m_foamBuffer.reset();
    m_animalBuffer.reset();
}

void cWater::restoreDeviceObjects()
{
    createVertexBuffers();
    step();
}

void cWater::loadFrames(const std::string& folder)
{
    const std::string listPath = folder + "frames.list";
    if (!file_exists(listPath.c_str()))
        return;
    aStringList list(listPath.c_str());
    for (list.rewind(); !list.isEnd(); list.next()) {
        const std::string path = folder + list.get();
        if (file_exists(path.c_str()))
            m_frames.push_back(std::make_unique<aImage>(path, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8));
    }
}

bool cWater::waterAt(int32_t x, int32_t y)
{
    const cWater* water = getSingletonPtr();
    return water && water->nodeAt(x, y);
}

bool cWater::nodeAt(int32_t x, int32_t y) const
{
    if (!m_area.contains(x, y))
        return false;
    const uint32_t c = std::min<uint32_t>((x - m_area.x) / m_columnStep, m_columns - 1);
    const uint32_t r = std::min<uint32_t>((y - m_area.y) / m_rowStep, m_rows - 1);
    return m_cells[r * m_columns + c].depth > kWaterDepth;
}

uint8_t cWater::depthAt(uint32_t column, uint32_t row) const
{
    return column < m_columns && row < m_rows ? m_cells[row * m_columns + column].depth : 0;
}

void cWater::advance(float dt)
{
    time += dt;
    if (!m_foam)
        return;
    foamTimer -= dt;
    if (foamTimer <= 0.0f) {
        step();
        foamTimer = kFoamStepTime;
    }
}

void cWater::step()
{
    if (!m_foam || !m_foamBuffer)
        return;
    void* bytes = nullptr;
    if (gpu_failed(m_foamBuffer->lock(0, 0, &bytes)))
        return;
    auto* out = static_cast<aGpuVertex*>(bytes);
    const float foamWidth = m_foam->getWidth();
    const aImage::TextureRecord* record = m_foam->getRecord();
    const float texWidth = std::max<float>(record->surfaces[aImage::SURFACE_PLAIN].textureWidth, 1.0f);
    const float texHeight = std::max<float>(record->surfaces[aImage::SURFACE_PLAIN].textureHeight, 1.0f);
    const float halfPi = static_cast<float>(M_PI) * 0.5f;
    for (uint32_t k = 0; k < m_rows; ++k) {
        const float y = static_cast<float>(m_area.y + m_area.height - static_cast<int32_t>(k) * m_rowStep);
        const float d = y - m_area.y;
        const float sway =
            std::sin(distortionSpeed * time + (d / m_rowStep) * halfPi) * 0.5f * distortionStrength * foamWidth;
        for (const float base : {kFoamX, kFoamX + foamWidth}) {
            *out++ = aGpuVertex{base + sway, y, 0.0f, 1.0f, 0xFFFFFFFF, (base - kFoamX) / texWidth, d / texHeight};
        }
    }
    m_foamBuffer->unlock();
}

void cWater::drawSurface()
{
    if (!m_frames.empty() && frameTime > 0.0f) {
        const auto index = static_cast<size_t>(aMath::round(time / frameTime)) % m_frames.size();
        const aImage& frame = *m_frames[index];
        if (frame.getWidth() > 0 && frame.getHeight() > 0) {
            const float scale[2] = {static_cast<float>(m_area.width) / frame.getWidth(),
                                    static_cast<float>(m_area.height) / frame.getHeight()};
            m_frames[index]->drawAtF(m_area.x, m_area.y, 0xFFFFFFFF, scale);
        }
    }
    if (m_foam && m_foamBuffer && m_device && m_rows > 1) {
        m_device->setTexture(0, plainTexture(*m_foam));
        m_device->setVertexFormat(aGpuVertexFormat::Tex1);
        m_device->setStreamSource(m_foamBuffer.get(), sizeof(aGpuVertex));
        m_device->drawPrimitive(aGpuPrimitive::TriangleStrip, 0, m_rows * 2 - 2);
        m_device->setTexture(0, nullptr);
    }
}

void cWater::drawInWater(const aImage& image, const aRect& source, const aRect& screen, bool mirrored)
{
    if (!m_device || !m_animalBuffer || !m_deepMask || image.getWidth() == 0 || image.getHeight() == 0 ||
        m_deepMask->getWidth() == 0 || m_deepMask->getHeight() == 0)
        return;
    const aImage::TextureRecord* record = image.getRecord();
    const float iw = record->surfaces[aImage::SURFACE_PLAIN].textureWidth;
    const float ih = record->surfaces[aImage::SURFACE_PLAIN].textureHeight;
    const float mw = m_deepMask->getRecord()->surfaces[aImage::SURFACE_PLAIN].textureWidth;
    const float mh = m_deepMask->getRecord()->surfaces[aImage::SURFACE_PLAIN].textureHeight;
    float u0 = source.x / iw, u1 = (source.x + source.width) / iw;
    const float v0 = source.y / ih, v1 = (source.y + source.height) / ih;
    float m0 = screen.x / mw, m1 = (screen.x + screen.width) / mw;
    const float n0 = screen.y / mh, n1 = (screen.y + screen.height) / mh;
    if (mirrored) {
        std::swap(u0, u1);
        std::swap(m0, m1);
    }
    const float l = screen.x, t = screen.y, r = screen.x + screen.width, b = screen.y + screen.height;

    void* bytes = nullptr;
    if (gpu_failed(m_animalBuffer->lock(0, 0, &bytes)))
        return;
    auto* v = static_cast<aGpuVertex2*>(bytes);
    v[0] = aGpuVertex2{l, t, 0.0f, 1.0f, 0xFFFFFFFF, u0, v0, m0, n0};
    v[1] = aGpuVertex2{r, t, 0.0f, 1.0f, 0xFFFFFFFF, u1, v0, m1, n0};
    v[2] = aGpuVertex2{l, b, 0.0f, 1.0f, 0xFFFFFFFF, u0, v1, m0, n1};
    v[3] = aGpuVertex2{r, b, 0.0f, 1.0f, 0xFFFFFFFF, u1, v1, m1, n1};
    m_animalBuffer->unlock();

    // Stage 1 keeps the colour and takes away alpha where the mask is opaque.
    auto set = [this](aGpuStageState state, uint32_t value) { m_device->setTextureStageState(1, state, value); };
    set(aGpuStageState::ColorOp, static_cast<uint32_t>(aGpuTextureOp::SelectArg1));
    set(aGpuStageState::ColorArg1, static_cast<uint32_t>(aGpuTextureArg::Current));
    set(aGpuStageState::AlphaOp, static_cast<uint32_t>(aGpuTextureOp::Modulate));
    set(aGpuStageState::AlphaArg1, static_cast<uint32_t>(aGpuTextureArg::Texture) | gpuArgComplement);
    set(aGpuStageState::AlphaArg2, static_cast<uint32_t>(aGpuTextureArg::Current));
    m_device->setTexture(0, plainTexture(image));
    m_device->setTexture(1, plainTexture(*m_deepMask));
    m_device->setVertexFormat(aGpuVertexFormat::Tex2);
    m_device->setStreamSource(m_animalBuffer.get(), sizeof(aGpuVertex2));
    m_device->drawPrimitive(aGpuPrimitive::TriangleStrip, 0, 2);
    m_device->setTexture(1, nullptr);
    set(aGpuStageState::ColorOp, static_cast<uint32_t>(aGpuTextureOp::Disable));
    set(aGpuStageState::ColorArg1, static_cast<uint32_t>(aGpuTextureArg::Texture));
    set(aGpuStageState::AlphaOp, static_cast<uint32_t>(aGpuTextureOp::Disable));
    set(aGpuStageState::AlphaArg1, static_cast<uint32_t>(aGpuTextureArg::Texture));
    m_device->setTexture(0, nullptr);
}
