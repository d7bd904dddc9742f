#include "orvo/platform/gpu/a_gpudevicegl.h"

#include <SDL.h>

#include <cstring>
#include <string>
#include <vector>

#include "orvo/platform/gpu/a_gpuglfunctions.h"
#include "orvo/util/a_log.h"

namespace {

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 a_position;
layout(location = 1) in vec4 a_color;
layout(location = 2) in vec2 a_uv0;
layout(location = 3) in vec2 a_uv1;
uniform vec2 u_target;
uniform vec2 u_offset;
out vec4 v_color;
out vec2 v_uv0;
out vec2 v_uv1;
void main()
{
    vec2 p = a_position.xy + u_offset;
    gl_Position = vec4(p.x / u_target.x * 2.0 - 1.0, p.y / u_target.y * 2.0 - 1.0, 0.0, 1.0);
    v_color = a_color;
    v_uv0 = a_uv0;
    v_uv1 = a_uv1;
}
)";

// Each stage: ops (colour, alpha) and arguments (colour 1, 2, alpha 1, 2) as
// the device's numbers; see aGpuTextureOp and aGpuTextureArg.
const char* const kFragmentShader = R"(#version 330 core
in vec4 v_color;
in vec2 v_uv0;
in vec2 v_uv1;
uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
uniform ivec4 u_ops;      // stage 0 colour, stage 0 alpha, stage 1 colour, stage 1 alpha
uniform ivec4 u_args0;
uniform ivec4 u_args1;
uniform ivec4 u_flags;    // stage 0 textured, stage 1 active, alpha func, alpha ref
layout(location = 0) out vec4 o_color;

vec4 pick(int a, vec4 diffuse, vec4 current, vec4 tex)
{
    int which = a & 15;
    vec4 v = which == 0 ? diffuse : (which == 1 ? current : tex);
    return (a & 16) != 0 ? vec4(1.0) - v : v;
}

vec4 combine(int op, vec4 a1, vec4 a2, vec4 current)
{
    if (op == 2) return a1;
    if (op == 3) return a2;
    if (op == 4) return a1 * a2;
    if (op == 7) return min(a1 + a2, vec4(1.0));
    if (op == 10) return max(a1 - a2, vec4(0.0));
    return current;
}

vec4 stage(int colorOp, int alphaOp, ivec4 args, vec4 diffuse, vec4 current, vec4 tex)
{
    vec4 c = combine(colorOp, pick(args.x, diffuse, current, tex), pick(args.y, diffuse, current, tex), current);
    vec4 a = combine(alphaOp, pick(args.z, diffuse, current, tex), pick(args.w, diffuse, current, tex), current);
    return vec4(c.rgb, a.a);
}

void main()
{
    vec4 current = v_color;
    if (u_flags.x != 0 && u_ops.x != 1) {
        current = stage(u_ops.x, u_ops.y, u_args0, v_color, current, texture(u_texture0, v_uv0));
        if (u_flags.y != 0)
            current = stage(u_ops.z, u_ops.w, u_args1, v_color, current, texture(u_texture1, v_uv1));
    }
    current = clamp(current, 0.0, 1.0);
    if (u_flags.z != 8) {
        int alpha = int(current.a * 255.0 + 0.5);
        if (u_flags.z == 1 || !(alpha > u_flags.w))
            discard;
    }
    o_color = current;
}
)";

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
    GLuint program = 0;
    GLuint vao = 0;
    GLuint vbo = 0;
    GLuint ibo = 0;
    GLuint samplers[2][2] = {{0, 0}, {0, 0}}; // [min linear][mag linear]
    GLuint backTexture = 0;
    GLuint backFramebuffer = 0;
    uint32_t backWidth = 0, backHeight = 0;
    GLint uTarget = -1, uOffset = -1, uOps = -1, uArgs0 = -1, uArgs1 = -1, uFlags = -1;
    std::vector<uint32_t> convert; // 16-bit pixels widened for upload
    std::vector<uint32_t> deadTextures, deadFramebuffers;
    aGpuVertexFormat boundFormat = aGpuVertexFormat::None;

    bool compile(GLuint& out, GLenum kind, const char* source);
    bool makeProgram();
    bool makeBackBuffer(uint32_t width, uint32_t height);
    void freeBackBuffer();
    void deleteDead(aGpuRegistry& registry);
    bool ensureTexture(aGpuTexture& texture, aGpuFrameStats& stats);
    bool ensureTarget(aGpuTexture& texture);
    void bindFormat(aGpuVertexFormat format);
    void applyDisplayMode(const aGpuPresentParams& params);
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

