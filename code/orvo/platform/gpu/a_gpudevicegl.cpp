#include "orvo/platform/gpu/a_gpudevicegl.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "orvo/platform/gpu/a_gpuglfunctions.h"
#include "orvo/platform/gpu/a_gpushaders.h"
#include "orvo/util/a_log.h"

namespace {

// Programs kept at most; past it they are all made again as needed.
constexpr size_t kMaxPrograms = 256;
// Frames the driver may still be working on when present() returns. Without
// a bound a software driver queues every frame the loop submits (and the
// memory of each) when nothing waits for the display.
constexpr size_t kFramesInFlight = 2;
// How long present() waits for the oldest frame before it gives up on it.
constexpr GLuint64 kFrameWaitNs = 1000000000;
// Starting sizes of the stream buffers (they grow for a larger draw).
constexpr size_t kVertexStreamBytes = 1 << 20;
constexpr size_t kIndexStreamBytes = 256 << 10;

GLenum glBlendFactor(uint32_t blend)
{
    switch (static_cast<aGpuBlend>(blend)) {
    case aGpuBlend::Zero:
        return GL_ZERO;
    case aGpuBlend::One:
        return GL_ONE;
    case aGpuBlend::SrcColor:
        return GL_SRC_COLOR;
    case aGpuBlend::SrcAlpha:
        return GL_SRC_ALPHA;
    case aGpuBlend::InvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    }
    return GL_ONE;
}

GLenum glPrimitive(aGpuPrimitive type)
{
    switch (type) {
    case aGpuPrimitive::TriangleList:
        return GL_TRIANGLES;
    case aGpuPrimitive::TriangleStrip:
        return GL_TRIANGLE_STRIP;
    case aGpuPrimitive::TriangleFan:
        return GL_TRIANGLE_FAN;
    case aGpuPrimitive::LineStrip:
        return GL_LINE_STRIP;
    }
    return GL_TRIANGLES;
}

aGpuFormat formatOf(const SDL_DisplayMode& mode)
{
    return SDL_BITSPERPIXEL(mode.format) >= 24 ? aGpuFormat::X8R8G8B8 : aGpuFormat::R5G6B5;
}

} // namespace

struct aGpuDeviceGL::Impl {
    bool ownsVideo = false;
    bool ownsWindow = false;
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    aGpuGLFunctions gl;
    struct Program {
        GLuint name = 0;
        GLint uTarget = -1, uOffset = -1, uAlphaRef = -1;
        // The values its uniforms hold (NaN and -1: not set yet).
        float target[2] = {NAN, NAN};
        float offset = NAN;
        GLint alphaRef = -1;
    };
    std::unordered_map<uint64_t, Program> programs; // by aGpuShaderKey::packed()
    GLuint usedProgram = 0;
    GLuint vao = 0;
    // Draws append their vertices and indices to a stream buffer; storage
    // written once is never written again while draws may read it: a full
    // buffer gets fresh storage (the driver keeps the old for those draws).
    struct Stream {
        GLenum target = 0;
        GLuint name = 0;
        size_t size = 0;
        size_t head = 0;
    };
    Stream vertexStream{GL_ARRAY_BUFFER};
    Stream indexStream{GL_ELEMENT_ARRAY_BUFFER};
    std::deque<GLsync> frameFences; // oldest first
    bool noDisplay = false;
    bool unsynchronisedSwaps = false;
    uint32_t fenceInterval = 1; // frames a fence stands for
    uint32_t unfencedFrames = 0;
    aGpuPresentWait presentWait = aGpuPresentWait::None;
    GLuint quadIbo = 0;                       // the batches' unchanging quad indices
    uint32_t quadIndexCount = 0;              // how many of them it holds
    GLuint samplers[2][2] = {{0, 0}, {0, 0}}; // [min linear][mag linear]
    GLuint texelSampler = 0;                  // texel for pixel: no filtering, no wrapping to compute
    GLuint backTexture = 0;
    GLuint backFramebuffer = 0;
    uint32_t backWidth = 0, backHeight = 0;
    // The back buffer is the window itself while its client area has the
    // back buffer's size: no offscreen picture and no copy at present().
    bool windowCanBeBackBuffer = false;
    bool direct = false;
    bool upperLeft = false;        // the clip-space origin last set
    std::vector<uint32_t> convert; // 16-bit pixels widened for upload
    std::vector<uint32_t> deadTextures, deadFramebuffers;
    aGpuVertexFormat boundFormat = aGpuVertexFormat::None;
    // What the context holds, so that a draw makes only the calls that
    // change something (each one has the driver check its state again).
    // kUnknown: code outside the draw path changed it, set it again.
    static constexpr GLuint kUnknown = ~0u;
    struct Bound {
        GLuint framebuffer = kUnknown;
        GLuint activeUnit = 0; // a new context starts at unit 0
        GLuint textures[2] = {kUnknown, kUnknown};
        GLuint samplers[2] = {kUnknown, kUnknown};
        GLuint arrayBuffer = kUnknown, elementBuffer = kUnknown;
        int blend = -1; // enabled, or -1 unknown
        GLenum srcBlend = 0, destBlend = 0;
        GLint scissor[4] = {-1, -1, -1, -1};
        GLsizei viewport[2] = {-1, -1};
    } bound;

