// Golden frame tests/data/golden/particles_scene.png (OpenGL, offscreen): a burst, a timed line emitter
// and a looping ring from a particle list, forty frames from a fixed seed. After an intended change, refresh with
//     KB_UPDATE_GOLDEN=1 SDL_VIDEODRIVER=offscreen build/test/tests/orvo_tests --gtest_filter=ParticleGolden.*
#include <gtest/gtest.h>

#include <cmath>

#include "gfx_fixture.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/util/a_random.h"
#include "support/golden.h"

namespace {

constexpr uint32_t kW = 256, kH = 192;

// A white disc whose alpha falls off toward its rim.
std::vector<uint32_t> softSpark(uint32_t size)
{
    std::vector<uint32_t> p(size * size);
    const float c = (size - 1) * 0.5f;
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x) {
            const float d = std::hypot(x - c, y - c) / c;
            const float a = d >= 1.0f ? 0.0f : 1.0f - d;
            p[y * size + x] = (static_cast<uint32_t>(a * 255.0f) << 24) | 0x00FFFFFF;
        }
    return p;
}

// Two 8 x 8 pieces side by side: an opaque square with a dark left edge
// (shows mirroring) and a hollow frame.
std::vector<uint32_t> atlas()
{
    std::vector<uint32_t> p(16 * 8, 0);
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 8; ++x) {
            p[y * 16 + x] = x < 2 ? 0xFF404040 : 0xFFFFFFFF;
            if (x == 0 || y == 0 || x == 7 || y == 7)
                p[y * 16 + 8 + x] = 0xFFFFFFFF;
        }
    return p;
}

std::vector<uint32_t> render(const kbtest::TempDir& dir)
{
    kbtest::GlFrame frame(kW, kH, 0xFF182028);
    if (!frame.ok())
        return {};

    aImageManager images;
    images.loadList(dir.file("images.lst"));
    aParticlesManager particles(dir.file("config.ini"), dir.path() + "/", &images, "");

    a_srand(31337);
    particles.Add("BURST", 64, 80, 0, true, true);
    particles.Add("TIMED", 150, 170, 1, true, true);
    particles.Add("LOOP", 200, 60, 2, false, true);
    // Kept while done (not removed when finished) until it is started by hand.
    aParticleSystem* late = particles.Add("BURST", 200, 150, 0, false, false);
    for (int frame = 0; frame < 40; ++frame) {
        if (frame == 30)
            late->restart();
        particles.updateLayers(1.0f / 60.0f, 0, 1, 2);
    }

    return frame.shoot([&] { particles.renderLayers(2, 1, 0); });
}

} // namespace

TEST(ParticleGolden, BurstTimedAndLoopingEffectsDrawAsTheReferencePicture)
{
    kbtest::TempDir dir("particle-golden");
    kbtest::writeFile(dir.file("spark.png"), kbtest::encodePng(softSpark(16), 16, 16));
    kbtest::writeFile(dir.file("atlas.png"), kbtest::encodePng(atlas(), 16, 8));
    kbtest::writeFile(dir.file("images.lst"), "spark.png 8888 8888\natlas.png 8888 8888\n");
    // An additive burst of warm sparks that fall and fade.
    kbtest::writeFile(dir.file("burst.psi"), "max_particles 40\nfps 60\nemitter_life 0 0\nemit_per_sec 30 30\n"
                                             "particle_life 1 1.4\nvelocity 40 90\ngravity 60 80\nblend_mode 1\n"
                                             "size_min 16 16\nsize_mid 12 12\nsize_max 6 6\nsize_var 0.3\n"
                                             "color FFFFC040 FFFF6020 00FF2000 0.2 0\ntexture spark\n");
    // Squares rising from a line, spinning, some mirrored, normal blend.
    kbtest::writeFile(dir.file("timed.psi"), "fps 30\nemitter_type 2\nemitter_size 60 60\nemitter_life 1 1\n"
                                             "emit_per_sec 30 30\nspread -1.8 -1.34\nvelocity 40 80\n"
                                             "particle_life 1 2\nspin -3 3 0.5\nrand_flip 1\nsize_min 8 8\n"
                                             "size_mid 8 8\nsize_max 8 8\n"
                                             "color FF60A0FF C080C0FF 4080C0FF 0.3 0.2\ntexture spark\n");
    // A ring of frames that circle and are reborn where they are.
    kbtest::writeFile(dir.file("loop.psi"), "max_particles 16\nfps 60\nemitter_life 0 0\nemit_per_sec 16 16\n"
                                            "emitter_size 26 30\nvelocity 0 0\ntangential_acc 40 40\n"
                                            "particle_life 0.3 0.5\nloop_ps 1\nspin_by_dir 1\nblend_mode 1\n"
                                            "size_min 6 6\nsize_mid 14 14\nsize_max 6 6\n"
                                            "color FF40FF60 FFA0FFA0 FF40FF60 0 0.5\ntexture spark\n");
    kbtest::writeFile(dir.file("config.ini"), "[BURST]\nSystem=burst.psi\n"
                                              "[TIMED]\nSystem=timed.psi\nImage=atlas\nRect=0 0 8 8\n"
                                              "[LOOP]\nSystem=loop.psi\nImage=atlas\nRect=8 0 8 8\n");
    kbtest::expectGolden(render(dir), kW, kH, "particles_scene");
}
