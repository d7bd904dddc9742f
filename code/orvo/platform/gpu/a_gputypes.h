// Plain types of the device layer: vertices, rectangles, states and their
// values, display modes, adapter facts and presentation settings. No
// behaviour here; see a_gpudevice.h for how they are used.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orvo/platform/gpu/a_gpuformat.h"
#include "orvo/platform/gpu/a_gpuresult.h"

// Pre-transformed vertex with one texture-coordinate set: x, y in pixels of
// the render target (y down), z and rhw kept but unused (no depth buffer),
// diffuse colour as an ARGB word, u, v. 28 bytes.
struct aGpuVertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float rhw = 1.0f;
    uint32_t color = 0xFFFFFFFF;
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(aGpuVertex) == 28);

// The same with a second texture-coordinate set for stage 1. 36 bytes.
struct aGpuVertex2 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float rhw = 1.0f;
    uint32_t color = 0xFFFFFFFF;
    float u = 0.0f;
    float v = 0.0f;
    float u2 = 0.0f;
    float v2 = 0.0f;
};
static_assert(sizeof(aGpuVertex2) == 36);

enum class aGpuVertexFormat : uint32_t {
    None = 0,
    Tex1 = 1, // aGpuVertex
    Tex2 = 2, // aGpuVertex2
};
inline uint32_t gpu_vertexStride(aGpuVertexFormat format)
{
    return format == aGpuVertexFormat::Tex1 ? 28u : format == aGpuVertexFormat::Tex2 ? 36u : 0u;
}

enum class aGpuPrimitive : uint32_t {
    TriangleList = 1,
    TriangleStrip = 2,
    TriangleFan = 3,
    LineStrip = 4,
};
// Vertices used by `primitives` primitives of `type` (0 for an unknown type).
uint32_t gpu_primitiveVertexCount(aGpuPrimitive type, uint32_t primitives);

// Rectangle by its edges; right and bottom are outside it.
struct aGpuRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const aGpuRect&) const = default;
};

struct aGpuVec2 {
    float x = 0.0f;
    float y = 0.0f;
};

// The viewport clips drawing (a scissor); it does not move pre-transformed vertices.
struct aGpuViewport {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool operator==(const aGpuViewport&) const = default;
};

// Pixels (first and last column and row, inclusive) that a shape could
// touch. Wider than the shape by a margin, so that snapping and fill rules
// cannot reach outside it: two shapes whose boxes do not meet share no pixel.
struct aGpuPixelBox {
    int32_t left = 0, top = 0, right = -1, bottom = -1;

    // The box of `count` vertices; one that is not finite touches everything.
    static aGpuPixelBox of(const aGpuVertex* vertices, uint32_t count);
    bool empty() const { return right < left || bottom < top; }
    bool meets(const aGpuPixelBox& other) const
    {
        return !empty() && !other.empty() && left <= other.right && other.left <= right && top <= other.bottom &&
               other.top <= bottom;
    }
    // The pixels of the box that the viewport lets through.
    aGpuPixelBox clipped(const aGpuViewport& v) const;
    // The same pixels (any two empty boxes are).
    bool same(const aGpuPixelBox& other) const
    {
        return (empty() && other.empty()) ||
               (left == other.left && top == other.top && right == other.right && bottom == other.bottom);
    }
    void add(const aGpuPixelBox& other);
};

enum class aGpuRenderState : uint32_t {
    AlphaBlendEnable, // 0/1
    SrcBlend,         // aGpuBlend
    DestBlend,        // aGpuBlend
    AlphaTestEnable,  // 0/1
    AlphaFunc,        // aGpuCompare
    AlphaRef,         // 0..255
    Lighting,         // kept for callers; pre-transformed vertices are never lit
    CullMode,         // aGpuCull; only None exists
    Count
};

enum class aGpuBlend : uint32_t { Zero = 1, One = 2, SrcColor = 3, SrcAlpha = 5, InvSrcAlpha = 6 };
enum class aGpuCompare : uint32_t { Never = 1, Greater = 5, Always = 8 };
enum class aGpuCull : uint32_t { None = 1 };

enum class aGpuStageState : uint32_t {
    ColorOp,   // aGpuTextureOp
    ColorArg1, // aGpuTextureArg (may carry gpuArgComplement)
    ColorArg2,
    AlphaOp,
    AlphaArg1,
    AlphaArg2,
    MinFilter, // aGpuFilter
    MagFilter,
    Count
};