    bool compile(GLuint& out, GLenum kind, const char* source);
    Program* program(const aGpuShaderKey& key);
    void freePrograms();
    bool makeBackBuffer(uint32_t width, uint32_t height);
    void freeBackBuffer();
    bool windowKeepsPicture();
    bool windowHasBackBufferSize() const;
    GLuint backTarget() const { return direct ? 0 : backFramebuffer; }
    void bindTarget(GLuint framebuffer);
    void bindFramebuffer(GLuint framebuffer);
    void bindTexture(GLuint unit, GLuint name);
    // Binds on whichever unit is active, for uploads and new objects.
    void bindTextureForWork(GLuint name) { bindTexture(bound.activeUnit, name); }
    void bindBuffer(GLenum target, GLuint name);
    // After textures were deleted: a deleted name bound falls back to 0 and
    // may come back for a new texture.
    void forgetTextures() { bound.textures[0] = bound.textures[1] = kUnknown; }
    void scissor(const aGpuViewport& v, uint32_t targetHeight, bool window);
    void deleteDead(aGpuRegistry& registry);
    bool ensureTexture(aGpuTexture& texture, aGpuFrameStats& stats);
    bool ensureTarget(aGpuTexture& texture);
    void bindFormat(aGpuVertexFormat format);
    void applyDisplayMode(const aGpuPresentParams& params);
    // Copies the bytes into the stream (bound to its target); their offset in it.
    size_t stream(Stream& s, const void* data, size_t bytes, size_t align);
    void fenceFrame();

    void freeFences();
};

bool aGpuDeviceGL::Impl::compile(GLuint& out, GLenum kind, const char* source)
{
    out = gl.glCreateShader(kind);
    gl.glShaderSource(out, 1, &source, nullptr);
    gl.glCompileShader(out);
    GLint ok = 0;
    gl.glGetShaderiv(out, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        gl.glGetShaderInfoLog(out, sizeof(log) - 1, nullptr, log);
        a_log("gpu. Shader compile failed: %s", log);
    }
    return ok != 0;
}

aGpuDeviceGL::Impl::Program* aGpuDeviceGL::Impl::program(const aGpuShaderKey& key)
{
    const uint64_t packed = key.packed();
    auto found = programs.find(packed);
    if (found != programs.end())
        return found->second.name ? &found->second : nullptr;
    if (programs.size() >= kMaxPrograms)
        freePrograms();

    Program& made = programs[packed]; // a failed build stays recorded as name 0
    const std::string fragment = gpu_fragmentShaderSource(key);
    GLuint vs = 0, fs = 0;
    const bool compiled =
        compile(vs, GL_VERTEX_SHADER, gpu_vertexShaderSource()) && compile(fs, GL_FRAGMENT_SHADER, fragment.c_str());
    GLuint name = 0;
    if (compiled) {
        name = gl.glCreateProgram();
        gl.glAttachShader(name, vs);
        gl.glAttachShader(name, fs);
        gl.glLinkProgram(name);
    }
    if (vs)
        gl.glDeleteShader(vs);
    if (fs)
        gl.glDeleteShader(fs);
    if (!compiled)
        return nullptr;
    GLint ok = 0;
    gl.glGetProgramiv(name, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        gl.glGetProgramInfoLog(name, sizeof(log) - 1, nullptr, log);
        a_log("gpu. Shader link failed: %s", log);
        gl.glDeleteProgram(name);
        return nullptr;
    }
    gl.glUseProgram(name);
    usedProgram = name;
    gl.glUniform1i(gl.glGetUniformLocation(name, "u_texture0"), 0);
    gl.glUniform1i(gl.glGetUniformLocation(name, "u_texture1"), 1);
    made.name = name;
    made.uTarget = gl.glGetUniformLocation(name, "u_target");
    made.uOffset = gl.glGetUniformLocation(name, "u_offset");
    made.uAlphaRef = gl.glGetUniformLocation(name, "u_alphaRef");
    return &made;
}

void aGpuDeviceGL::Impl::freePrograms()
{
    for (auto& [key, p] : programs)
        if (p.name)
            gl.glDeleteProgram(p.name);
    programs.clear();
    usedProgram = 0;
    gl.glUseProgram(0);
}

bool aGpuDeviceGL::Impl::makeBackBuffer(uint32_t width, uint32_t height)
{
    freeBackBuffer();
    gl.glGenTextures(1, &backTexture);
    bindTextureForWork(backTexture);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_BGRA,
                    GL_UNSIGNED_BYTE, nullptr);
    gl.glGenFramebuffers(1, &backFramebuffer);
    bindFramebuffer(backFramebuffer);
    gl.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backTexture, 0);
    const bool complete = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    backWidth = width;
    backHeight = height;
    gl.glDisable(GL_SCISSOR_TEST);
    gl.glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    gl.glEnable(GL_SCISSOR_TEST);
    return complete;
}

