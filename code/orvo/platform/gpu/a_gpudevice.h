// The graphics device: the one object the graph server, images, fonts,
// primitives, particles and the distortion grid draw through. It keeps the
// call shapes those callers were written for: adapter and display-mode
// queries, create / reset / testCooperativeLevel with device loss,
// beginScene / endScene / clear / present, a viewport that clips, render and
// texture-stage states, textures and buffers with CPU copies, pre-transformed
// vertices drawn from user memory or from buffers, a sprite batch and a text
// font.
//
// Backends: aGpuDeviceGL (OpenGL 3.3 core through SDL2; real window or
// offscreen) and aGpuDeviceRecorder (keeps every call, for tests). Both share
// this class's state tracking, argument checks and test scripting (a scripted
// adapter, scripted failures of any call, scripted device loss).
//
// Threads: create() fixes the main thread. Frame, state and draw calls, the
// sprite batch and fonts belong to it (other threads get InvalidCall).
// Textures and buffers may be created, locked and filled on any thread;
// their pixels reach the GPU lazily on the main thread.
//
// Drawing rules the callers rely on:
// - Coordinates are pixels of the current render target, y down. A filled
//   triangle edge at integer x covers pixels from x on; a line through
//   integer coordinates lights the pixels at those coordinates, so the
//   line strip (x,y) (x+w-1,y) (x+w-1,y+h-1) (x,y+h-1) (x,y) lights exactly
//   the outline x .. x+w-1, y .. y+h-1.
// - A texel maps 1:1 onto a pixel when a quad at integer coordinates uses
//   u = texel x / texture width.
// - Stage 0 without a texture gives the diffuse colour and alpha. Stage 1
//   takes part only in draws of 36-byte vertices (aGpuVertexFormat::Tex2).
// - Addressing always wraps; textures have exactly the size asked for.
// - Render and stage states survive reset(); reset() puts the render target
//   back to the back buffer and the viewport to all of it.
// - The sprite batch's pending quads are drawn before any other draw, clear,
//   target change, read-back or present, and before a texture's pixels are
//   written or it is destroyed on the main thread; they are drawn with the
//   render states, stage-0 states and viewport they were gathered under
//   (changing those only ends the batch when the next sprite comes under
//   states that would draw it differently).
//
// Where the engine's needs land:
// - blend word: SrcBlend/DestBlend (normal SrcAlpha/InvSrcAlpha, additive
//   SrcAlpha/One, multiply Zero/SrcColor) and stage-0 ColorOp/ColorArg1/
//   ColorArg2 (Modulate, Add, Subtract either way, SelectArg1 of Diffuse);
//   stage-0 alpha is texture alpha x diffuse alpha from the start.
// - texture filter: stage-0 MinFilter and MagFilter (Point or Linear).
// - image textures: gpu_createTextureFromMemory / createTexture, pixels
//   through aGpuTexture::lock in the format's layout (a_gpuformat.h rules).
// - primitives: drawPrimitiveUP with aGpuVertex after setTexture(0, null).
// - particles, distortion grid: createVertexBuffer / createIndexBuffer,
//   setStreamSource, setIndices, drawIndexedPrimitive.
// - water: aGpuVertex2 with stage 1 (its texture, ops and complement args).
// - alpha test: AlphaTestEnable, AlphaFunc Greater, AlphaRef.
// - wide screen: a RenderTarget texture, setRenderTarget, then the sprite.
// - screenshots: readBackBuffer and gpu_encodeBmp; gamma: setGammaRamp.
// - device loss in tests: loseDevice(); failures of any call: failNext().
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <thread>
#include <vector>

#include "orvo/platform/gpu/a_gpubuffer.h"
#include "orvo/platform/gpu/a_gpuregistry.h"
#include "orvo/platform/gpu/a_gpuresult.h"
#include "orvo/platform/gpu/a_gputexture.h"
#include "orvo/platform/gpu/a_gputypes.h"

class aGpuSprite;
class aGpuFont;

