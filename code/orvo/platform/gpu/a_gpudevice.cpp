#include "orvo/platform/gpu/a_gpudevice.h"

#include <algorithm>
#include <cstring>

#include "orvo/platform/gpu/a_gpufont.h"
#include "orvo/platform/gpu/a_gpurecord.h"
#include "orvo/platform/gpu/a_gpusprite.h"

namespace {

constexpr uint32_t kMaxBackBuffer = 16384;
constexpr uint32_t kMaxBatchQuads = 16384; // 65536 vertices: the reach of 16-bit indices

bool validBlend(uint32_t v)
{
    switch (static_cast<aGpuBlend>(v)) {
    case aGpuBlend::Zero:
    case aGpuBlend::One:
    case aGpuBlend::SrcColor:
    case aGpuBlend::SrcAlpha:
    case aGpuBlend::InvSrcAlpha:
        return true;
    }
    return false;
}

bool validOp(uint32_t v)
{
    switch (static_cast<aGpuTextureOp>(v)) {
    case aGpuTextureOp::Disable:
    case aGpuTextureOp::SelectArg1:
    case aGpuTextureOp::SelectArg2:
    case aGpuTextureOp::Modulate:
    case aGpuTextureOp::Add:
    case aGpuTextureOp::Subtract:
        return true;
    }
    return false;
}

bool validArg(uint32_t v)
{
    return (v & ~gpuArgComplement) <= static_cast<uint32_t>(aGpuTextureArg::Texture);
}

bool validRenderState(aGpuRenderState state, uint32_t v)
{
    switch (state) {
    case aGpuRenderState::AlphaBlendEnable:
    case aGpuRenderState::AlphaTestEnable:
    case aGpuRenderState::Lighting:
        return v <= 1;
    case aGpuRenderState::SrcBlend:
    case aGpuRenderState::DestBlend:
        return validBlend(v);
    case aGpuRenderState::AlphaFunc:
        return v == static_cast<uint32_t>(aGpuCompare::Never) || v == static_cast<uint32_t>(aGpuCompare::Greater) ||
               v == static_cast<uint32_t>(aGpuCompare::Always);
    case aGpuRenderState::AlphaRef:
        return v <= 255;
    case aGpuRenderState::CullMode:
        return v == static_cast<uint32_t>(aGpuCull::None);
    case aGpuRenderState::Count:
        break;
    }
    return false;
}

bool validStageState(aGpuStageState state, uint32_t v)
{
    switch (state) {
    case aGpuStageState::ColorOp:
    case aGpuStageState::AlphaOp:
        return validOp(v);
    case aGpuStageState::ColorArg1:
    case aGpuStageState::ColorArg2:
    case aGpuStageState::AlphaArg1:
    case aGpuStageState::AlphaArg2:
        return validArg(v);
    case aGpuStageState::MinFilter:
    case aGpuStageState::MagFilter:
        return v == static_cast<uint32_t>(aGpuFilter::Point) || v == static_cast<uint32_t>(aGpuFilter::Linear);
    case aGpuStageState::Count:
        break;
    }
    return false;
}

bool validParams(const aGpuPresentParams& p)
{
    return p.backBufferWidth > 0 && p.backBufferHeight > 0 && p.backBufferWidth <= kMaxBackBuffer &&
           p.backBufferHeight <= kMaxBackBuffer;
}

} // namespace

aGpuDevice::aGpuDevice() : m_registry(std::make_shared<aGpuRegistry>())
{
    resetStates();
}

aGpuDevice::~aGpuDevice()
{
    // Textures may outlive the device: they must not call into it.
    m_registry->setBeforeTextureChange(nullptr);
}