void aGpuDeviceGL::Impl::freeBackBuffer()
{
    if (backFramebuffer)
        gl.glDeleteFramebuffers(1, &backFramebuffer);
    if (backTexture)
        gl.glDeleteTextures(1, &backTexture);
    backFramebuffer = backTexture = 0;
    forgetTextures();
    bound.framebuffer = kUnknown;
}

bool aGpuDeviceGL::Impl::windowKeepsPicture()
{
    // Drawing into the window must give the offscreen picture's pixels: the
    // same rasterisation (an upper-left clip origin keeps rows top first),
    // 8 bits a channel, no multisampling. Screenshots read the window after
    // present(), so a swap must leave the picture in it.
    GLint major = 0, minor = 0;
    gl.glGetIntegerv(GL_MAJOR_VERSION, &major);
    gl.glGetIntegerv(GL_MINOR_VERSION, &minor);
    const bool clipControl = gl.glClipControl && (major > 4 || (major == 4 && minor >= 5) ||
                                                  SDL_GL_ExtensionSupported("GL_ARB_clip_control"));
    int red = 0, green = 0, blue = 0, samples = 0;
    SDL_GL_GetAttribute(SDL_GL_RED_SIZE, &red);
    SDL_GL_GetAttribute(SDL_GL_GREEN_SIZE, &green);
    SDL_GL_GetAttribute(SDL_GL_BLUE_SIZE, &blue);
    SDL_GL_GetAttribute(SDL_GL_MULTISAMPLEBUFFERS, &samples);
    if (!clipControl)
        gl.glClipControl = nullptr;
    if (!clipControl || red != 8 || green != 8 || blue != 8 || samples != 0)
        return false;
    // Two frames of nearly black: the second must still be there after its swap.
    bindFramebuffer(0);
    gl.glDisable(GL_SCISSOR_TEST);
    SDL_GL_SetSwapInterval(0);
    gl.glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    gl.glClearColor(1.0f / 255.0f, 2.0f / 255.0f, 3.0f / 255.0f, 1.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    uint8_t pixel[4] = {};
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    gl.glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    gl.glEnable(GL_SCISSOR_TEST);
    return pixel[0] == 1 && pixel[1] == 2 && pixel[2] == 3;
}

bool aGpuDeviceGL::Impl::windowHasBackBufferSize() const
{
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    return static_cast<uint32_t>(width) == backWidth && static_cast<uint32_t>(height) == backHeight;
}

void aGpuDeviceGL::Impl::bindFramebuffer(GLuint framebuffer)
{
    if (bound.framebuffer == framebuffer)
        return;
    gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    bound.framebuffer = framebuffer;
}

void aGpuDeviceGL::Impl::bindTexture(GLuint unit, GLuint name)
{
    if (bound.textures[unit] == name)
        return;
    if (bound.activeUnit != unit) {
        gl.glActiveTexture(GL_TEXTURE0 + unit);
        bound.activeUnit = unit;
    }
    gl.glBindTexture(GL_TEXTURE_2D, name);
    bound.textures[unit] = name;
}

void aGpuDeviceGL::Impl::bindBuffer(GLenum target, GLuint name)
{
    GLuint& current = target == GL_ARRAY_BUFFER ? bound.arrayBuffer : bound.elementBuffer;
    if (current == name)
        return;
    gl.glBindBuffer(target, name);
    current = name;
}

void aGpuDeviceGL::Impl::bindTarget(GLuint framebuffer)
{
    bindFramebuffer(framebuffer);
    // Our rows run top first. Offscreen pictures store them that way; in
    // the window the clip origin turns them, with the same rasterisation.
    const bool window = framebuffer == 0;
    if (gl.glClipControl && window != upperLeft) {
        gl.glClipControl(window ? GL_UPPER_LEFT : GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
        upperLeft = window;
    }
}

void aGpuDeviceGL::Impl::scissor(const aGpuViewport& v, uint32_t targetHeight, bool window)
{
    // Window coordinates count rows from the bottom.
    const GLint y = window ? static_cast<GLint>(targetHeight) - v.y - static_cast<GLint>(v.height) : v.y;
    const GLint rect[4] = {v.x, y, static_cast<GLint>(v.width), static_cast<GLint>(v.height)};
    if (std::equal(rect, rect + 4, bound.scissor))
        return;
    gl.glScissor(rect[0], rect[1], rect[2], rect[3]);
    std::copy(rect, rect + 4, bound.scissor);
}

void aGpuDeviceGL::Impl::deleteDead(aGpuRegistry& registry)
{
    registry.takeDeadNames(deadTextures, deadFramebuffers);
    if (!deadFramebuffers.empty()) {
        gl.glDeleteFramebuffers(static_cast<GLsizei>(deadFramebuffers.size()), deadFramebuffers.data());
        bound.framebuffer = kUnknown;
    }
    if (!deadTextures.empty()) {
        gl.glDeleteTextures(static_cast<GLsizei>(deadTextures.size()), deadTextures.data());
        forgetTextures();
    }
}

bool aGpuDeviceGL::Impl::ensureTarget(aGpuTexture& texture)
{
    if (texture.backendFramebuffer())
        return true;
    GLuint name = 0, framebuffer = 0;
    gl.glGenTextures(1, &name);
    bindTextureForWork(name);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(texture.width()),
                    static_cast<GLsizei>(texture.height()), 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    if (texture.format() == aGpuFormat::X8R8G8B8)
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    gl.glGenFramebuffers(1, &framebuffer);
    bindFramebuffer(framebuffer);
    gl.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, name, 0);
    gl.glDisable(GL_SCISSOR_TEST);
    gl.glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    gl.glEnable(GL_SCISSOR_TEST);
    texture.setBackendName(name);
    texture.setBackendFramebuffer(framebuffer);
    return gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool aGpuDeviceGL::Impl::ensureTexture(aGpuTexture& texture, aGpuFrameStats& stats)
{
    if (texture.isRenderTarget()) {
        // The draw binds its own target after this.
        if (!texture.backendFramebuffer())
            ensureTarget(texture);
        return texture.backendName() != 0;
    }
    const auto w = static_cast<GLsizei>(texture.width()), h = static_cast<GLsizei>(texture.height());
    if (!texture.backendName()) {
        GLuint name = 0;
        gl.glGenTextures(1, &name);
        bindTextureForWork(name);
        gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        texture.setBackendName(name);
        texture.markDirty();
    }
    texture.uploadIfDirty([&](const uint8_t* pixels) {
        bindTextureForWork(texture.backendName());
        gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        const void* source = pixels;
        if (texture.format() != aGpuFormat::A8R8G8B8) {
            const size_t count = static_cast<size_t>(w) * h;
            convert.resize(count);
            const auto* halves = reinterpret_cast<const uint16_t*>(pixels);
            for (size_t i = 0; i < count; ++i) {
                uint16_t half = 0;
                std::memcpy(&half, halves + i, 2);
                convert[i] = gpu_expandPixel(texture.format(), half);
            }
            source = convert.data();
        }
        gl.glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_BGRA, GL_UNSIGNED_BYTE, source);
        ++stats.textureUploads;
    });
    return true;
}

void aGpuDeviceGL::Impl::bindFormat(aGpuVertexFormat format)
{
    // The pointers start at the stream's beginning; each draw finds its
    // vertices through a base vertex, so they change only with the format.
    if (format == boundFormat)
        return;
    bindBuffer(GL_ARRAY_BUFFER, vertexStream.name);
    const GLsizei stride = static_cast<GLsizei>(gpu_vertexStride(format));
    const auto at = [](size_t field) { return reinterpret_cast<const void*>(field); };
    gl.glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, at(0));
    gl.glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, at(16));
    gl.glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, at(20));
    if (format == aGpuVertexFormat::Tex2) {
        gl.glEnableVertexAttribArray(3);
        gl.glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, at(28));
    } else {
        gl.glDisableVertexAttribArray(3);
        gl.glVertexAttrib2f(3, 0.0f, 0.0f);
    }
    boundFormat = format;
}