// A stage combines its two arguments; Subtract is arg1 - arg2, clamped at 0.
enum class aGpuTextureOp : uint32_t {
    Disable = 1,
    SelectArg1 = 2,
    SelectArg2 = 3,
    Modulate = 4,
    Add = 7,
    Subtract = 10
};
// Current is the previous stage's result (the diffuse colour at stage 0).
enum class aGpuTextureArg : uint32_t { Diffuse = 0, Current = 1, Texture = 2 };
inline constexpr uint32_t gpuArgComplement = 0x10; // OR-ed into an argument: 1 - value
enum class aGpuFilter : uint32_t { Point = 1, Linear = 2 };

inline constexpr uint32_t gpuStageCount = 2;

enum class aGpuUsage : uint32_t { None = 0, RenderTarget = 1 };
inline constexpr uint32_t gpuLockReadOnly = 0x10;

// Address of a locked rectangle: `bits` points at its top-left pixel in the
// texture's own layout, rows are `pitch` bytes apart.
struct aGpuLockedRect {
    void* bits = nullptr;
    uint32_t pitch = 0;
};

struct aGpuDisplayMode {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t refreshRate = 0;
    aGpuFormat format = aGpuFormat::Unknown;
    bool operator==(const aGpuDisplayMode&) const = default;
};

struct aGpuAdapterIdentifier {
    std::string description;
    std::string driver;
    uint16_t driverVersion[4] = {0, 0, 0, 0}; // most significant part first
    uint32_t videoMemoryMB = 0;
};

enum class aGpuDeviceType : uint32_t { Hal = 1, Ref = 2 };

// What the hardware offers, in the terms the start-up report logs.
struct aGpuCaps {
    bool canRenderWindowed = true;
    bool canManageResource = true;
    bool dynamicTextures = true;
    bool no2DDuring3DScene = false;
    bool intervalImmediate = true;
    bool intervalOne = true;
    bool intervalTwo = false;
    bool intervalThree = false;
    bool intervalFour = false;
    bool separateTextureMemories = false;
    bool textureNonLocalVidMem = false;
    bool textureSystemMemory = false;
    bool textureVideoMemory = true;
    bool srcBlendSrcAlpha = true;
    bool destBlendInvSrcAlpha = true;
    bool destBlendOne = true;
    uint32_t maxTextureWidth = 8192;
    uint32_t maxTextureHeight = 8192;
    uint32_t maxTextureAspectRatio = 8192;
    bool pow2Only = false;
    bool squareOnly = false;
    bool alphaPixels = true;
    uint32_t maxPrimitiveCount = 0xFFFFF;
    bool hardwareTransform = true;
    bool pureDevice = true;
};

// Everything the adapter queries answer. Backends fill it from the system;
// tests replace it (aGpuDevice::setAdapter) to script any display.
struct aGpuAdapter {
    aGpuAdapterIdentifier identifier;
    aGpuResult identifierResult = aGpuResult::Ok;
    aGpuDisplayMode desktopMode{1024, 768, 60, aGpuFormat::X8R8G8B8};
    aGpuResult desktopModeResult = aGpuResult::Ok;
    std::vector<aGpuDisplayMode> modes; // the adapter's modes in enumeration order
    aGpuCaps caps[2];                   // Hal, Ref
    aGpuResult capsResult[2] = {aGpuResult::Ok, aGpuResult::Ok};
};

// What present() does about the display's refresh rate.
enum class aGpuPresentWait : uint32_t {
    Refresh,   // it waits for the refresh (a synchronised swap)
    None,      // it returns at once: a caller that wants the display's rate paces its frames
    NoDisplay, // there is no display to wait for (the offscreen driver)
};

struct aGpuPresentParams {
    uint32_t backBufferWidth = 0;
    uint32_t backBufferHeight = 0;
    aGpuFormat backBufferFormat = aGpuFormat::X8R8G8B8;
    bool windowed = true;
    bool vsync = false;
    bool multithreaded = true;
    // The platform window (an SDL window made for OpenGL) to present into;
    // null lets the OpenGL backend make a hidden window of its own.
    void* window = nullptr;
};

struct aGpuGammaRamp {
    uint16_t red[256] = {};
    uint16_t green[256] = {};
    uint16_t blue[256] = {};
};

// Counters of one frame (beginScene to present).
struct aGpuFrameStats {
    uint32_t drawCalls = 0;
    uint32_t primitives = 0;
    uint32_t textureUploads = 0;
};

// The description of a text font: height in pixels (negative: character
// height, as the start-up font asks), weight (700 bold) and face name.
struct aGpuFontDesc {
    int32_t height = 0;
    int32_t weight = 400;
    std::string faceName;
};