// What a backend is asked to draw: contiguous vertices, optional indices
// relative to them, and the textures of both stages.
struct aGpuDrawCall {
    aGpuPrimitive type = aGpuPrimitive::TriangleList;
    aGpuVertexFormat format = aGpuVertexFormat::Tex1;
    const uint8_t* vertices = nullptr;
    uint32_t vertexCount = 0;
    uint32_t stride = 0;
    const uint16_t* indices = nullptr; // null: draw the vertices in order
    uint32_t indexCount = 0;
    uint32_t primitives = 0;
    aGpuTexture* textures[2] = {nullptr, nullptr};
    // The indices are the batch's quad list (0 1 2 1 3 2, then the same
    // for every next 4 vertices): it never changes, a backend may keep it.
    bool quadIndices = false;
    // Every quad covers whole pixels with one stage-0 texel each, texel
    // centre on pixel centre: filtering cannot change the picture.
    bool texelForPixel = false;
};

class aGpuDevice {
public:
    virtual ~aGpuDevice();
    aGpuDevice(const aGpuDevice&) = delete;
    aGpuDevice& operator=(const aGpuDevice&) = delete;

    // --- Adapter (any time, also before create) -------------------------
    const aGpuAdapter& adapter() const { return m_adapter; }
    void setAdapter(const aGpuAdapter& adapter) { m_adapter = adapter; }
    aGpuResult getAdapterIdentifier(aGpuAdapterIdentifier& out);
    aGpuResult getAdapterDisplayMode(aGpuDisplayMode& out);
    uint32_t getAdapterModeCount() const { return static_cast<uint32_t>(m_adapter.modes.size()); }
    aGpuResult enumAdapterModes(uint32_t index, aGpuDisplayMode& out);
    aGpuResult getDeviceCaps(aGpuDeviceType type, aGpuCaps& out);

    // --- Life -------------------------------------------------------------
    // Makes the device for a back buffer of the given size; the calling
    // thread becomes the main thread. A second create is refused.
    aGpuResult create(const aGpuPresentParams& params);
    // New presentation (size, windowed, vsync); ends a lost state.
    aGpuResult reset(const aGpuPresentParams& params);
    // Ok, DeviceLost (skip the frame) or DeviceNotReset (reset, then go on).
    aGpuResult testCooperativeLevel();
    bool isCreated() const { return m_created; }
    const aGpuPresentParams& presentParams() const { return m_params; }
    uint32_t backBufferWidth() const { return m_params.backBufferWidth; }
    uint32_t backBufferHeight() const { return m_params.backBufferHeight; }
    // The platform window presented into (an SDL window), null without one.
    virtual void* nativeWindow() const { return nullptr; }
    // Whether present() waits for the display. The presentation asks for a
    // synchronised swap in a window without vsync and fullscreen with it;
    // a backend answers what it really does.
    virtual aGpuPresentWait presentWait() const;

    // --- Test scripting (both backends) -----------------------------------
    // The next `times` calls of `call` fail with `result` and do nothing else.
    void failNext(aGpuCall call, aGpuResult result, uint32_t times = 1);
    // The device is lost: the next `lostChecks` testCooperativeLevel calls
    // answer DeviceLost, later ones DeviceNotReset until reset() runs.
    void loseDevice(uint32_t lostChecks);