void aGpuDevice::resetStates()
{
    auto rs = [this](aGpuRenderState s, uint32_t v) { m_renderStates[static_cast<size_t>(s)] = v; };
    rs(aGpuRenderState::AlphaBlendEnable, 0);
    rs(aGpuRenderState::SrcBlend, static_cast<uint32_t>(aGpuBlend::One));
    rs(aGpuRenderState::DestBlend, static_cast<uint32_t>(aGpuBlend::Zero));
    rs(aGpuRenderState::AlphaTestEnable, 0);
    rs(aGpuRenderState::AlphaFunc, static_cast<uint32_t>(aGpuCompare::Always));
    rs(aGpuRenderState::AlphaRef, 0);
    rs(aGpuRenderState::Lighting, 1);
    rs(aGpuRenderState::CullMode, static_cast<uint32_t>(aGpuCull::None));
    for (uint32_t stage = 0; stage < gpuStageCount; ++stage) {
        auto ss = [this, stage](aGpuStageState s, uint32_t v) { m_stageStates[stage][static_cast<size_t>(s)] = v; };
        const uint32_t op = static_cast<uint32_t>(stage == 0 ? aGpuTextureOp::Modulate : aGpuTextureOp::Disable);
        ss(aGpuStageState::ColorOp, op);
        ss(aGpuStageState::ColorArg1, static_cast<uint32_t>(aGpuTextureArg::Texture));
        ss(aGpuStageState::ColorArg2, static_cast<uint32_t>(aGpuTextureArg::Current));
        ss(aGpuStageState::AlphaOp, op);
        ss(aGpuStageState::AlphaArg1, static_cast<uint32_t>(aGpuTextureArg::Texture));
        ss(aGpuStageState::AlphaArg2, static_cast<uint32_t>(aGpuTextureArg::Current));
        ss(aGpuStageState::MinFilter, static_cast<uint32_t>(aGpuFilter::Point));
        ss(aGpuStageState::MagFilter, static_cast<uint32_t>(aGpuFilter::Point));
    }
}

bool aGpuDevice::onMainThread() const
{
    return m_created && std::this_thread::get_id() == m_mainThread;
}

void aGpuDevice::traceCall(aGpuCall call, aGpuResult result, std::initializer_list<uint32_t> args, const void* object)
{
    if (!m_registry->tracing())
        return;
    aGpuRecord record;
    record.call = call;
    record.result = result;
    record.object = object;
    size_t i = 0;
    for (uint32_t a : args)
        if (i < 6)
            record.u[i++] = a;
    m_registry->trace(record);
}

aGpuResult aGpuDevice::check(aGpuCall call, bool needsScene)
{
    const aGpuResult injected = m_registry->takeFailure(call);
    if (injected != aGpuResult::Ok)
        return injected;
    if (!onMainThread())
        return aGpuResult::InvalidCall;
    if (needsScene && !m_inScene)
        return aGpuResult::InvalidCall;
    return aGpuResult::Ok;
}

void aGpuDevice::failNext(aGpuCall call, aGpuResult result, uint32_t times)
{
    m_registry->failNext(call, result, times);
}

void aGpuDevice::loseDevice(uint32_t lostChecks)
{
    m_lostChecks = lostChecks;
    m_needsReset = true;
}

// --- Adapter -----------------------------------------------------------------

aGpuResult aGpuDevice::getAdapterIdentifier(aGpuAdapterIdentifier& out)
{
    aGpuResult result = m_registry->takeFailure(aGpuCall::GetAdapterIdentifier);
    if (result == aGpuResult::Ok)
        result = m_adapter.identifierResult;
    if (result == aGpuResult::Ok)
        out = m_adapter.identifier;
    traceCall(aGpuCall::GetAdapterIdentifier, result, {});
    return result;
}

aGpuResult aGpuDevice::getAdapterDisplayMode(aGpuDisplayMode& out)
{
    aGpuResult result = m_registry->takeFailure(aGpuCall::GetAdapterDisplayMode);
    if (result == aGpuResult::Ok)
        result = m_adapter.desktopModeResult;
    if (result == aGpuResult::Ok)
        out = m_adapter.desktopMode;
    traceCall(aGpuCall::GetAdapterDisplayMode, result, {});
    return result;
}

aGpuResult aGpuDevice::enumAdapterModes(uint32_t index, aGpuDisplayMode& out)
{
    aGpuResult result = m_registry->takeFailure(aGpuCall::EnumAdapterModes);
    if (result == aGpuResult::Ok && index >= m_adapter.modes.size())
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok)
        out = m_adapter.modes[index];
    traceCall(aGpuCall::EnumAdapterModes, result, {index});
    return result;
}

aGpuResult aGpuDevice::getDeviceCaps(aGpuDeviceType type, aGpuCaps& out)
{
    aGpuResult result = m_registry->takeFailure(aGpuCall::GetDeviceCaps);
    const size_t slot = type == aGpuDeviceType::Ref ? 1 : 0;
    if (result == aGpuResult::Ok)
        result = m_adapter.capsResult[slot];
    if (result == aGpuResult::Ok)
        out = m_adapter.caps[slot];
    traceCall(aGpuCall::GetDeviceCaps, result, {static_cast<uint32_t>(type)});
    return result;
}

