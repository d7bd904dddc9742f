// Frames drawn straight into a window of the back buffer's size must be the pictures the offscreen back
// buffer gives (a window of another size), and read back after present(), also when the window changes size.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <SDL.h>

#include "orvo/platform/gpu/gl_fixture.h"

using namespace kbtest;

namespace {

constexpr uint32_t kW = 160, kH = 120;

// A device presenting into a window of its own of the given size.
struct WindowedDevice {
    WindowedDevice(int windowWidth, int windowHeight)
    {
        aGpuDeviceGL::prepareWindowAttributes();
        window.reset(SDL_CreateWindow("test", 0, 0, windowWidth, windowHeight,
                                      aGpuDeviceGL::requiredWindowFlags() | SDL_WINDOW_HIDDEN));
        aGpuPresentParams params;
        params.backBufferWidth = kW;
        params.backBufferHeight = kH;
        params.window = window.get();
        ok = window && device->create(params) == aGpuResult::Ok && device->createSprite(sprite) == aGpuResult::Ok;
    }

    // Fills at fractions of pixels, filtered and turned sprites, blending and a clipping viewport.
    void drawScene()
    {
        aGpuDevice& d = *device;
        texture = kbtest::texture(d, 24, 16, aGpuFormat::A8R8G8B8, [](uint32_t x, uint32_t y) {
            return ((x * 11) << 24) | ((y * 15) << 8) | (x ^ y) * 9;
        });
        ASSERT_EQ(d.beginScene(), aGpuResult::Ok);
        for (aGpuStageState s : {aGpuStageState::MinFilter, aGpuStageState::MagFilter})
            d.setTextureStageState(0, s, static_cast<uint32_t>(aGpuFilter::Linear));
        d.clear(0xFF102030);
        rect(d, 10.5f, 7.25f, 30.0f, 20.5f, 0xFFE08020, true);
        setBlend(d, aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
        d.setViewport({0, 0, kW, 100});
        sprite->begin();
        put(*sprite, texture.get(), 50, 10, 0xFFFFFFFF);
        const aGpuVec2 scale{1.5f, 1.25f}, at{80.3f, 40.7f}, centre{12.0f, 8.0f};
        sprite->draw(texture.get(), nullptr, &scale, &centre, 0.4f, &at, 0xC0FFA080);
        sprite->end();
        d.setViewport({0, 0, kW, kH});
        d.endScene();
    }

    std::vector<uint32_t> readBack()
    {
        std::vector<uint32_t> pixels;
        uint32_t w = 0, h = 0;
        EXPECT_TRUE(device->readBackBuffer(pixels, w, h) == aGpuResult::Ok && w == kW && h == kH);
        return pixels;
    }

    // Declared in the order they are made: the window goes last.
    std::unique_ptr<SDL_Window, void (*)(SDL_Window*)> window{nullptr, SDL_DestroyWindow};
    std::unique_ptr<aGpuDeviceGL> device = std::make_unique<aGpuDeviceGL>();
    std::unique_ptr<aGpuSprite> sprite;
    std::unique_ptr<aGpuTexture> texture;
    bool ok = false;
};

} // namespace

TEST(GpuGLWindow, FramesDrawnIntoTheWindowAreTheOffscreenPicturesAndReadBackAfterPresent)
{
    std::vector<uint32_t> offscreen;
    {
        WindowedDevice other(kW + 40, kH + 30);
        ASSERT_TRUE(other.ok) << "no OpenGL 3.3 context (SDL_VIDEODRIVER=offscreen?)";
        EXPECT_FALSE(other.device->drawsIntoWindow()) << "a window of another size needs the offscreen picture";
        other.drawScene();
        offscreen = other.readBack();
    }

    WindowedDevice same(kW, kH);
    ASSERT_TRUE(same.ok);
    EXPECT_TRUE(same.device->drawsIntoWindow());
    same.drawScene();
    EXPECT_EQ(differing(same.readBack(), offscreen), 0u) << "before present";
    same.device->present();
    EXPECT_EQ(differing(same.readBack(), offscreen), 0u) << "after present";

    // The window grows: from the next frame on the picture is drawn offscreen and stretched.
    SDL_SetWindowSize(same.window.get(), kW * 2, kH * 2);
    same.drawScene();
    same.device->present();
    EXPECT_FALSE(same.device->drawsIntoWindow());
    EXPECT_EQ(differing(same.readBack(), offscreen), 0u) << "the frame drawn while the window changed size";
    same.drawScene();
    EXPECT_EQ(differing(same.readBack(), offscreen), 0u) << "drawn offscreen";
    same.device->present();

    // And back to the back buffer's size.
    SDL_SetWindowSize(same.window.get(), kW, kH);
    same.device->present();
    EXPECT_TRUE(same.device->drawsIntoWindow());
    EXPECT_EQ(differing(same.readBack(), offscreen), 0u) << "the last frame, now in the window";
    same.drawScene();
    same.device->present();
    EXPECT_EQ(differing(same.readBack(), offscreen), 0u) << "drawn into the window again";
}
