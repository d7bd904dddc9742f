// aGraphServer: construction, display modes, drawing state, fonts and gamma.
#include "orvo/gfx/a_graphserver.h"

#include <algorithm>
#include <cmath>

#include "orvo/app/a_application.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/platform/gpu/a_gpufont.h"
#include "orvo/platform/gpu/a_gpusprite.h"
#include "orvo/platform/gpu/a_gputexture.h"
#include "orvo/util/a_log.h"

namespace {

constexpr const char* kDashes = "-----------------------------------------------------------------";

const char* yesNo(bool b)
{
    return b ? "yes" : "no";
}

uint32_t depthOf(const aGpuDisplayMode& mode)
{
    return gpu_formatDepth(mode.format);
}

} // namespace

aGraphServer::aGraphServer(uint16_t width, uint16_t height, bool fullscreen, bool wideScreen, bool highColor,
                           const char* title, uint16_t /*iconId*/, bool vsync, bool multithreaded,
                           std::unique_ptr<aGpuDevice> device)
    : m_viewport(0, 0, width, height), m_gameWidth(width), m_gameHeight(height), m_fullscreen(fullscreen),
      m_highColor(highColor), m_vsync(vsync), m_wideWidth(width), m_wideHeight(height)
{
    aApplication* app = aApplication::get();
    if (app)
        app->setGraphServer(this);
    else
        a_log("aGraphServer. Error, aApplication object not created!");

    const bool realWindow = !device;
    m_device = device ? std::move(device) : std::make_unique<aGpuDeviceGL>();

    logAdapter();
    if (gpu_succeeded(m_device->getAdapterDisplayMode(m_desktopMode)))
        logDisplayMode("Detected  windowed  mode:", m_desktopMode);
    findFullscreenModes(m_gameWidth, m_gameHeight, m_modeIndex16, m_modeIndex32);
    findWideScreenMode();
    m_wideScreenOn = wideScreen && m_wideModeAvailable;

    aGpuDisplayMode mode;
    if (m_fullscreen && !fullscreenMode(mode)) {
        // Never run fullscreen in a mode the display does not offer.
        a_log("aGraphServer. No fullscreen mode %ux%u, staying windowed", unsigned(m_gameWidth),
              unsigned(m_gameHeight));
        m_fullscreen = false;
    }

    aGpuRect rect{0, 0, m_gameWidth - 1, m_gameHeight - 1};
    if (m_fullscreen) {
        m_windowWidth = m_wideScreenOn ? m_wideWidth : m_gameWidth;
        m_windowHeight = m_wideScreenOn ? m_wideHeight : m_gameHeight;
    } else {
        rect = computeWindowRect(m_gameWidth, m_gameHeight);
        m_windowWidth = static_cast<uint16_t>(rect.right - rect.left + 1);
        m_windowHeight = static_cast<uint16_t>(rect.bottom - rect.top + 1);
    }
    if (realWindow) {
        const std::string caption = title ? title : (app ? app->getName() : std::string());
        m_window = window_create(caption.c_str(), rect.left, rect.top, m_windowWidth, m_windowHeight, m_fullscreen, 0);
        m_ownsWindow = m_window != nullptr;
        window_show(m_window);
        if (app)
            app->setWindow(m_window);
    }

    // Capabilities: the hardware device's, else the reference device's.
    aGpuCaps caps;
    const aGpuDeviceType types[2] = {aGpuDeviceType::Hal, aGpuDeviceType::Ref};
    const char* names[2] = {"HAL", "REF"};
    for (int i = 0; i < 2; ++i) {
        a_log("aGraphServer. Getting %s device capabilities", names[i]);
        const aGpuResult r = m_device->getDeviceCaps(types[i], caps);
        if (gpu_failed(r)) {
            a_log("Failed (%s)", gpu_errorName(r));
            continue;
        }
        logAdapterCaps(caps);
        break;
    }
    if (caps.hardwareTransform && caps.pureDevice)
        a_log("aGraphServer: HARDWARE_VERTEXPROCESSING, PUREDEVICE");
    else if (caps.hardwareTransform)
        a_log("aGraphServer: HARDWARE_VERTEXPROCESSING");
    else
        a_log("aGraphServer: SOFTWARE_VERTEXPROCESSING");

    buildPresentParams();
    m_presentParams.multithreaded = multithreaded;
    const aGpuResult created = m_device->create(m_presentParams);
    if (gpu_failed(created)) {
        a_log("aGraphServer. Error create device object (%s)", gpu_errorName(created));
        releaseAll();
        // No half-made server stays registered or leaves its window behind.
        if (app && app->getGraphServer() == this)
            app->setGraphServer(nullptr);
        if (m_ownsWindow) {
            if (app && app->getWindow() == m_window)
                app->setWindow(nullptr);
            window_destroy(m_window);
        }
        throw created == aGpuResult::DriverInternalError ? A_GRAPH_DRIVER_INTERNAL : A_GRAPH_NO_DEVICE;
    }
    aGpuDisplayMode current;
    if (gpu_succeeded(m_device->getAdapterDisplayMode(current)))
        m_refreshRate = current.refreshRate;
    createDeviceObjects();

    aGpuFontDesc system;
    system.height = -15;
    system.weight = 700;
    system.faceName = "Arial";
    addFont("__system__", system, &m_systemFont);
}

