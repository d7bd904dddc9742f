#include "game/park/clouds.h"

#include <cmath>

#include "orvo/app/a_file.h"

namespace {

std::vector<cCloudLayer> s_layers;

} // namespace

std::vector<cCloudLayer>& cClouds::layers()
{
    return s_layers;
}

void cClouds::clear()
{
    s_layers.clear();
}

void cClouds::load(const std::vector<std::string>& images, const std::vector<int32_t>& speeds)
{
    // NOTE: a second level would otherwise add its layers behind the first's.
    clear();
    for (size_t i = 0; i < images.size() && i < speeds.size() && s_layers.size() < kMaxLayers; ++i) {
        if (!file_exists(images[i].c_str()))
            continue;
        cCloudLayer layer;
        layer.image = std::make_unique<aImage>(images[i], aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
        layer.speed = static_cast<float>(speeds[i]);
        s_layers.push_back(std::move(layer));
    }
}

void cClouds::draw(float dt)
{
    constexpr int32_t kScreenWidth = 1024;
    for (cCloudLayer& layer : s_layers) {
        const int32_t w = layer.image->getWidth();
        // NOTE: a picture that did not load has no width to wrap by.
        if (w <= 0)
            continue;
        layer.x += layer.speed * dt;
        // Into (-w, 0] by whole widths, without a loop a huge offset would spin in.
        layer.x = std::fmod(layer.x, static_cast<float>(w));
        if (layer.x > 0.0f)
            layer.x -= static_cast<float>(w);
        const int32_t copies = kScreenWidth / w + 1;
        for (int32_t i = 0; i < copies; ++i)
            layer.image->drawAtF(layer.x + static_cast<float>(i * w), 0.0f);
    }
}
