// What the widget-class tests share: a GUI server with an image manager
// whose pictures the tests make, and the sprite draws the recording device saw.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui_fixture.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "support/image_files.h"

namespace kbtest {

class WidgetKit : public GuiTest {
protected:
    WidgetKit()
    {
        server.reset();
        server = std::make_unique<GUI::Server>(&images, &sounds);
    }
    ~WidgetKit() override
    {
        if (inScene)
            rig.graph->endScene();
        server.reset();
    }

    // Registers a picture of one colour (or of the given pixels) under `name`.
    void addImage(const std::string& name, uint32_t width, uint32_t height, uint32_t argb = 0xFFFFFFFF,
                  std::vector<uint32_t> pixels = {})
    {
        if (pixels.empty())
            pixels.assign(size_t(width) * height, argb);
        writeFile(dir.file(name + ".png"), encodePng(pixels, width, height));
        writeFile(dir.file(name + ".lst"), name + ".png 8888 8888\n");
        images.loadList(dir.file(name + ".lst"));
    }

    // Opens a frame (once) and forgets what the device saw so far.
    void beginDraws()
    {
        if (!inScene)
            inScene = rig.graph->beginScene();
        ASSERT_TRUE(inScene);
        rig.device_->clearRecords();
    }
    std::vector<aGpuRecord> draws() const { return rig.device_->records(aGpuCall::SpriteDraw); }
    // The colour of every draw, in order.
    std::vector<aColor> drawnColours() const
    {
        std::vector<aColor> out;
        for (const aGpuRecord& r : draws())
            out.push_back(r.u[4]);
        return out;
    }

    // "left top right bottom" of a recorded draw's source.
    static std::string src(const aGpuRecord& r)
    {
        return std::to_string(r.u[0]) + " " + std::to_string(r.u[1]) + " " + std::to_string(r.u[2]) + " " +
               std::to_string(r.u[3]);
    }
    static float atX(const aGpuRecord& r) { return r.f[5]; }
    static float atY(const aGpuRecord& r) { return r.f[6]; }

    aImageManager images;
    bool inScene = false;
};

} // namespace kbtest