void aGpuDeviceGL::Impl::applyDisplayMode(const aGpuPresentParams& params)
{
    if (!window)
        return;
    if (params.windowed) {
        SDL_SetWindowFullscreen(window, 0);
    } else {
        SDL_DisplayMode wanted = {};
        wanted.w = static_cast<int>(params.backBufferWidth);
        wanted.h = static_cast<int>(params.backBufferHeight);
        SDL_DisplayMode closest = {};
        const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
        if (SDL_GetClosestDisplayMode(display, &wanted, &closest))
            SDL_SetWindowDisplayMode(window, &closest);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
    }
    // A window presents at the display's rate either way: through the
    // synchronised swap without vsync, through the main loop's own pacing
    // with it. Fullscreen swaps wait for the refresh only with vsync.
    const bool synchronised = params.windowed != params.vsync && !unsynchronisedSwaps;
    const bool accepted = SDL_GL_SetSwapInterval(synchronised ? 1 : 0) == 0;
    if (noDisplay)
        presentWait = aGpuPresentWait::NoDisplay;
    else
        presentWait = synchronised && accepted ? aGpuPresentWait::Refresh : aGpuPresentWait::None;
    if (synchronised && !accepted)
        a_log("gpu. The swap cannot wait for the display (%s)", SDL_GetError());
}

size_t aGpuDeviceGL::Impl::stream(Stream& s, const void* data, size_t bytes, size_t align)
{
    bindBuffer(s.target, s.name);
    size_t offset = (s.head + align - 1) / align * align;
    if (offset + bytes > s.size) {
        while (s.size < bytes)
            s.size *= 2;
        gl.glBufferData(s.target, static_cast<GLsizeiptr>(s.size), nullptr, GL_STREAM_DRAW);
        offset = 0;
    }
    s.head = offset + bytes;
    if (!bytes)
        return offset;
    // Nothing in flight reads this range: no reason to wait for the driver.
    void* mapped = gl.glMapBufferRange(s.target, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes),
                                       GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (mapped) {
        std::memcpy(mapped, data, bytes);
        if (gl.glUnmapBuffer(s.target) == GL_TRUE)
            return offset;
    }
    gl.glBufferSubData(s.target, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes), data);
    return offset;
}