// --- Life --------------------------------------------------------------------

aGpuResult aGpuDevice::create(const aGpuPresentParams& params)
{
    aGpuResult result = m_registry->takeFailure(aGpuCall::Create);
    if (result == aGpuResult::Ok && (m_created || !validParams(params)))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok) {
        m_mainThread = std::this_thread::get_id();
        result = doCreate(params);
    }
    if (result == aGpuResult::Ok) {
        m_registry->setMainThread(m_mainThread);
        m_registry->setBeforeTextureChange([this] { flushPendingBatch(); });
    }
    if (result == aGpuResult::Ok) {
        m_created = true;
        m_params = params;
        m_viewport = {0, 0, params.backBufferWidth, params.backBufferHeight};
    }
    traceCall(aGpuCall::Create, result,
              {params.backBufferWidth, params.backBufferHeight, static_cast<uint32_t>(params.windowed),
               static_cast<uint32_t>(params.vsync)});
    return result;
}

aGpuResult aGpuDevice::reset(const aGpuPresentParams& params)
{
    aGpuResult result = check(aGpuCall::Reset, false);
    if (result == aGpuResult::Ok && (m_inScene || !validParams(params)))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok && m_lostChecks > 0)
        result = aGpuResult::DeviceLost;
    if (result == aGpuResult::Ok) {
        flushPendingBatch();
        result = doReset(params);
    }
    if (result == aGpuResult::Ok) {
        m_params = params;
        m_needsReset = false;
        m_renderTarget = nullptr;
        m_viewport = {0, 0, params.backBufferWidth, params.backBufferHeight};
    }
    traceCall(aGpuCall::Reset, result,
              {params.backBufferWidth, params.backBufferHeight, static_cast<uint32_t>(params.windowed),
               static_cast<uint32_t>(params.vsync)});
    return result;
}

aGpuPresentWait aGpuDevice::presentWait() const
{
    return m_params.windowed != m_params.vsync ? aGpuPresentWait::Refresh : aGpuPresentWait::None;
}

aGpuResult aGpuDevice::testCooperativeLevel()
{
    aGpuResult result = check(aGpuCall::TestCooperativeLevel, false);
    if (result == aGpuResult::Ok && m_lostChecks > 0) {
        --m_lostChecks;
        result = aGpuResult::DeviceLost;
    } else if (result == aGpuResult::Ok && m_needsReset) {
        result = aGpuResult::DeviceNotReset;
    }
    traceCall(aGpuCall::TestCooperativeLevel, result, {});
    return result;
}

// --- Frame -------------------------------------------------------------------

aGpuResult aGpuDevice::beginScene()
{
    aGpuResult result = check(aGpuCall::BeginScene, false);
    if (result == aGpuResult::Ok && m_inScene)
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok) {
        m_inScene = true;
        m_stats = {};
    }
    traceCall(aGpuCall::BeginScene, result, {});
    return result;
}

aGpuResult aGpuDevice::endScene()
{
    aGpuResult result = check(aGpuCall::EndScene, true);
    if (result == aGpuResult::Ok) {
        flushPendingBatch();
        m_inScene = false;
    }
    traceCall(aGpuCall::EndScene, result, {});
    return result;
}

aGpuResult aGpuDevice::clear(uint32_t argb)
{
    aGpuResult result = check(aGpuCall::Clear, false);
    if (result == aGpuResult::Ok) {
        flushPendingBatch();
        result = doClear(argb);
    }
    traceCall(aGpuCall::Clear, result, {argb});
    return result;
}

aGpuResult aGpuDevice::present()
{
    aGpuResult result = check(aGpuCall::Present, false);
    if (result == aGpuResult::Ok) {
        flushPendingBatch();
        result = doPresent();
        m_lastStats = m_stats;
        m_stats = {};
    }
    traceCall(aGpuCall::Present, result, {});
    return result;
}

uint32_t aGpuDevice::targetWidth() const
{
    return m_renderTarget ? m_renderTarget->width() : m_params.backBufferWidth;
}
uint32_t aGpuDevice::targetHeight() const
{
    return m_renderTarget ? m_renderTarget->height() : m_params.backBufferHeight;
}

