// The engine's single renderer and the owner of the main window: the device,
// the sprite batch through which images are drawn, named fonts, the display
// modes (with a wide-screen mode matching the desktop's aspect), the drawing
// state that images, text and primitives share (blend mode, filter, global
// colour, viewport), gamma, the frame with its frame-rate measure, device
// resets, fullscreen and wide-screen switches and screenshots.
// The game creates one after the application object and deletes it at
// shutdown; it registers itself with the application. Main thread only
// (the device lets the loading thread create and fill textures).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "orvo/platform/a_window.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/platform/gpu/a_gputypes.h"
#include "orvo/util/a_geometry.h"
#include "orvo/util/a_timer.h"

class aGpuFont;
class aGpuSprite;
class aGpuTexture;

// A blend mode word: bits 0-3 choose the alpha blend, bits 8-11 the colour
// operation of texture stage 0; the two parts are applied independently.
enum aBlendMode : uint32_t {
    A_BLEND_NORMAL = 0,
    A_BLEND_ADDITIVE = 1,
    A_BLEND_MULTIPLY = 2,
    A_BLEND_COLOR_MODULATE = 0x000,
    A_BLEND_COLOR_ADD = 0x100,
    A_BLEND_COLOR_SUBTRACT = 0x200,    // texture minus diffuse
    A_BLEND_COLOR_REVSUBTRACT = 0x300, // diffuse minus texture
    A_BLEND_COLOR_DIFFUSE = 0x400,     // diffuse only (silhouettes)
};

// Codes the constructor and beginScene throw (as int32_t) when no frame can ever be drawn.
constexpr int32_t A_GRAPH_NO_DEVICE_OBJECT = static_cast<int32_t>(0x8A760001);
constexpr int32_t A_GRAPH_NO_DEVICE = static_cast<int32_t>(0x8A760003);
constexpr int32_t A_GRAPH_DRIVER_INTERNAL = static_cast<int32_t>(0x88760827);

class aGraphServer {
public:
    struct FontRecord {
        aGpuFontDesc description;
        std::unique_ptr<aGpuFont>* slot = nullptr; // the owner's font, re-created after resets
    };

    // width, height: the game size. title null: the application's name.
    // `device` null: the OpenGL device presenting into a real window; a
    // given device (the recording one in tests) runs without a window.
    aGraphServer(uint16_t width, uint16_t height, bool fullscreen, bool wideScreen, bool highColor, const char* title,
                 uint16_t iconId, bool vsync, bool multithreaded, std::unique_ptr<aGpuDevice> device = nullptr);
    ~aGraphServer();
    aGraphServer(const aGraphServer&) = delete;
    aGraphServer& operator=(const aGraphServer&) = delete;

    void setViewport(const aRect& rect);
    const aRect& getViewport() const { return m_viewport; }
    void setBlendMode(uint32_t mode);
    uint32_t getBlendMode() const { return m_blendMode; }
    void setTextureFilter(bool linear);
    bool getTextureFilter() const { return m_linearFiltering; }
    // Channels 0..1 (clamped), stored as 0..255.
    void setColor(float r, float g, float b, float a);
    // The global colour: alpha, red, green, blue, each 0..255.
    const int32_t* getColor() const { return m_color; }
    void setGamma(float brightness, float contrast);
    // The ramp setGamma sends (one channel; the three are equal).
    static void computeGammaRamp(float brightness, float contrast, uint16_t ramp[256]);

    // Registers a font and creates it into `slot`; false when the name is taken.
    bool addFont(const std::string& name, const aGpuFontDesc& description, std::unique_ptr<aGpuFont>* slot);
    void deleteFont(const std::string& name);
    void releaseFonts();
    uint32_t getVideoMemoryMB();

    // Opens a frame; false when none can be drawn this turn (then no endScene).
    bool beginScene();
    void endScene();
    void resetDevice();
    void setFullscreen(bool on);
    void setWideScreen(bool on);
    // Saves the last presented frame as the first free "<folder>/<base>NNN.bmp".
    void saveScreenshot(const std::string& folder, const std::string& baseName);
    void releaseAll();

    // Where the game picture lies in the wide mode: scaled by `scale` and moved by the offset.
    static void wideScreenTransform(int32_t gameWidth, int32_t gameHeight, int32_t wideWidth, int32_t wideHeight,
                                    float& scale, float& offsetX, float& offsetY);