    // --- Frame (main thread) ------------------------------------------------
    aGpuResult beginScene();
    aGpuResult endScene();
    bool inScene() const { return m_inScene; }
    // Fills the viewport of the current render target with the colour.
    aGpuResult clear(uint32_t argb);
    // Shows the back buffer, stretched over the window's client area.
    aGpuResult present();
    // The viewport is clipped to the render target.
    aGpuResult setViewport(const aGpuViewport& viewport);
    const aGpuViewport& getViewport() const { return m_viewport; }
    aGpuResult setRenderState(aGpuRenderState state, uint32_t value);
    uint32_t getRenderState(aGpuRenderState state) const;
    aGpuResult setTextureStageState(uint32_t stage, aGpuStageState state, uint32_t value);
    uint32_t getTextureStageState(uint32_t stage, aGpuStageState state) const;
    aGpuResult setTexture(uint32_t stage, aGpuTexture* texture);
    aGpuTexture* getTexture(uint32_t stage) const { return stage < gpuStageCount ? m_textures[stage] : nullptr; }
    aGpuResult setVertexFormat(aGpuVertexFormat format);
    aGpuVertexFormat getVertexFormat() const { return m_vertexFormat; }
    aGpuResult setStreamSource(aGpuVertexBuffer* buffer, uint32_t stride);
    aGpuResult setIndices(aGpuIndexBuffer* buffer, uint32_t baseVertex);
    // Draws from the stream source; the vertex format must match the stride.
    aGpuResult drawPrimitive(aGpuPrimitive type, uint32_t startVertex, uint32_t primitiveCount);
    // Vertex = base vertex + index; indices must lie in minIndex .. minIndex + numVertices - 1.
    aGpuResult drawIndexedPrimitive(aGpuPrimitive type, uint32_t minIndex, uint32_t numVertices, uint32_t startIndex,
                                    uint32_t primitiveCount);
    aGpuResult drawPrimitiveUP(aGpuPrimitive type, uint32_t primitiveCount, const void* vertices, uint32_t stride);
    aGpuResult drawIndexedPrimitiveUP(aGpuPrimitive type, uint32_t minIndex, uint32_t numVertices,
                                      uint32_t primitiveCount, const uint16_t* indices, const void* vertices,
                                      uint32_t stride);
    // Null puts back the back buffer. The viewport becomes all of the target.
    aGpuResult setRenderTarget(aGpuTexture* target);
    aGpuTexture* getRenderTarget() const { return m_renderTarget; }
    aGpuResult setGammaRamp(const aGpuGammaRamp& ramp);
    const aGpuGammaRamp& getGammaRamp() const { return m_gamma; }
    // The back buffer (the frame last presented until the next clear or
    // draw) as ARGB words, top row first.
    aGpuResult readBackBuffer(std::vector<uint32_t>& argb, uint32_t& width, uint32_t& height);

    // --- Resources (any thread) ---------------------------------------------
    // Exact sizes from 1 to the adapter's maximum; formats 21, 23, 25, 26
    // (render targets: 21 or 22). Pixels start at 0.
    aGpuResult createTexture(uint32_t width, uint32_t height, aGpuFormat format, aGpuUsage usage,
                             std::unique_ptr<aGpuTexture>& out);
    aGpuResult createVertexBuffer(uint32_t sizeBytes, std::unique_ptr<aGpuVertexBuffer>& out);
    aGpuResult createIndexBuffer(uint32_t sizeBytes, std::unique_ptr<aGpuIndexBuffer>& out);
    size_t liveTextureCount() const { return m_registry->textureCount(); }

    // --- Helpers (main thread) ----------------------------------------------
    aGpuResult createSprite(std::unique_ptr<aGpuSprite>& out);
    aGpuResult createFont(const aGpuFontDesc& desc, std::unique_ptr<aGpuFont>& out);

    // Counters of the frame in progress and of the last presented one.
    const aGpuFrameStats& currentStats() const { return m_stats; }
    const aGpuFrameStats& lastFrameStats() const { return m_lastStats; }

    // --- For the sprite batch and the font ----------------------------------
    // Draws a batch's quads (4 vertices each: top-left, top-right,
    // bottom-left, bottom-right) with `texture` on stage 0, leaving the
    // device's own states untouched. Never flushes a batch itself.
    // texelForPixel: every quad lands texel for pixel (see aGpuDrawCall).
    aGpuResult drawQuads(aGpuTexture* texture, const aGpuVertex* vertices, uint32_t quadCount,
                         bool texelForPixel = false);
    // The batch that holds undrawn quads (one at a time); flushed before
    // anything that could change what it would draw.
    aGpuSprite* pendingBatch() const { return m_pendingBatch; }
    // Draws the pending batch's quads with the states they were gathered under.
    void flushPendingBatch();
    // Before `sprite` gathers a quad touching `box` under the current states:
    // another batch is drawn, and so is the sprite's own when the states
    // differ from its batch's where it matters (a viewport that clips the
    // quad, or the whole batch, as the batch's does leaves it gathering).
    // The sprite's batch is then pending.
    void prepareBatchQuad(aGpuSprite& sprite, const aGpuPixelBox& box);
    // A dying sprite's quads are dropped.
    void forgetPendingBatch(const aGpuSprite* sprite);
    bool onMainThread() const;
    const std::shared_ptr<aGpuRegistry>& registry() const { return m_registry; }
    void trace(const aGpuRecord& record) { m_registry->trace(record); }
    // Records one draw call: its integer arguments in order, the bound textures and, when it
    // succeeded, the vertex bytes and indices it sent.
    void traceDraw(aGpuCall call, aGpuResult result, std::initializer_list<uint32_t> args, const uint8_t* vertices,
                   size_t vertexBytes, const std::vector<uint16_t>& indices);
    bool tracing() const { return m_registry->tracing(); }

protected:
    aGpuDevice();