bool aGpuDeviceGL::Impl::makeProgram()
{
    GLuint vs = 0, fs = 0;
    const bool compiled =
        compile(vs, GL_VERTEX_SHADER, kVertexShader) && compile(fs, GL_FRAGMENT_SHADER, kFragmentShader);
    if (compiled) {
        program = gl.glCreateProgram();
        gl.glAttachShader(program, vs);
        gl.glAttachShader(program, fs);
        gl.glLinkProgram(program);
    }
    if (vs)
        gl.glDeleteShader(vs);
    if (fs)
        gl.glDeleteShader(fs);
    if (!compiled)
        return false;
    GLint ok = 0;
    gl.glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        gl.glGetProgramInfoLog(program, sizeof(log) - 1, nullptr, log);
        a_log("gpu. Shader link failed: %s", log);
        return false;
    }
    gl.glUseProgram(program);
    gl.glUniform1i(gl.glGetUniformLocation(program, "u_texture0"), 0);
    gl.glUniform1i(gl.glGetUniformLocation(program, "u_texture1"), 1);
    uTarget = gl.glGetUniformLocation(program, "u_target");
    uOffset = gl.glGetUniformLocation(program, "u_offset");
    uOps = gl.glGetUniformLocation(program, "u_ops");
    uArgs0 = gl.glGetUniformLocation(program, "u_args0");
    uArgs1 = gl.glGetUniformLocation(program, "u_args1");
    uFlags = gl.glGetUniformLocation(program, "u_flags");
    return true;
}

bool aGpuDeviceGL::Impl::makeBackBuffer(uint32_t width, uint32_t height)
{
    freeBackBuffer();
    gl.glGenTextures(1, &backTexture);
    gl.glBindTexture(GL_TEXTURE_2D, backTexture);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_BGRA,
                    GL_UNSIGNED_BYTE, nullptr);
    gl.glGenFramebuffers(1, &backFramebuffer);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, backFramebuffer);
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
}

void aGpuDeviceGL::Impl::deleteDead(aGpuRegistry& registry)
{
    registry.takeDeadNames(deadTextures, deadFramebuffers);
    if (!deadFramebuffers.empty())
        gl.glDeleteFramebuffers(static_cast<GLsizei>(deadFramebuffers.size()), deadFramebuffers.data());
    if (!deadTextures.empty())
        gl.glDeleteTextures(static_cast<GLsizei>(deadTextures.size()), deadTextures.data());
}