void aGraphServer::logAdapter()
{
    aGpuAdapterIdentifier id;
    if (gpu_failed(m_device->getAdapterIdentifier(id))) {
        a_log("aGraphServer. Error get default adapter identifier");
        return;
    }
    a_logText(kDashes);
    a_log("Adapter: %s %d MB", id.description.c_str(), static_cast<int>(id.videoMemoryMB));
    a_log("Driver:  %s, version %u.%u.%u.%u", id.driver.c_str(), unsigned(id.driverVersion[0]),
          unsigned(id.driverVersion[1]), unsigned(id.driverVersion[2]), unsigned(id.driverVersion[3]));
    a_logText(kDashes);
}

void aGraphServer::logAdapterCaps(const aGpuCaps& c)
{
    std::string intervals;
    if (c.intervalImmediate)
        intervals += "imm ";
    if (c.intervalOne)
        intervals += "1 ";
    if (c.intervalTwo)
        intervals += "2 ";
    if (c.intervalThree)
        intervals += "3 ";
    if (c.intervalFour)
        intervals += "4";
    a_logText("");
    a_logText("----------------- Adapter capabilities --------------------------");
    a_log("        Can render windowed: %s", yesNo(c.canRenderWindowed));
    a_log("        Can manage resource: %s", yesNo(c.canManageResource));
    a_log("           Dynamic textures: %s", yesNo(c.dynamicTextures));
    a_log("      No 2D During 3D Scene: %s", yesNo(c.no2DDuring3DScene));
    a_log("     Presentation intervals: %s", intervals.c_str());
    a_log("  Separate texture memories: %s", yesNo(c.separateTextureMemories));
    a_log("  Texture non local vid mem: %s", yesNo(c.textureNonLocalVidMem));
    a_log("      Texture system memory: %s", yesNo(c.textureSystemMemory));
    a_log("       Texture video memory: %s", yesNo(c.textureVideoMemory));
    a_log("      Source blend SRCALPHA: %s", yesNo(c.srcBlendSrcAlpha));
    a_log("     Dest blend INVSRCALPHA: %s", yesNo(c.destBlendInvSrcAlpha));
    a_log("             Dest blend ONE: %s", yesNo(c.destBlendOne));
    a_log("           Max texture size: %ix%i", static_cast<int>(c.maxTextureWidth),
          static_cast<int>(c.maxTextureHeight));
    a_log("   Max texture aspect ratio: %i", static_cast<int>(c.maxTextureAspectRatio));
    a_log("                 Power of 2: %s", yesNo(c.pow2Only));
    a_log("                Square only: %s", yesNo(c.squareOnly));
    a_log("               Alpha pixels: %s", yesNo(c.alphaPixels));
    a_log("        Max primitive count: %i", static_cast<int>(c.maxPrimitiveCount));
    a_logText(kDashes);
    a_logText("");
}

void aGraphServer::logDisplayMode(const char* label, const aGpuDisplayMode& mode)
{
    a_log("aGraphServer. %s %4ix%4i %3iHz %i", label, static_cast<int>(mode.width), static_cast<int>(mode.height),
          static_cast<int>(mode.refreshRate), static_cast<int>(mode.format));
}