aGpuViewport aGpuDevice::clippedViewport() const
{
    const int64_t w = targetWidth(), h = targetHeight();
    const int64_t x0 = std::clamp<int64_t>(m_viewport.x, 0, w), y0 = std::clamp<int64_t>(m_viewport.y, 0, h);
    const int64_t x1 = std::clamp<int64_t>(static_cast<int64_t>(m_viewport.x) + m_viewport.width, 0, w);
    const int64_t y1 = std::clamp<int64_t>(static_cast<int64_t>(m_viewport.y) + m_viewport.height, 0, h);
    return {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<uint32_t>(std::max<int64_t>(0, x1 - x0)),
            static_cast<uint32_t>(std::max<int64_t>(0, y1 - y0))};
}

aGpuResult aGpuDevice::setViewport(const aGpuViewport& viewport)
{
    aGpuResult result = check(aGpuCall::SetViewport, false);
    if (result == aGpuResult::Ok)
        m_viewport = viewport;
    traceCall(aGpuCall::SetViewport, result,
              {static_cast<uint32_t>(viewport.x), static_cast<uint32_t>(viewport.y), viewport.width, viewport.height});
    return result;
}

aGpuResult aGpuDevice::setRenderState(aGpuRenderState state, uint32_t value)
{
    aGpuResult result = check(aGpuCall::SetRenderState, false);
    if (result == aGpuResult::Ok && !validRenderState(state, value))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok)
        m_renderStates[static_cast<size_t>(state)] = value;
    traceCall(aGpuCall::SetRenderState, result, {static_cast<uint32_t>(state), value});
    return result;
}

uint32_t aGpuDevice::getRenderState(aGpuRenderState state) const
{
    return state < aGpuRenderState::Count ? m_renderStates[static_cast<size_t>(state)] : 0;
}

aGpuResult aGpuDevice::setTextureStageState(uint32_t stage, aGpuStageState state, uint32_t value)
{
    aGpuResult result = check(aGpuCall::SetTextureStageState, false);
    if (result == aGpuResult::Ok && (stage >= gpuStageCount || !validStageState(state, value)))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok)
        m_stageStates[stage][static_cast<size_t>(state)] = value;
    traceCall(aGpuCall::SetTextureStageState, result, {stage, static_cast<uint32_t>(state), value});
    return result;
}

uint32_t aGpuDevice::getTextureStageState(uint32_t stage, aGpuStageState state) const
{
    if (stage >= gpuStageCount || state >= aGpuStageState::Count)
        return 0;
    return m_stageStates[stage][static_cast<size_t>(state)];
}

aGpuResult aGpuDevice::setTexture(uint32_t stage, aGpuTexture* texture)
{
    aGpuResult result = check(aGpuCall::SetTexture, false);
    if (result == aGpuResult::Ok && stage >= gpuStageCount)
        result = aGpuResult::InvalidCall;
    // Batches name their own texture: setting the stages' does not end one.
    if (result == aGpuResult::Ok)
        m_textures[stage] = texture;
    traceCall(aGpuCall::SetTexture, result, {stage}, texture);
    return result;
}

aGpuResult aGpuDevice::setVertexFormat(aGpuVertexFormat format)
{
    aGpuResult result = check(aGpuCall::SetVertexFormat, false);
    if (result == aGpuResult::Ok && gpu_vertexStride(format) == 0)
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok)
        m_vertexFormat = format;
    traceCall(aGpuCall::SetVertexFormat, result, {static_cast<uint32_t>(format)});
    return result;
}

aGpuResult aGpuDevice::setStreamSource(aGpuVertexBuffer* buffer, uint32_t stride)
{
    aGpuResult result = check(aGpuCall::SetStreamSource, false);
    if (result == aGpuResult::Ok) {
        m_streamSource = buffer;
        m_streamStride = stride;
    }
    traceCall(aGpuCall::SetStreamSource, result, {stride}, buffer);
    return result;
}

aGpuResult aGpuDevice::setIndices(aGpuIndexBuffer* buffer, uint32_t baseVertex)
{
    aGpuResult result = check(aGpuCall::SetIndices, false);
    if (result == aGpuResult::Ok) {
        m_indices = buffer;
        m_baseVertex = baseVertex;
    }
    traceCall(aGpuCall::SetIndices, result, {baseVertex}, buffer);
    return result;
}