    // Backend hooks: called after the checks above passed.
    virtual aGpuResult doCreate(const aGpuPresentParams& params) = 0;
    virtual aGpuResult doReset(const aGpuPresentParams& params) = 0;
    virtual aGpuResult doClear(uint32_t argb) = 0;
    virtual aGpuResult doPresent() = 0;
    virtual aGpuResult doDraw(const aGpuDrawCall& call) = 0;
    virtual aGpuResult doSetRenderTarget(aGpuTexture* target) = 0;
    virtual aGpuResult doSetGammaRamp(const aGpuGammaRamp& ramp) = 0;
    virtual aGpuResult doReadBackBuffer(std::vector<uint32_t>& argb, uint32_t& width, uint32_t& height) = 0;

    // Size of the current render target.
    uint32_t targetWidth() const;
    uint32_t targetHeight() const;
    // The viewport clipped to the current target.
    aGpuViewport clippedViewport() const;
    // Every state back to its starting value (construction).
    void resetStates();

    std::shared_ptr<aGpuRegistry> m_registry;
    aGpuAdapter m_adapter;
    aGpuPresentParams m_params;
    bool m_created = false;
    bool m_inScene = false;
    std::thread::id m_mainThread;
    uint32_t m_lostChecks = 0;
    bool m_needsReset = false;

    uint32_t m_renderStates[static_cast<size_t>(aGpuRenderState::Count)] = {};
    uint32_t m_stageStates[gpuStageCount][static_cast<size_t>(aGpuStageState::Count)] = {};
    aGpuTexture* m_textures[gpuStageCount] = {nullptr, nullptr};
    aGpuVertexFormat m_vertexFormat = aGpuVertexFormat::None;
    aGpuVertexBuffer* m_streamSource = nullptr;
    uint32_t m_streamStride = 0;
    aGpuIndexBuffer* m_indices = nullptr;
    uint32_t m_baseVertex = 0;
    aGpuTexture* m_renderTarget = nullptr;
    aGpuViewport m_viewport;
    aGpuGammaRamp m_gamma;
    aGpuFrameStats m_stats;
    aGpuFrameStats m_lastStats;
    aGpuSprite* m_pendingBatch = nullptr;

    // The states a draw is made with (the second stage is not used).
    struct DrawStates {
        aGpuViewport viewport; // clipped to the target
        uint32_t render[static_cast<size_t>(aGpuRenderState::Count)] = {};
        uint32_t stage0[static_cast<size_t>(aGpuStageState::Count)] = {};
    };
    DrawStates currentDrawStates() const;

private:
    bool batchStatesMatch() const;
    void swapBatchStates();
    DrawStates m_batchStates; // those the pending batch draws with

    aGpuResult check(aGpuCall call, bool needsScene);
    aGpuResult submit(aGpuPrimitive type, aGpuVertexFormat format, const uint8_t* vertices, uint32_t vertexCount,
                      uint32_t stride, const uint16_t* indices, uint32_t indexCount, uint32_t primitives,
                      aGpuTexture* stage0, aGpuTexture* stage1, bool quads = false, bool texelForPixel = false);
    void traceCall(aGpuCall call, aGpuResult result, std::initializer_list<uint32_t> args,
                   const void* object = nullptr);

    std::vector<uint8_t> m_scratchVertices;
    std::vector<uint16_t> m_scratchIndices;
    std::vector<uint16_t> m_quadIndices;
};