void aGraphServer::findFullscreenModes(uint16_t width, uint16_t height, int32_t& index16, int32_t& index32)
{
    index16 = index32 = -1;
    uint32_t best16 = 0, best32 = 0;
    const uint32_t count = m_device->getAdapterModeCount();
    for (uint32_t i = 0; i < count; ++i) {
        aGpuDisplayMode mode;
        if (gpu_failed(m_device->enumAdapterModes(i, mode)) || mode.width != width || mode.height != height)
            continue;
        logDisplayMode("Detected fullscreen mode:", mode);
        // Among equal refresh rates the last listed wins.
        if (mode.format == aGpuFormat::R5G6B5 && mode.refreshRate >= best16) {
            best16 = mode.refreshRate;
            index16 = static_cast<int32_t>(i);
        } else if (mode.format == aGpuFormat::X8R8G8B8 && mode.refreshRate >= best32) {
            best32 = mode.refreshRate;
            index32 = static_cast<int32_t>(i);
        }
    }
    aGpuDisplayMode mode;
    if (index16 >= 0 && gpu_succeeded(m_device->enumAdapterModes(static_cast<uint32_t>(index16), mode)))
        logDisplayMode("Selected fullscreen 16 bit mode:", mode);
    else
        a_log("aGraphServer. 16 bit fullscreen mode not found");
    if (index32 >= 0 && gpu_succeeded(m_device->enumAdapterModes(static_cast<uint32_t>(index32), mode)))
        logDisplayMode("Selected fullscreen 32 bit mode:", mode);
    else
        a_log("aGraphServer. 32 bit fullscreen mode not found");
}

void aGraphServer::findWideScreenMode()
{
    const uint32_t depth = m_highColor ? 32 : 16;
    std::vector<aGpuDisplayMode> settings;
    const uint32_t count = m_device->getAdapterModeCount();
    for (uint32_t i = 0; i < count; ++i) {
        aGpuDisplayMode mode;
        if (gpu_succeeded(m_device->enumAdapterModes(i, mode)) && depthOf(mode) == depth)
            settings.push_back(mode);
    }

    // The desktop is the largest setting of the depth.
    uint32_t desktopW = 0, desktopH = 0;
    for (const aGpuDisplayMode& s : settings) {
        if (s.width > desktopW && s.height > desktopH) {
            desktopW = s.width;
            desktopH = s.height;
        }
    }
    const float gameAspect = static_cast<float>(m_gameWidth) / static_cast<float>(m_gameHeight);
    if (desktopH == 0 || m_gameHeight == 0 || !(gameAspect < static_cast<float>(desktopW) / desktopH)) {
        m_wideModeAvailable = false;
        findFullscreenModes(m_gameWidth, m_gameHeight, m_wideModeIndex16, m_wideModeIndex32);
        return;
    }
    const float aspect = static_cast<float>(desktopW) / static_cast<float>(desktopH);
    const auto wantedWidth = static_cast<uint16_t>(static_cast<int32_t>(static_cast<float>(m_gameHeight) * aspect));

    uint32_t candW = m_gameWidth, candH = m_gameHeight;
    for (const aGpuDisplayMode& s : settings) {
        if (s.height != m_gameHeight)
            continue;
        const float distance = std::fabs(static_cast<float>(s.width) / static_cast<float>(s.height) - aspect);
        const float candDistance = std::fabs(static_cast<float>(candW) / static_cast<float>(candH) - aspect);
        if (distance <= candDistance) {
            candW = s.width;
            candH = s.height;
        }
    }
    if (candW == m_gameWidth && candH == m_gameHeight) {
        auto gap = [](uint32_t a, uint32_t b) { return a > b ? a - b : b - a; };
        for (const aGpuDisplayMode& s : settings) {
            if (s.height == 0 || static_cast<float>(s.width) / static_cast<float>(s.height) != aspect)
                continue;
            if (gap(s.width, candW) >= gap(s.width, wantedWidth) &&
                gap(s.height, candH) >= gap(s.height, m_gameHeight)) {
                candW = s.width;
                candH = s.height;
            }
        }
    }
    m_wideModeAvailable = candW != m_gameWidth || candH != m_gameHeight;
    m_wideWidth = static_cast<uint16_t>(candW);
    m_wideHeight = static_cast<uint16_t>(candH);
    findFullscreenModes(m_wideWidth, m_wideHeight, m_wideModeIndex16, m_wideModeIndex32);
}

bool aGraphServer::fullscreenMode(aGpuDisplayMode& mode)
{
    const int32_t index16 = m_wideScreenOn ? m_wideModeIndex16 : m_modeIndex16;
    const int32_t index32 = m_wideScreenOn ? m_wideModeIndex32 : m_modeIndex32;
    const int32_t index = (m_highColor && index32 != -1) ? index32 : index16;
    return index >= 0 && gpu_succeeded(m_device->enumAdapterModes(static_cast<uint32_t>(index), mode));
}