aGpuResult aGpuDevice::submit(aGpuPrimitive type, aGpuVertexFormat format, const uint8_t* vertices,
                              uint32_t vertexCount, uint32_t stride, const uint16_t* indices, uint32_t indexCount,
                              uint32_t primitives, aGpuTexture* stage0, aGpuTexture* stage1, bool quads,
                              bool texelForPixel)
{
    aGpuDrawCall call;
    call.type = type;
    call.format = format;
    call.vertices = vertices;
    call.vertexCount = vertexCount;
    call.stride = stride;
    call.indices = indices;
    call.indexCount = indexCount;
    call.primitives = primitives;
    call.textures[0] = stage0;
    call.textures[1] = stage1;
    call.quadIndices = quads;
    call.texelForPixel = texelForPixel;
    const aGpuResult result = doDraw(call);
    if (result == aGpuResult::Ok) {
        ++m_stats.drawCalls;
        m_stats.primitives += primitives;
    }
    return result;
}

namespace {

// Vertices behind `indices`, rebased to start at minIndex; false when an
// index lies outside minIndex .. minIndex + numVertices - 1.
bool rebase(const uint16_t* indices, uint32_t count, uint32_t minIndex, uint32_t numVertices,
            std::vector<uint16_t>& out)
{
    out.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t index = indices[i];
        if (index < minIndex || index >= minIndex + numVertices)
            return false;
        out[i] = static_cast<uint16_t>(index - minIndex);
    }
    return true;
}

} // namespace

void aGpuDevice::traceDraw(aGpuCall call, aGpuResult result, std::initializer_list<uint32_t> args,
                           const uint8_t* vertices, size_t vertexBytes, const std::vector<uint16_t>& indices)
{
    aGpuRecord record;
    record.call = call;
    record.result = result;
    size_t i = 0;
    for (uint32_t v : args)
        if (i < std::size(record.u))
            record.u[i++] = v;
    record.object = m_textures[0];
    record.object2 = m_textures[1];
    // Only a draw that went through carries what it sent.
    if (result == aGpuResult::Ok) {
        record.vertices.assign(vertices, vertices + vertexBytes);
        record.indices = indices;
    }
    m_registry->trace(record);
}

aGpuResult aGpuDevice::drawPrimitive(aGpuPrimitive type, uint32_t startVertex, uint32_t primitiveCount)
{
    aGpuResult result = check(aGpuCall::DrawPrimitive, true);
    const uint32_t count = gpu_primitiveVertexCount(type, primitiveCount);
    const uint32_t stride = gpu_vertexStride(m_vertexFormat);
    if (result == aGpuResult::Ok && (!m_streamSource || count == 0 || stride == 0 || stride != m_streamStride))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok) {
        flushPendingBatch();
        m_scratchVertices.resize(static_cast<size_t>(count) * stride);
        if (!m_streamSource->read(startVertex * stride, count * stride, m_scratchVertices.data()))
            result = aGpuResult::InvalidCall;
    }
    if (result == aGpuResult::Ok)
        result = submit(type, m_vertexFormat, m_scratchVertices.data(), count, stride, nullptr, 0, primitiveCount,
                        m_textures[0], m_textures[1]);
    if (m_registry->tracing())
        traceDraw(aGpuCall::DrawPrimitive, result, {static_cast<uint32_t>(type), primitiveCount, stride, startVertex},
                  m_scratchVertices.data(), m_scratchVertices.size(), {});
    return result;
}