    aGpuDevice* getDevice() const { return m_device.get(); }
    aGpuSprite* getSprite() const { return m_sprite.get(); }
    aGpuFont* getSystemFont() const { return m_systemFont.get(); }
    aWindowHandle getWindow() const { return m_window; }
    uint16_t getGameWidth() const { return m_gameWidth; }
    uint16_t getGameHeight() const { return m_gameHeight; }
    uint16_t getWindowWidth() const { return m_windowWidth; }
    uint16_t getWindowHeight() const { return m_windowHeight; }
    bool isFullscreen() const { return m_fullscreen; }
    bool isHighColor() const { return m_highColor; }
    bool isVsync() const { return m_vsync; }
    uint32_t getRefreshRate() const { return m_refreshRate; }
    bool isWideScreenOn() const { return m_wideScreenOn; }
    bool isWideModeAvailable() const { return m_wideModeAvailable; }
    uint16_t getWideWidth() const { return m_wideWidth; }
    uint16_t getWideHeight() const { return m_wideHeight; }
    int32_t getModeIndex16() const { return m_modeIndex16; }
    int32_t getModeIndex32() const { return m_modeIndex32; }
    int32_t getWideModeIndex16() const { return m_wideModeIndex16; }
    int32_t getWideModeIndex32() const { return m_wideModeIndex32; }
    const aGpuPresentParams& getPresentParams() const { return m_presentParams; }
    bool isInScene() const { return m_inScene; }
    float getCurrentFps() const { return m_currentFps; }

    void setShowFps(bool show) { m_showFps = show; }
    bool getShowFps() const { return m_showFps; }
    void setFpsPosition(int16_t x, int16_t y)
    {
        m_fpsX = x;
        m_fpsY = y;
    }
    void setClearColor(uint32_t argb) { m_clearColor = argb; }
    uint32_t getClearColor() const { return m_clearColor; }

private:
    void logAdapter();
    void logAdapterCaps(const aGpuCaps& caps);
    static void logDisplayMode(const char* label, const aGpuDisplayMode& mode);
    void findFullscreenModes(uint16_t width, uint16_t height, int32_t& index16, int32_t& index32);
    void findWideScreenMode();
    // The fullscreen mode in force (wide or game size, 32 or 16 bit); false when there is none.
    bool fullscreenMode(aGpuDisplayMode& mode);
    void buildPresentParams();
    void createDeviceObjects();
    aGpuRect computeWindowRect(uint16_t width, uint16_t height) const;
    void placeWindow();
    void applyViewport();

    int16_t m_fpsX = 0;
    int16_t m_fpsY = 0;
    bool m_showFps = false;
    bool m_inScene = false;
    aWindowHandle m_window = nullptr;
    bool m_ownsWindow = false;
    std::unique_ptr<aGpuDevice> m_device;
    aGpuPresentParams m_presentParams;
    aGpuDisplayMode m_desktopMode;
    uint32_t m_blendMode = 0;
    std::unique_ptr<aGpuSprite> m_sprite;
    std::unique_ptr<aGpuFont> m_systemFont;
    uint32_t m_clearColor = 0xFF000000;
    uint32_t m_refreshRate = 0;
    std::map<std::string, FontRecord> m_fonts;
    aRect m_viewport;
    uint16_t m_gameWidth = 0;
    uint16_t m_gameHeight = 0;
    uint16_t m_windowWidth = 0;
    uint16_t m_windowHeight = 0;
    bool m_fullscreen = false;
    bool m_highColor = false;
    bool m_vsync = false;
    bool m_linearFiltering = true;
    int32_t m_modeIndex16 = -1;
    int32_t m_modeIndex32 = -1;
    int32_t m_color[4] = {255, 255, 255, 255};
    aTimer m_frameTimer{0};
    float m_currentFps = 0.0f;
    float m_fpsSum = 0.0f;
    uint32_t m_fpsSamples = 0;

    // Wide screen.
    int32_t m_wideModeIndex16 = -1;
    int32_t m_wideModeIndex32 = -1;
    bool m_wideScreenOn = false;
    bool m_wideModeAvailable = false;
    uint16_t m_wideWidth = 0;
    uint16_t m_wideHeight = 0;
    std::unique_ptr<aGpuTexture> m_wideTexture;
    bool m_wideTransformKnown = false;
    float m_wideScale = 1.0f;
    float m_wideOffsetX = 0.0f;
    float m_wideOffsetY = 0.0f;

    // Frame timing.
    bool m_firstFrame = true;
    float m_previousFrameTime = 0.0f;
    float m_windowStart = 0.0f;
    uint32_t m_framesCounted = 0;
    float m_timeAccumulated = 0.0f;
};
