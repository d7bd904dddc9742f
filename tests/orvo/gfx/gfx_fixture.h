// An application with a graph server on the recording device, inside a
// frame, for the tests of what draws through images: sprites, animations,
// advanced animations and distortion grids.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "support/app_fixture.h"

namespace kbtest {

class GfxTest : public testing::Test {
protected:
    void SetUp() override
    {
        auto d = recorder();
        device = d.get();
        graph = std::make_unique<aGraphServer>(1024, 768, false, false, true, "t", 0, false, true, std::move(d));
        ASSERT_TRUE(graph->beginScene());
        device->clearRecords();
    }
    void TearDown() override
    {
        if (graph->isInScene())
            graph->endScene();
        graph.reset();
    }

    // An empty picture of that size.
    static aImage picture(uint32_t width, uint32_t height)
    {
        aImage image;
        image.create(width, height);
        return image;
    }

    TestApp app;
    aGpuDeviceRecorder* device = nullptr;
    std::unique_ptr<aGraphServer> graph;
};

} // namespace kbtest