aGpuResult aGpuDevice::drawIndexedPrimitive(aGpuPrimitive type, uint32_t minIndex, uint32_t numVertices,
                                            uint32_t startIndex, uint32_t primitiveCount)
{
    aGpuResult result = check(aGpuCall::DrawIndexedPrimitive, true);
    const uint32_t indexCount = gpu_primitiveVertexCount(type, primitiveCount);
    const uint32_t stride = gpu_vertexStride(m_vertexFormat);
    if (result == aGpuResult::Ok && (!m_streamSource || !m_indices || indexCount == 0 || numVertices == 0 ||
                                     numVertices > 65536 || stride == 0 || stride != m_streamStride))
        result = aGpuResult::InvalidCall;
    std::vector<uint16_t> raw;
    if (result == aGpuResult::Ok) {
        flushPendingBatch();
        raw.resize(indexCount);
        m_scratchVertices.resize(static_cast<size_t>(numVertices) * stride);
        const uint64_t firstByte = (static_cast<uint64_t>(m_baseVertex) + minIndex) * stride;
        if (static_cast<uint64_t>(startIndex) * 2 > 0xFFFFFFFFull || firstByte > 0xFFFFFFFFull ||
            !m_indices->read(startIndex * 2, indexCount * 2, raw.data()) ||
            !m_streamSource->read(static_cast<uint32_t>(firstByte), numVertices * stride, m_scratchVertices.data()) ||
            !rebase(raw.data(), indexCount, minIndex, numVertices, m_scratchIndices))
            result = aGpuResult::InvalidCall;
    }
    if (result == aGpuResult::Ok)
        result = submit(type, m_vertexFormat, m_scratchVertices.data(), numVertices, stride, m_scratchIndices.data(),
                        indexCount, primitiveCount, m_textures[0], m_textures[1]);
    if (m_registry->tracing())
        traceDraw(aGpuCall::DrawIndexedPrimitive, result,
                  {static_cast<uint32_t>(type), primitiveCount, stride, minIndex, numVertices, startIndex},
                  m_scratchVertices.data(), m_scratchVertices.size(), m_scratchIndices);
    return result;
}

aGpuResult aGpuDevice::drawPrimitiveUP(aGpuPrimitive type, uint32_t primitiveCount, const void* vertices,
                                       uint32_t stride)
{
    aGpuResult result = check(aGpuCall::DrawPrimitiveUP, true);
    const uint32_t count = gpu_primitiveVertexCount(type, primitiveCount);
    if (result == aGpuResult::Ok &&
        (!vertices || count == 0 || stride == 0 || stride != gpu_vertexStride(m_vertexFormat)))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok) {
        flushPendingBatch();
        result = submit(type, m_vertexFormat, static_cast<const uint8_t*>(vertices), count, stride, nullptr, 0,
                        primitiveCount, m_textures[0], m_textures[1]);
    }
    if (m_registry->tracing())
        traceDraw(aGpuCall::DrawPrimitiveUP, result, {static_cast<uint32_t>(type), primitiveCount, stride},
                  static_cast<const uint8_t*>(vertices), static_cast<size_t>(count) * stride, {});
    return result;
}

aGpuResult aGpuDevice::drawIndexedPrimitiveUP(aGpuPrimitive type, uint32_t minIndex, uint32_t numVertices,
                                              uint32_t primitiveCount, const uint16_t* indices, const void* vertices,
                                              uint32_t stride)
{
    aGpuResult result = check(aGpuCall::DrawIndexedPrimitiveUP, true);
    const uint32_t indexCount = gpu_primitiveVertexCount(type, primitiveCount);
    if (result == aGpuResult::Ok && (!vertices || !indices || indexCount == 0 || numVertices == 0 ||
                                     numVertices > 65536 || stride == 0 || stride != gpu_vertexStride(m_vertexFormat)))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok && !rebase(indices, indexCount, minIndex, numVertices, m_scratchIndices))
        result = aGpuResult::InvalidCall;
    const uint8_t* first = static_cast<const uint8_t*>(vertices) + static_cast<size_t>(minIndex) * stride;
    if (result == aGpuResult::Ok) {
        flushPendingBatch();
        result = submit(type, m_vertexFormat, first, numVertices, stride, m_scratchIndices.data(), indexCount,
                        primitiveCount, m_textures[0], m_textures[1]);
    }
    if (m_registry->tracing())
        traceDraw(aGpuCall::DrawIndexedPrimitiveUP, result,
                  {static_cast<uint32_t>(type), primitiveCount, stride, minIndex, numVertices}, first,
                  static_cast<size_t>(numVertices) * stride, m_scratchIndices);
    return result;
}