void aGpuDeviceGL::Impl::fenceFrame()
{
    // Frames between fences stay with the driver, which draws of them only
    // what the next one does not cover (a software driver skips it).
    if (++unfencedFrames < fenceInterval)
        return;
    unfencedFrames = 0;
    const size_t inFlight = fenceInterval > 1 ? 1 : kFramesInFlight;
    GLsync fence = gl.glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (fence)
        frameFences.push_back(fence);
    gl.glFlush();
    while (frameFences.size() > inFlight) {
        if (gl.glClientWaitSync(frameFences.front(), GL_SYNC_FLUSH_COMMANDS_BIT, kFrameWaitNs) == GL_TIMEOUT_EXPIRED)
            a_log("gpu. A frame took longer than a second to draw");
        gl.glDeleteSync(frameFences.front());
        frameFences.pop_front();
    }
}

void aGpuDeviceGL::Impl::freeFences()
{
    for (GLsync fence : frameFences)
        gl.glDeleteSync(fence);
    frameFences.clear();
}

// --- aGpuDeviceGL ----------------------------------------------------------------

aGpuDeviceGL::aGpuDeviceGL() : m_impl(std::make_unique<Impl>())
{
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            a_log("gpu. SDL video start failed (%s)", SDL_GetError());
            m_adapter.identifierResult = aGpuResult::NotAvailable;
            m_adapter.desktopModeResult = aGpuResult::NotAvailable;
            return;
        }
        m_impl->ownsVideo = true;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    m_impl->noDisplay = driver && std::strcmp(driver, "offscreen") == 0;
    if (m_impl->noDisplay)
        m_impl->presentWait = aGpuPresentWait::NoDisplay;
    const char* display = SDL_GetDisplayName(0);
    m_adapter.identifier.description = std::string("OpenGL on ") + (display ? display : "display 0");
    m_adapter.identifier.driver = driver ? driver : "unknown";
    SDL_version version;
    SDL_GetVersion(&version);
    m_adapter.identifier.driverVersion[0] = version.major;
    m_adapter.identifier.driverVersion[1] = version.minor;
    m_adapter.identifier.driverVersion[2] = version.patch;

    SDL_DisplayMode desktop = {};
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        m_adapter.desktopMode = {static_cast<uint32_t>(desktop.w), static_cast<uint32_t>(desktop.h),
                                 static_cast<uint32_t>(desktop.refresh_rate), formatOf(desktop)};
    } else {
        m_adapter.desktopModeResult = aGpuResult::NotAvailable;
    }
    m_adapter.modes.clear();
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode = {};
        if (SDL_GetDisplayMode(0, i, &mode) != 0)
            continue;
        const auto w = static_cast<uint32_t>(mode.w), h = static_cast<uint32_t>(mode.h);
        const auto hz = static_cast<uint32_t>(mode.refresh_rate);
        m_adapter.modes.push_back({w, h, hz, aGpuFormat::R5G6B5});
        m_adapter.modes.push_back({w, h, hz, aGpuFormat::X8R8G8B8});
    }
}