void aGraphServer::buildPresentParams()
{
    const bool multithreaded = m_presentParams.multithreaded;
    m_presentParams = aGpuPresentParams();
    m_presentParams.multithreaded = multithreaded;
    m_presentParams.window = m_window;
    // Vertical sync waits for one refresh per frame, windowed or not.
    m_presentParams.vsync = m_vsync;
    aGpuDisplayMode mode;
    if (m_fullscreen && fullscreenMode(mode)) {
        m_presentParams.windowed = false;
        m_presentParams.backBufferWidth = mode.width;
        m_presentParams.backBufferHeight = mode.height;
        m_presentParams.backBufferFormat = mode.format;
        return;
    }
    m_presentParams.windowed = true;
    m_presentParams.backBufferWidth = m_gameWidth;
    m_presentParams.backBufferHeight = m_gameHeight;
    m_presentParams.backBufferFormat = m_desktopMode.format;
}

void aGraphServer::createDeviceObjects()
{
    if (m_wideScreenOn && m_fullscreen) {
        const aGpuResult r = m_device->createTexture(m_gameWidth, m_gameHeight, m_presentParams.backBufferFormat,
                                                     aGpuUsage::RenderTarget, m_wideTexture);
        if (gpu_failed(r))
            a_log("aGraphServer. Texture for wide screen support failed to create (%s)", gpu_errorName(r));
    }
    const aGpuResult sprite = m_device->createSprite(m_sprite);
    if (gpu_failed(sprite))
        a_log("aGraphServer. Sprite creation failed (%s)", gpu_errorName(sprite));
    for (auto& [name, record] : m_fonts) {
        const aGpuResult r = m_device->createFont(record.description, *record.slot);
        if (gpu_failed(r))
            a_log("aGraphServer. Font '%s' creation failed (%s)", name.c_str(), gpu_errorName(r));
    }
}

aGpuRect aGraphServer::computeWindowRect(uint16_t width, uint16_t height) const
{
    // The rectangle is the client area's (right and bottom inside it); the
    // window manager puts its frame around it, so all of the work area is available.
    const aWorkArea& area = aApplication::workArea();
    const int32_t areaW = area.right - area.left;
    const int32_t areaH = area.bottom - area.top;
    int32_t windowW = width, windowH = height;
    // An unknown work area (size 0) leaves the game size as it is.
    if (areaW > 0 && areaH > 0 && width > 0 && height > 0) {
        const float scale = std::min(static_cast<float>(areaW) / static_cast<float>(width),
                                     static_cast<float>(areaH) / static_cast<float>(height));
        if (scale < 1.0f) {
            windowW = std::max(1, static_cast<int32_t>(static_cast<float>(width) * scale));
            windowH = std::max(1, static_cast<int32_t>(static_cast<float>(height) * scale));
        }
    }
    const int32_t left = areaW > 0 ? area.left + (areaW - windowW) / 2 : 0;
    const int32_t top = areaH > 0 ? area.top + (areaH - windowH) / 2 : 0;
    return {left, top, left + windowW - 1, top + windowH - 1};
}

void aGraphServer::setViewport(const aRect& rect)
{
    m_viewport = rect;
    applyViewport();
}

void aGraphServer::applyViewport()
{
    m_device->setViewport({m_viewport.x, m_viewport.y, m_viewport.width, m_viewport.height});
}

void aGraphServer::setBlendMode(uint32_t mode)
{
    if (mode == m_blendMode)
        return;
    if ((mode & 0xF00) != (m_blendMode & 0xF00)) {
        aGpuTextureArg arg1 = aGpuTextureArg::Diffuse, arg2 = aGpuTextureArg::Texture;
        aGpuTextureOp op = aGpuTextureOp::Modulate;
        bool known = true;
        switch (mode & 0xF00) {
        case A_BLEND_COLOR_MODULATE:
            break;
        case A_BLEND_COLOR_ADD:
            arg1 = aGpuTextureArg::Texture;
            arg2 = aGpuTextureArg::Diffuse;
            op = aGpuTextureOp::Add;
            break;
        case A_BLEND_COLOR_SUBTRACT:
            arg1 = aGpuTextureArg::Texture;
            arg2 = aGpuTextureArg::Diffuse;
            op = aGpuTextureOp::Subtract;
            break;
        case A_BLEND_COLOR_REVSUBTRACT:
            op = aGpuTextureOp::Subtract;
            break;
        case A_BLEND_COLOR_DIFFUSE:
            op = aGpuTextureOp::SelectArg1;
            break;
        default:
            known = false;
        }
        if (known) {
            m_device->setTextureStageState(0, aGpuStageState::ColorArg1, static_cast<uint32_t>(arg1));
            m_device->setTextureStageState(0, aGpuStageState::ColorArg2, static_cast<uint32_t>(arg2));
            m_device->setTextureStageState(0, aGpuStageState::ColorOp, static_cast<uint32_t>(op));
        }
    }
    if ((mode & 0xF) != (m_blendMode & 0xF)) {
        aGpuBlend src = aGpuBlend::SrcAlpha, dest = aGpuBlend::InvSrcAlpha;
        bool known = true;
        switch (mode & 0xF) {
        case A_BLEND_NORMAL:
            break;
        case A_BLEND_ADDITIVE:
            dest = aGpuBlend::One;
            break;
        case A_BLEND_MULTIPLY:
            src = aGpuBlend::Zero;
            dest = aGpuBlend::SrcColor;
            break;
        default:
            known = false;
        }
        if (known) {
            m_device->setRenderState(aGpuRenderState::SrcBlend, static_cast<uint32_t>(src));
            m_device->setRenderState(aGpuRenderState::DestBlend, static_cast<uint32_t>(dest));
        }
    }
    m_blendMode = mode;
}