aGpuResult aGpuDevice::drawQuads(aGpuTexture* texture, const aGpuVertex* vertices, uint32_t quadCount,
                                 bool texelForPixel)
{
    if (!onMainThread() || !m_inScene || !vertices)
        return aGpuResult::InvalidCall;
    if (m_quadIndices.empty()) {
        m_quadIndices.resize(kMaxBatchQuads * 6);
        for (uint32_t q = 0; q < kMaxBatchQuads; ++q) {
            const uint16_t k = static_cast<uint16_t>(q * 4);
            const uint16_t pattern[6] = {k,
                                         static_cast<uint16_t>(k + 1),
                                         static_cast<uint16_t>(k + 2),
                                         static_cast<uint16_t>(k + 1),
                                         static_cast<uint16_t>(k + 3),
                                         static_cast<uint16_t>(k + 2)};
            std::memcpy(&m_quadIndices[q * 6], pattern, sizeof(pattern));
        }
    }
    aGpuResult result = aGpuResult::Ok;
    for (uint32_t done = 0; done < quadCount && result == aGpuResult::Ok;) {
        const uint32_t n = std::min(quadCount - done, kMaxBatchQuads);
        const auto* bytes = reinterpret_cast<const uint8_t*>(vertices + static_cast<size_t>(done) * 4);
        result = submit(aGpuPrimitive::TriangleList, aGpuVertexFormat::Tex1, bytes, n * 4, sizeof(aGpuVertex),
                        m_quadIndices.data(), n * 6, n * 2, texture, nullptr, true, texelForPixel);
        if (m_registry->tracing()) {
            aGpuRecord record;
            record.call = aGpuCall::DrawBatch;
            record.result = result;
            record.u[0] = static_cast<uint32_t>(aGpuPrimitive::TriangleList);
            record.u[1] = n * 2;
            record.u[2] = sizeof(aGpuVertex);
            record.u[3] = n;
            record.u[4] = texelForPixel ? 1 : 0;
            record.object = texture;
            record.vertices.assign(bytes, bytes + static_cast<size_t>(n) * 4 * sizeof(aGpuVertex));
            m_registry->trace(record);
        }
        done += n;
    }
    return result;
}

bool aGpuDevice::batchStatesMatch() const
{
    return std::equal(std::begin(m_renderStates), std::end(m_renderStates), std::begin(m_batchStates.render)) &&
           std::equal(std::begin(m_stageStates[0]), std::end(m_stageStates[0]), std::begin(m_batchStates.stage0));
}

void aGpuDevice::swapBatchStates()
{
    std::swap(m_viewport, m_batchStates.viewport);
    std::swap(m_renderStates, m_batchStates.render);
    std::swap(m_stageStates[0], m_batchStates.stage0);
}

void aGpuDevice::flushPendingBatch()
{
    if (!m_pendingBatch)
        return;
    aGpuSprite* batch = m_pendingBatch;
    m_pendingBatch = nullptr; // a flush never re-enters
    // The backend draws with the device's states: the batch's go in for it.
    swapBatchStates();
    batch->drawGathered();
    swapBatchStates();
}

void aGpuDevice::prepareBatchQuad(aGpuSprite& sprite, const aGpuPixelBox& box)
{
    if (m_pendingBatch == &sprite && batchStatesMatch()) {
        // A viewport clips a shape as another does when it lets the same
        // pixels of its box through: a quad so placed joins the batch, and a
        // batch so placed takes the new viewport.
        const aGpuViewport viewport = clippedViewport();
        aGpuViewport& batch = m_batchStates.viewport;
        bool joins = viewport == batch || box.clipped(viewport).same(box.clipped(batch));
        if (!joins) {
            const aGpuPixelBox gathered = sprite.gatheredBounds();
            joins = gathered.clipped(viewport).same(gathered.clipped(batch));
            if (joins)
                batch = viewport;
        }
        if (joins)
            return;
    }
    flushPendingBatch();
    m_pendingBatch = &sprite;
    m_batchStates = currentDrawStates();
}

aGpuDevice::DrawStates aGpuDevice::currentDrawStates() const
{
    DrawStates states;
    states.viewport = clippedViewport();
    std::copy(std::begin(m_renderStates), std::end(m_renderStates), std::begin(states.render));
    std::copy(std::begin(m_stageStates[0]), std::end(m_stageStates[0]), std::begin(states.stage0));
    return states;
}

void aGpuDevice::forgetPendingBatch(const aGpuSprite* sprite)
{
    if (m_pendingBatch == sprite)
        m_pendingBatch = nullptr;
}

aGpuResult aGpuDevice::setRenderTarget(aGpuTexture* target)
{
    aGpuResult result = check(aGpuCall::SetRenderTarget, false);
    if (result == aGpuResult::Ok && target && !target->isRenderTarget())
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok) {
        flushPendingBatch();
        result = doSetRenderTarget(target);
    }
    if (result == aGpuResult::Ok) {
        m_renderTarget = target;
        m_viewport = {0, 0, targetWidth(), targetHeight()};
    }
    traceCall(aGpuCall::SetRenderTarget, result, {}, target);
    return result;
}