aGpuDeviceGL::~aGpuDeviceGL()
{
    Impl& d = *m_impl;
    if (d.context) {
        SDL_GL_MakeCurrent(d.window, d.context);
        d.deleteDead(*m_registry);
        // Textures may outlive the device: they forget their GL objects and
        // would upload again into a new device.
        m_registry->forEachTexture([&](aGpuTexture& texture) {
            GLuint name = texture.backendName(), framebuffer = texture.backendFramebuffer();
            if (framebuffer)
                d.gl.glDeleteFramebuffers(1, &framebuffer);
            if (name)
                d.gl.glDeleteTextures(1, &name);
            texture.setBackendName(0);
            texture.setBackendFramebuffer(0);
            texture.markDirty();
        });
        d.freeBackBuffer();
        d.freePrograms();
        d.freeFences();
        for (GLuint buffer : {d.vertexStream.name, d.indexStream.name})
            if (buffer)
                d.gl.glDeleteBuffers(1, &buffer);
        if (d.quadIbo)
            d.gl.glDeleteBuffers(1, &d.quadIbo);
        if (d.vao)
            d.gl.glDeleteVertexArrays(1, &d.vao);
        for (auto& row : d.samplers)
            d.gl.glDeleteSamplers(2, row);
        if (d.texelSampler)
            d.gl.glDeleteSamplers(1, &d.texelSampler);
        SDL_GL_MakeCurrent(d.window, nullptr);
        SDL_GL_DeleteContext(d.context);
    }
    if (d.ownsWindow && d.window)
        SDL_DestroyWindow(d.window);
    if (d.ownsVideo)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void* aGpuDeviceGL::nativeWindow() const
{
    return m_impl->window;
}

aGpuPresentWait aGpuDeviceGL::presentWait() const
{
    return m_impl->presentWait;
}

void aGpuDeviceGL::setUnsynchronisedSwaps(bool on)
{
    m_impl->unsynchronisedSwaps = on;
}

void aGpuDeviceGL::setFenceInterval(uint32_t frames)
{
    m_impl->fenceInterval = std::max<uint32_t>(frames, 1);
}

bool aGpuDeviceGL::drawsIntoWindow() const
{
    return m_impl->direct;
}

uint32_t aGpuDeviceGL::requiredWindowFlags()
{
    return SDL_WINDOW_OPENGL;
}

void aGpuDeviceGL::prepareWindowAttributes()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

aGpuResult aGpuDeviceGL::doCreate(const aGpuPresentParams& params)
{
    Impl& d = *m_impl;
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return aGpuResult::NotAvailable;
    prepareWindowAttributes();
    d.window = static_cast<SDL_Window*>(params.window);
    if (!d.window) {
        d.window = SDL_CreateWindow("orvo", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                    static_cast<int>(params.backBufferWidth), static_cast<int>(params.backBufferHeight),
                                    SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!d.window) {
            a_log("gpu. Window creation failed (%s)", SDL_GetError());
            return aGpuResult::NotAvailable;
        }
        d.ownsWindow = true;
    }
    d.context = SDL_GL_CreateContext(d.window);
    if (!d.context) {
        a_log("gpu. OpenGL 3.3 context creation failed (%s)", SDL_GetError());
        if (d.ownsWindow) {
            SDL_DestroyWindow(d.window);
            d.ownsWindow = false;
        }
        d.window = nullptr;
        return aGpuResult::NotAvailable;
    }
    SDL_GL_MakeCurrent(d.window, d.context);
    if (!d.gl.load(&SDL_GL_GetProcAddress) || !d.program(aGpuShaderKey()))
        return aGpuResult::DriverInternalError;

    const auto* renderer = reinterpret_cast<const char*>(d.gl.glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(d.gl.glGetString(GL_VERSION));
    m_adapter.identifier.description = renderer ? renderer : "OpenGL";
    if (version)
        m_adapter.identifier.driver = version;
    GLint maxSize = 0;
    d.gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    for (aGpuCaps& caps : m_adapter.caps)
        if (maxSize > 0)
            caps.maxTextureWidth = caps.maxTextureHeight = caps.maxTextureAspectRatio = static_cast<uint32_t>(maxSize);

    d.gl.glGenVertexArrays(1, &d.vao);
    d.gl.glBindVertexArray(d.vao);
    d.gl.glGenBuffers(1, &d.vertexStream.name);
    d.gl.glGenBuffers(1, &d.indexStream.name);
    d.gl.glGenBuffers(1, &d.quadIbo);
    d.vertexStream.size = kVertexStreamBytes;
    d.indexStream.size = kIndexStreamBytes;
    d.bindBuffer(GL_ARRAY_BUFFER, d.vertexStream.name);
    d.gl.glBufferData(GL_ARRAY_BUFFER, kVertexStreamBytes, nullptr, GL_STREAM_DRAW);
    d.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, d.indexStream.name);
    d.gl.glBufferData(GL_ELEMENT_ARRAY_BUFFER, kIndexStreamBytes, nullptr, GL_STREAM_DRAW);
    for (GLuint attribute = 0; attribute < 3; ++attribute)
        d.gl.glEnableVertexAttribArray(attribute);
    for (int minLinear = 0; minLinear < 2; ++minLinear) {
        d.gl.glGenSamplers(2, d.samplers[minLinear]);
        for (int magLinear = 0; magLinear < 2; ++magLinear) {
            const GLuint s = d.samplers[minLinear][magLinear];
            d.gl.glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, minLinear ? GL_LINEAR : GL_NEAREST);
            d.gl.glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
            d.gl.glSamplerParameteri(s, GL_TEXTURE_WRAP_S, GL_REPEAT);
            d.gl.glSamplerParameteri(s, GL_TEXTURE_WRAP_T, GL_REPEAT);
        }
    }
    // Its sample points lie inside the source rectangle: wrapping never applies.
    d.gl.glGenSamplers(1, &d.texelSampler);
    d.gl.glSamplerParameteri(d.texelSampler, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    d.gl.glSamplerParameteri(d.texelSampler, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    d.gl.glSamplerParameteri(d.texelSampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    d.gl.glSamplerParameteri(d.texelSampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    d.gl.glEnable(GL_SCISSOR_TEST);
    if (!d.makeBackBuffer(params.backBufferWidth, params.backBufferHeight))
        return aGpuResult::DriverInternalError;
    d.windowCanBeBackBuffer = d.windowKeepsPicture();
    if (!d.windowCanBeBackBuffer)
        a_log("gpu. Frames are drawn offscreen and copied into the window");
    d.applyDisplayMode(params);
    d.direct = d.windowCanBeBackBuffer && d.windowHasBackBufferSize();
    d.bindTarget(d.backTarget());
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceGL::doReset(const aGpuPresentParams& params)
{
    Impl& d = *m_impl;
    const bool resized = params.backBufferWidth != d.backWidth || params.backBufferHeight != d.backHeight;
    if (resized && !d.makeBackBuffer(params.backBufferWidth, params.backBufferHeight))
        return aGpuResult::DriverInternalError;
    d.applyDisplayMode(params);
    d.direct = d.windowCanBeBackBuffer && d.windowHasBackBufferSize();
    d.bindTarget(d.backTarget());
    if (resized && d.direct) {
        // A new back buffer starts black.
        d.gl.glDisable(GL_SCISSOR_TEST);
        d.gl.glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        d.gl.glClear(GL_COLOR_BUFFER_BIT);
        d.gl.glEnable(GL_SCISSOR_TEST);
    }
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceGL::doClear(uint32_t argb)
{
    Impl& d = *m_impl;
    d.scissor(clippedViewport(), targetHeight(), !m_renderTarget && d.direct);
    d.gl.glClearColor(((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
                      (argb >> 24) / 255.0f);
    d.gl.glClear(GL_COLOR_BUFFER_BIT);
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceGL::doPresent()
{
    Impl& d = *m_impl;
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(d.window, &width, &height);
    if (width > 0 && height > 0) {
        const bool same = static_cast<uint32_t>(width) == d.backWidth && static_cast<uint32_t>(height) == d.backHeight;
        const auto w = static_cast<GLint>(d.backWidth), h = static_cast<GLint>(d.backHeight);
        d.gl.glDisable(GL_SCISSOR_TEST);
        if (d.direct && !same) {
            // The window changed size during the frame: the frame moves to
            // the offscreen picture (rows turned), which is shown stretched.
            d.gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
            d.gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, d.backFramebuffer);
            d.gl.glBlitFramebuffer(0, 0, w, h, 0, h, w, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        }
        if (!d.direct || !same) {
            d.gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, d.backFramebuffer);
            d.gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            // Our pictures keep their top row first; the window's first row is its bottom.
            d.gl.glBlitFramebuffer(0, 0, w, h, 0, height, width, 0, GL_COLOR_BUFFER_BIT, same ? GL_NEAREST : GL_LINEAR);
        }
        d.gl.glEnable(GL_SCISSOR_TEST);
        d.bound.framebuffer = Impl::kUnknown; // read and draw bound apart
        SDL_GL_SwapWindow(d.window);
        d.direct = d.windowCanBeBackBuffer && same;
    }
    d.fenceFrame();
    // Deleting framebuffers forgets the binding: delete first, then bind.
    d.deleteDead(*m_registry);
    d.bindTarget(m_renderTarget ? m_renderTarget->backendFramebuffer() : d.backTarget());
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceGL::doSetRenderTarget(aGpuTexture* target)
{
    Impl& d = *m_impl;
    if (target && !d.ensureTarget(*target))
        return aGpuResult::OutOfMemory;
    d.bindTarget(target ? target->backendFramebuffer() : d.backTarget());
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceGL::doDraw(const aGpuDrawCall& call)
{
    Impl& d = *m_impl;
    auto& gl = d.gl;
    // Textures first: uploads and target creation bind other objects.
    const bool textured0 = call.textures[0] && d.ensureTexture(*call.textures[0], m_stats);
    const bool textured1 = call.textures[1] && d.ensureTexture(*call.textures[1], m_stats);
    d.bindTarget(m_renderTarget ? m_renderTarget->backendFramebuffer() : d.backTarget());
    d.scissor(clippedViewport(), targetHeight(), !m_renderTarget && d.direct);
    const auto width = static_cast<GLsizei>(targetWidth()), height = static_cast<GLsizei>(targetHeight());
    if (d.bound.viewport[0] != width || d.bound.viewport[1] != height) {
        gl.glViewport(0, 0, width, height);
        d.bound.viewport[0] = width;
        d.bound.viewport[1] = height;
    }

    auto rs = [this](aGpuRenderState s) { return m_renderStates[static_cast<size_t>(s)]; };
    const int blend = rs(aGpuRenderState::AlphaBlendEnable) ? 1 : 0;
    if (blend != d.bound.blend) {
        if (blend)
            gl.glEnable(GL_BLEND);
        else
            gl.glDisable(GL_BLEND);
        d.bound.blend = blend;
    }
    if (blend) {
        const GLenum src = glBlendFactor(rs(aGpuRenderState::SrcBlend));
        const GLenum dest = glBlendFactor(rs(aGpuRenderState::DestBlend));
        if (src != d.bound.srcBlend || dest != d.bound.destBlend) {
            gl.glBlendFunc(src, dest);
            d.bound.srcBlend = src;
            d.bound.destBlend = dest;
        }
    }
    auto ss = [this](uint32_t stage, aGpuStageState s) { return m_stageStates[stage][static_cast<size_t>(s)]; };
    const bool stage1 = call.format == aGpuVertexFormat::Tex2 && textured1 &&
                        ss(1, aGpuStageState::ColorOp) != static_cast<uint32_t>(aGpuTextureOp::Disable);
    uint32_t ops[2][6];
    for (uint32_t stage = 0; stage < 2; ++stage) {
        const aGpuStageState order[6] = {aGpuStageState::ColorOp, aGpuStageState::ColorArg1, aGpuStageState::ColorArg2,
                                         aGpuStageState::AlphaOp, aGpuStageState::AlphaArg1, aGpuStageState::AlphaArg2};
        for (int i = 0; i < 6; ++i)
            ops[stage][i] = ss(stage, order[i]);
    }
    const uint32_t alphaFunc = rs(aGpuRenderState::AlphaTestEnable) ? rs(aGpuRenderState::AlphaFunc)
                                                                    : static_cast<uint32_t>(aGpuCompare::Always);
    Impl::Program* program = d.program(gpu_shaderKey(textured0, stage1, ops[0], ops[1], alphaFunc));
    if (!program)
        return aGpuResult::DriverInternalError;
    if (program->name != d.usedProgram) {
        gl.glUseProgram(program->name);
        d.usedProgram = program->name;
    }
    const auto alphaRef = static_cast<GLint>(rs(aGpuRenderState::AlphaRef));
    if (program->uAlphaRef >= 0 && program->alphaRef != alphaRef) {
        gl.glUniform1i(program->uAlphaRef, alphaRef);
        program->alphaRef = alphaRef;
    }
    const auto targetW = static_cast<float>(width), targetH = static_cast<float>(height);
    if (program->target[0] != targetW || program->target[1] != targetH) {
        gl.glUniform2f(program->uTarget, targetW, targetH);
        program->target[0] = targetW;
        program->target[1] = targetH;
    }
    // Lines through integer coordinates light the pixels there. The extra
    // 1/64 keeps segment ends off pixel centres, where rasterisers differ
    // on whether the first pixel of a segment is lit.
    const float offset = call.type == aGpuPrimitive::LineStrip ? 0.515625f : 0.0f;
    if (program->offset != offset) {
        gl.glUniform2f(program->uOffset, offset, offset);
        program->offset = offset;
    }

    for (uint32_t stage = 0; stage < 2; ++stage) {
        aGpuTexture* texture = call.textures[stage];
        d.bindTexture(stage, texture ? texture->backendName() : 0);
        const int minLinear = ss(stage, aGpuStageState::MinFilter) == static_cast<uint32_t>(aGpuFilter::Linear);
        const int magLinear = ss(stage, aGpuStageState::MagFilter) == static_cast<uint32_t>(aGpuFilter::Linear);
        // Texel for pixel, filtering gives the texels themselves: skip it.
        const bool exact = stage == 0 && call.texelForPixel;
        const GLuint sampler = exact ? d.texelSampler : d.samplers[minLinear][magLinear];
        if (d.bound.samplers[stage] != sampler) {
            gl.glBindSampler(stage, sampler);
            d.bound.samplers[stage] = sampler;
        }
    }

    const size_t stride = std::max<size_t>(gpu_vertexStride(call.format), 1);
    const size_t vertexBytes = static_cast<size_t>(call.vertexCount) * call.stride;
    const auto baseVertex = static_cast<GLint>(d.stream(d.vertexStream, call.vertices, vertexBytes, stride) / stride);
    d.bindFormat(call.format);
    size_t indexOffset = 0;
    if (call.indices && call.quadIndices) {
        // The quad list only ever grows by the same pattern: kept, uploaded when a longer one comes.
        d.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, d.quadIbo);
        if (call.indexCount > d.quadIndexCount) {
            gl.glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(call.indexCount) * 2, call.indices,
                            GL_STATIC_DRAW);
            d.quadIndexCount = call.indexCount;
        }
    } else if (call.indices) {
        indexOffset = d.stream(d.indexStream, call.indices, static_cast<size_t>(call.indexCount) * 2, 4);
    }
    if (call.indices)
        gl.glDrawElementsBaseVertex(glPrimitive(call.type), static_cast<GLsizei>(call.indexCount), GL_UNSIGNED_SHORT,
                                    reinterpret_cast<const void*>(indexOffset), baseVertex);
    else
        gl.glDrawArrays(glPrimitive(call.type), baseVertex, static_cast<GLsizei>(call.vertexCount));
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceGL::doSetGammaRamp(const aGpuGammaRamp& ramp)
{
    if (!m_impl->window)
        return aGpuResult::NotAvailable;
    return SDL_SetWindowGammaRamp(m_impl->window, ramp.red, ramp.green, ramp.blue) == 0 ? aGpuResult::Ok
                                                                                        : aGpuResult::NotAvailable;
}

aGpuResult aGpuDeviceGL::doReadBackBuffer(std::vector<uint32_t>& argb, uint32_t& width, uint32_t& height)
{
    Impl& d = *m_impl;
    width = d.backWidth;
    height = d.backHeight;
    argb.resize(static_cast<size_t>(width) * height);
    d.gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, d.backTarget());
    d.bound.framebuffer = Impl::kUnknown; // read and draw bound apart
    d.gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    d.gl.glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_BGRA, GL_UNSIGNED_BYTE,
                      argb.data());
    if (d.direct) {
        // The window's rows come bottom first.
        for (uint32_t top = 0, bottom = height ? height - 1 : 0; top < bottom; ++top, --bottom)
            std::swap_ranges(argb.begin() + static_cast<ptrdiff_t>(top) * width,
                             argb.begin() + static_cast<ptrdiff_t>(top + 1) * width,
                             argb.begin() + static_cast<ptrdiff_t>(bottom) * width);
    }
    d.bindTarget(m_renderTarget ? m_renderTarget->backendFramebuffer() : d.backTarget());
    // The back buffer has no alpha of its own.
    for (uint32_t& pixel : argb)
        pixel |= 0xFF000000u;
    return aGpuResult::Ok;
}