bool aGpuDeviceGL::Impl::ensureTarget(aGpuTexture& texture)
{
    if (texture.backendFramebuffer())
        return true;
    GLuint name = 0, framebuffer = 0;
    gl.glGenTextures(1, &name);
    gl.glBindTexture(GL_TEXTURE_2D, name);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(texture.width()),
                    static_cast<GLsizei>(texture.height()), 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    if (texture.format() == aGpuFormat::X8R8G8B8)
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    gl.glGenFramebuffers(1, &framebuffer);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
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
        if (!texture.backendFramebuffer()) {
            GLint previous = 0;
            gl.glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
            ensureTarget(texture);
            gl.glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
        }
        return texture.backendName() != 0;
    }
    const auto w = static_cast<GLsizei>(texture.width()), h = static_cast<GLsizei>(texture.height());
    if (!texture.backendName()) {
        GLuint name = 0;
        gl.glGenTextures(1, &name);
        gl.glBindTexture(GL_TEXTURE_2D, name);
        gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        texture.setBackendName(name);
        texture.markDirty();
    }
    texture.uploadIfDirty([&](const uint8_t* pixels) {
        gl.glBindTexture(GL_TEXTURE_2D, texture.backendName());
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
    // The stream buffer is re-specified for every draw, so the pointers are
    // set again each time (they refer to offsets in the bound buffer).
    const GLsizei stride = static_cast<GLsizei>(gpu_vertexStride(format));
    gl.glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(0));
    gl.glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<const void*>(16));
    gl.glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(20));
    if (format == aGpuVertexFormat::Tex2) {
        gl.glEnableVertexAttribArray(3);
        gl.glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(28));
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
    SDL_GL_SetSwapInterval(params.vsync ? 1 : 0);
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
        if (d.program)
            d.gl.glDeleteProgram(d.program);
        if (d.vbo)
            d.gl.glDeleteBuffers(1, &d.vbo);
        if (d.ibo)
            d.gl.glDeleteBuffers(1, &d.ibo);
        if (d.vao)
            d.gl.glDeleteVertexArrays(1, &d.vao);
        for (auto& row : d.samplers)
            d.gl.glDeleteSamplers(2, row);
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
    if (!d.gl.load(&SDL_GL_GetProcAddress) || !d.makeProgram())
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
    d.gl.glGenBuffers(1, &d.vbo);
    d.gl.glGenBuffers(1, &d.ibo);
    d.gl.glBindBuffer(GL_ARRAY_BUFFER, d.vbo);
    d.gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, d.ibo);
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
    d.gl.glEnable(GL_SCISSOR_TEST);
    if (!d.makeBackBuffer(params.backBufferWidth, params.backBufferHeight))
        return aGpuResult::DriverInternalError;
    d.applyDisplayMode(params);
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceGL::doReset(const aGpuPresentParams& params)
{
    Impl& d = *m_impl;
    if (params.backBufferWidth != d.backWidth || params.backBufferHeight != d.backHeight) {
        if (!d.makeBackBuffer(params.backBufferWidth, params.backBufferHeight))
            return aGpuResult::DriverInternalError;
    }
    d.gl.glBindFramebuffer(GL_FRAMEBUFFER, d.backFramebuffer);
    d.applyDisplayMode(params);
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceGL::doClear(uint32_t argb)
{
    Impl& d = *m_impl;
    const aGpuViewport v = clippedViewport();
    d.gl.glScissor(v.x, v.y, static_cast<GLsizei>(v.width), static_cast<GLsizei>(v.height));
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
        d.gl.glDisable(GL_SCISSOR_TEST);
        d.gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, d.backFramebuffer);
        d.gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        const bool same = static_cast<uint32_t>(width) == d.backWidth && static_cast<uint32_t>(height) == d.backHeight;
        // Our pictures keep their top row first; the window's first row is its bottom.
        d.gl.glBlitFramebuffer(0, 0, static_cast<GLint>(d.backWidth), static_cast<GLint>(d.backHeight), 0, height,
                               width, 0, GL_COLOR_BUFFER_BIT, same ? GL_NEAREST : GL_LINEAR);
        d.gl.glEnable(GL_SCISSOR_TEST);
        SDL_GL_SwapWindow(d.window);
    }
    const GLuint target = m_renderTarget ? m_renderTarget->backendFramebuffer() : d.backFramebuffer;
    d.gl.glBindFramebuffer(GL_FRAMEBUFFER, target);
    d.deleteDead(*m_registry);
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceGL::doSetRenderTarget(aGpuTexture* target)
{
    Impl& d = *m_impl;
    if (target && !d.ensureTarget(*target))
        return aGpuResult::OutOfMemory;
    d.gl.glBindFramebuffer(GL_FRAMEBUFFER, target ? target->backendFramebuffer() : d.backFramebuffer);
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceGL::doDraw(const aGpuDrawCall& call)
{
    Impl& d = *m_impl;
    auto& gl = d.gl;
    // Textures first: uploads and target creation bind other objects.
    const bool textured0 = call.textures[0] && d.ensureTexture(*call.textures[0], m_stats);
    const bool textured1 = call.textures[1] && d.ensureTexture(*call.textures[1], m_stats);
    const GLuint target = m_renderTarget ? m_renderTarget->backendFramebuffer() : d.backFramebuffer;
    gl.glBindFramebuffer(GL_FRAMEBUFFER, target);

    const aGpuViewport v = clippedViewport();
    gl.glScissor(v.x, v.y, static_cast<GLsizei>(v.width), static_cast<GLsizei>(v.height));
    gl.glViewport(0, 0, static_cast<GLsizei>(targetWidth()), static_cast<GLsizei>(targetHeight()));

    auto rs = [this](aGpuRenderState s) { return m_renderStates[static_cast<size_t>(s)]; };
    if (rs(aGpuRenderState::AlphaBlendEnable)) {
        gl.glEnable(GL_BLEND);
        gl.glBlendFunc(glBlendFactor(rs(aGpuRenderState::SrcBlend)), glBlendFactor(rs(aGpuRenderState::DestBlend)));
    } else {
        gl.glDisable(GL_BLEND);
    }
    auto ss = [this](uint32_t stage, aGpuStageState s) {
        return static_cast<GLint>(m_stageStates[stage][static_cast<size_t>(s)]);
    };
    const bool stage1 = call.format == aGpuVertexFormat::Tex2 && textured1 &&
                        ss(1, aGpuStageState::ColorOp) != static_cast<GLint>(aGpuTextureOp::Disable);
    gl.glUniform4i(d.uOps, ss(0, aGpuStageState::ColorOp), ss(0, aGpuStageState::AlphaOp),
                   ss(1, aGpuStageState::ColorOp), ss(1, aGpuStageState::AlphaOp));
    gl.glUniform4i(d.uArgs0, ss(0, aGpuStageState::ColorArg1), ss(0, aGpuStageState::ColorArg2),
                   ss(0, aGpuStageState::AlphaArg1), ss(0, aGpuStageState::AlphaArg2));
    gl.glUniform4i(d.uArgs1, ss(1, aGpuStageState::ColorArg1), ss(1, aGpuStageState::ColorArg2),
                   ss(1, aGpuStageState::AlphaArg1), ss(1, aGpuStageState::AlphaArg2));
    const GLint alphaFunc = rs(aGpuRenderState::AlphaTestEnable) ? static_cast<GLint>(rs(aGpuRenderState::AlphaFunc))
                                                                 : static_cast<GLint>(aGpuCompare::Always);
    gl.glUniform4i(d.uFlags, textured0 ? 1 : 0, stage1 ? 1 : 0, alphaFunc,
                   static_cast<GLint>(rs(aGpuRenderState::AlphaRef)));
    gl.glUniform2f(d.uTarget, static_cast<float>(targetWidth()), static_cast<float>(targetHeight()));
    // Lines through integer coordinates light the pixels there. The extra
    // 1/64 keeps segment ends off pixel centres, where rasterisers differ
    // on whether the first pixel of a segment is lit.
    const float offset = call.type == aGpuPrimitive::LineStrip ? 0.515625f : 0.0f;
    gl.glUniform2f(d.uOffset, offset, offset);

    for (uint32_t stage = 0; stage < 2; ++stage) {
        aGpuTexture* texture = call.textures[stage];
        gl.glActiveTexture(GL_TEXTURE0 + stage);
        gl.glBindTexture(GL_TEXTURE_2D, texture ? texture->backendName() : 0);
        const int minLinear = ss(stage, aGpuStageState::MinFilter) == static_cast<GLint>(aGpuFilter::Linear);
        const int magLinear = ss(stage, aGpuStageState::MagFilter) == static_cast<GLint>(aGpuFilter::Linear);
        gl.glBindSampler(stage, d.samplers[minLinear][magLinear]);
    }
    gl.glActiveTexture(GL_TEXTURE0);

    const size_t vertexBytes = static_cast<size_t>(call.vertexCount) * call.stride;
    // Each draw gets fresh storage of its own size (the driver recycles it),
    // so no draw waits for the GPU to finish with the previous one.
    gl.glBindBuffer(GL_ARRAY_BUFFER, d.vbo);
    gl.glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexBytes), call.vertices, GL_STREAM_DRAW);
    d.bindFormat(call.format);
    if (call.indices) {
        const size_t indexBytes = static_cast<size_t>(call.indexCount) * 2;
        gl.glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexBytes), call.indices, GL_STREAM_DRAW);
        gl.glDrawElements(glPrimitive(call.type), static_cast<GLsizei>(call.indexCount), GL_UNSIGNED_SHORT, nullptr);
    } else {
        gl.glDrawArrays(glPrimitive(call.type), 0, static_cast<GLsizei>(call.vertexCount));
    }
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
    d.gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, d.backFramebuffer);
    d.gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    d.gl.glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_BGRA, GL_UNSIGNED_BYTE,
                      argb.data());
    const GLuint target = m_renderTarget ? m_renderTarget->backendFramebuffer() : d.backFramebuffer;
    d.gl.glBindFramebuffer(GL_FRAMEBUFFER, target);
    // The back buffer has no alpha of its own.
    for (uint32_t& pixel : argb)
        pixel |= 0xFF000000u;
    return aGpuResult::Ok;
}