aGpuResult aGpuDevice::setGammaRamp(const aGpuGammaRamp& ramp)
{
    aGpuResult result = check(aGpuCall::SetGammaRamp, false);
    if (result == aGpuResult::Ok) {
        m_gamma = ramp;
        result = doSetGammaRamp(ramp);
    }
    traceCall(aGpuCall::SetGammaRamp, result, {ramp.red[0], ramp.red[128], ramp.red[255]});
    return result;
}

aGpuResult aGpuDevice::readBackBuffer(std::vector<uint32_t>& argb, uint32_t& width, uint32_t& height)
{
    aGpuResult result = check(aGpuCall::ReadBackBuffer, false);
    if (result == aGpuResult::Ok) {
        flushPendingBatch();
        result = doReadBackBuffer(argb, width, height);
    }
    traceCall(aGpuCall::ReadBackBuffer, result, {});
    return result;
}

// --- Resources -----------------------------------------------------------------

aGpuResult aGpuDevice::createTexture(uint32_t width, uint32_t height, aGpuFormat format, aGpuUsage usage,
                                     std::unique_ptr<aGpuTexture>& out)
{
    out.reset();
    aGpuResult result = m_registry->takeFailure(aGpuCall::CreateTexture);
    const aGpuCaps& caps = m_adapter.caps[0];
    const bool formatOk = usage == aGpuUsage::RenderTarget
                              ? (format == aGpuFormat::A8R8G8B8 || format == aGpuFormat::X8R8G8B8)
                              : gpu_isTextureFormat(format);
    if (result == aGpuResult::Ok &&
        (!formatOk || width == 0 || height == 0 || width > caps.maxTextureWidth || height > caps.maxTextureHeight))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok)
        out = std::make_unique<aGpuTexture>(m_registry, width, height, format, usage);
    traceCall(aGpuCall::CreateTexture, result,
              {width, height, static_cast<uint32_t>(format), static_cast<uint32_t>(usage)}, out.get());
    return result;
}

aGpuResult aGpuDevice::createVertexBuffer(uint32_t sizeBytes, std::unique_ptr<aGpuVertexBuffer>& out)
{
    out.reset();
    aGpuResult result = m_registry->takeFailure(aGpuCall::CreateVertexBuffer);
    if (result == aGpuResult::Ok && (sizeBytes == 0 || sizeBytes > (64u << 20)))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok)
        out = std::make_unique<aGpuVertexBuffer>(m_registry, sizeBytes);
    traceCall(aGpuCall::CreateVertexBuffer, result, {sizeBytes}, out.get());
    return result;
}

aGpuResult aGpuDevice::createIndexBuffer(uint32_t sizeBytes, std::unique_ptr<aGpuIndexBuffer>& out)
{
    out.reset();
    aGpuResult result = m_registry->takeFailure(aGpuCall::CreateIndexBuffer);
    if (result == aGpuResult::Ok && (sizeBytes == 0 || sizeBytes > (64u << 20) || sizeBytes % 2 != 0))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok)
        out = std::make_unique<aGpuIndexBuffer>(m_registry, sizeBytes);
    traceCall(aGpuCall::CreateIndexBuffer, result, {sizeBytes}, out.get());
    return result;
}

aGpuResult aGpuDevice::createSprite(std::unique_ptr<aGpuSprite>& out)
{
    out.reset();
    aGpuResult result = check(aGpuCall::CreateSprite, false);
    if (result == aGpuResult::Ok)
        out.reset(new aGpuSprite(*this));
    traceCall(aGpuCall::CreateSprite, result, {}, out.get());
    return result;
}

aGpuResult aGpuDevice::createFont(const aGpuFontDesc& desc, std::unique_ptr<aGpuFont>& out)
{
    out.reset();
    aGpuResult result = check(aGpuCall::CreateFont, false);
    if (result == aGpuResult::Ok)
        result = aGpuFont::create(*this, desc, out);
    traceCall(aGpuCall::CreateFont, result, {static_cast<uint32_t>(desc.height), static_cast<uint32_t>(desc.weight)},
              out.get());
    return result;
}