void aGraphServer::setTextureFilter(bool linear)
{
    if (linear == m_linearFiltering)
        return;
    m_linearFiltering = linear;
    const auto filter = static_cast<uint32_t>(linear ? aGpuFilter::Linear : aGpuFilter::Point);
    m_device->setTextureStageState(0, aGpuStageState::MinFilter, filter);
    m_device->setTextureStageState(0, aGpuStageState::MagFilter, filter);
}

void aGraphServer::setColor(float r, float g, float b, float a)
{
    // NaN and out-of-range values clamp into 0..1 before the truncation.
    auto channel = [](float v) { return static_cast<int32_t>((v >= 0.0f ? std::min(v, 1.0f) : 0.0f) * 255.0f); };
    m_color[0] = channel(a);
    m_color[1] = channel(r);
    m_color[2] = channel(g);
    m_color[3] = channel(b);
}

void aGraphServer::computeGammaRamp(float brightness, float contrast, uint16_t ramp[256])
{
    const float c = contrast + 1.0f;
    float offsetF = brightness * 65535.0f;
    offsetF = std::clamp(offsetF, -65535.0f, 65535.0f);
    const auto offset = static_cast<int32_t>(offsetF);
    for (int i = 0; i < 256; ++i) {
        float v = static_cast<float>(i) / 255.0f;
        v = v - 0.5f;
        v = v * c;
        v = v + 0.5f;
        v = v * 65535.0f;
        v = std::clamp(v, 0.0f, 65535.0f);
        const int32_t entry = static_cast<int32_t>(v) + offset;
        ramp[i] = static_cast<uint16_t>(std::clamp(entry, 0, 65535));
    }
}

void aGraphServer::setGamma(float brightness, float contrast)
{
    aGpuGammaRamp ramp;
    computeGammaRamp(brightness, contrast, ramp.red);
    std::copy(std::begin(ramp.red), std::end(ramp.red), ramp.green);
    std::copy(std::begin(ramp.red), std::end(ramp.red), ramp.blue);
    m_device->setGammaRamp(ramp);
}

bool aGraphServer::addFont(const std::string& name, const aGpuFontDesc& description, std::unique_ptr<aGpuFont>* slot)
{
    if (m_fonts.count(name)) {
        a_log("aGraphServer. Font with name '%s' already exists", name.c_str());
        return false;
    }
    if (!slot)
        return false;
    m_fonts[name] = {description, slot};
    const aGpuResult r = m_device->createFont(description, *slot);
    if (gpu_failed(r))
        a_log("aGraphServer. Font '%s' creation failed (%s)", name.c_str(), gpu_errorName(r));
    return true;
}

void aGraphServer::deleteFont(const std::string& name)
{
    auto it = m_fonts.find(name);
    if (it == m_fonts.end()) {
        a_log("aGraphServer::deleteFont. Font '%s' not exists", name.c_str());
        return;
    }
    it->second.slot->reset();
    m_fonts.erase(it);
}

void aGraphServer::releaseFonts()
{
    for (auto& [name, record] : m_fonts)
        record.slot->reset();
}

uint32_t aGraphServer::getVideoMemoryMB()
{
    aGpuAdapterIdentifier id;
    return gpu_succeeded(m_device->getAdapterIdentifier(id)) ? id.videoMemoryMB : 0;
}

void aGraphServer::wideScreenTransform(int32_t gameWidth, int32_t gameHeight, int32_t wideWidth, int32_t wideHeight,
                                       float& scale, float& offsetX, float& offsetY)
{
    scale = gameHeight > 0 ? static_cast<float>(wideHeight) / static_cast<float>(gameHeight) : 1.0f;
    offsetX = (static_cast<float>(wideWidth) - static_cast<float>(gameWidth) * scale) * 0.5f;
    offsetY = (static_cast<float>(wideHeight) - static_cast<float>(gameHeight) * scale) * 0.5f;
}
