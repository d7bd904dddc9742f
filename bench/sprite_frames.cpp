// Frames of N moving, tinted 32 x 32 sprites in a real 1024 x 768 window,
// drawn the way the game draws: aApplication's main loop, aGraphServer,
// aImage::drawAt, no vertical sync. Prints the milliseconds per frame for
// each N (and the CPU time of all threads per frame, steadier than the wall
// time on a busy machine), the largest N that still reaches 60 frames a
// second (bisection), and the CPU time per sprite of building the batch (the
// drawAt calls, in the main thread's CPU time: rasterising runs on
// llvmpipe's own threads; the median frame and the least disturbed one).
//
// Run it in a real X window (scripts/bench starts it under xvfb-run, once
// with LP_NUM_THREADS=2 and once with 8). Not a Google Benchmark program:
// the bisection is a search, and the frames come from the main loop.
//
//     sprite_frames [--sizes 0,1000,2000,5000,10000] [--repeats 3] [--seconds 1] [--no-search]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "orvo/app/a_application.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1024, kHeight = 768, kSize = 32;
constexpr int kWarmUpFrames = 10;
constexpr double kFrameBudgetMs = 1000.0 / 60.0;
constexpr int kSearchStep = 50;     // the search stops when it knows N this closely
constexpr int kSearchLimit = 60000; // N never tried above this

struct Options {
    std::vector<int> sizes{0, 1000, 2000, 5000, 10000};
    int repeats = 3;
    double seconds = 1.0;
    bool search = true;
};

// CPU time of this thread: the batch's cost, whatever else runs on the machine.
double threadMicros()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// CPU time of the whole process (the render threads included).
double processMicros()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

struct Mover {
    float x, y, dx, dy;
    uint32_t tint;
};

// One measurement: N sprites, warm-up frames, then frames for `seconds`.
struct Measurement {
    int count = 0;
    double frameMs = 0.0;             // wall time per frame, present included
    double cpuMs = 0.0;               // CPU time per frame, all threads
    double buildUsPerSprite = 0.0;    // drawAt loop per sprite, median over the frames
    double buildMinUsPerSprite = 0.0; // the same in the least disturbed frame
};

class SpriteFrames : public aApplication {
public:
    explicit SpriteFrames(const Options& options) : m_options(options) {}

    bool setUp()
    {
        // Frames are measured unthrottled: neither the swap nor the loop waits for the display.
        auto device = std::make_unique<aGpuDeviceGL>();
        device->setUnsynchronisedSwaps(true);
        setFramePacing(false);
        m_graph = std::make_unique<aGraphServer>(kWidth, kHeight, false, false, true, "sprite frames", 0, false, true,
                                                 std::move(device));
        m_graph->setClearColor(0xFF203040); // every frame starts from a cleared picture, as a game's does
        m_sprite.create(kSize, kSize);
        aImage::LockInfo info;
        if (!m_sprite.lock(info))
            return false;
        // An opaque disc with a soft rim on a clear square, like a game sprite.
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const float cx = x - 15.5f, cy = y - 15.5f;
                const float d = 15.5f - std::sqrt(cx * cx + cy * cy);
                const uint32_t a = d <= 0.0f ? 0u : d >= 2.0f ? 255u : static_cast<uint32_t>(d * 127.5f);
                info.data[y * info.pitch + x] = (a << 24) | (uint32_t(x * 8) << 16) | (uint32_t(y * 8) << 8) | 0xC0;
            }
        m_sprite.unlock();
        uint32_t seed = 12345;
        auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 8) & 0xFFFF;
        };
        m_movers.resize(kSearchLimit);
        for (Mover& m : m_movers) {
            m.x = static_cast<float>(next() % (kWidth - kSize));
            m.y = static_cast<float>(next() % (kHeight - kSize));
            m.dx = static_cast<float>(next() % 600) / 100.0f - 3.0f;
            m.dy = static_cast<float>(next() % 600) / 100.0f - 3.0f;
            m.tint =
                0xFF000000u | ((0x80 + next() % 0x80) << 16) | ((0x80 + next() % 0x80) << 8) | (0x80 + next() % 0x80);
        }
        return true;
    }

    // Measures `count` sprites (the main loop runs until the measurement is done).
    Measurement measure(int count)
    {
        m_count = count;
        m_frame = 0;
        m_buildUs.clear();
        m_done = false;
        run();
        Measurement out;
        out.count = count;
        out.frameMs = std::chrono::duration<double, std::milli>(m_end - m_start).count() / m_measured;
        out.cpuMs = (m_cpuEnd - m_cpuStart) / 1000.0 / m_measured;
        out.buildUsPerSprite = count > 0 ? median(m_buildUs) / count : 0.0;
        out.buildMinUsPerSprite =
            count > 0 && !m_buildUs.empty() ? *std::min_element(m_buildUs.begin(), m_buildUs.end()) / count : 0.0;
        return out;
    }

    int32_t update() override
    {
        ++m_frame;
        const Clock::time_point now = Clock::now();
        if (m_frame == kWarmUpFrames) {
            m_start = now;
            m_cpuStart = processMicros();
            m_measured = 0;
        } else if (m_frame > kWarmUpFrames) {
            ++m_measured;
            if (std::chrono::duration<double>(now - m_start).count() >= m_options.seconds && m_measured >= 5) {
                m_end = now;
                m_cpuEnd = processMicros();
                m_done = true;
                // Leaves run() through the quit message (the window stays).
                requestClose();
                return 1;
            }
        }
        for (int i = 0; i < m_count; ++i) {
            Mover& m = m_movers[i];
            m.x += m.dx;
            m.y += m.dy;
            if (m.x < 0.0f || m.x > kWidth - kSize)
                m.dx = -m.dx;
            if (m.y < 0.0f || m.y > kHeight - kSize)
                m.dy = -m.dy;
        }
        return 0;
    }

    int32_t render() override
    {
        if (!m_graph->beginScene())
            return 0;
        const double start = threadMicros();
        for (int i = 0; i < m_count; ++i) {
            const Mover& m = m_movers[i];
            m_sprite.drawAt(static_cast<int16_t>(m.x), static_cast<int16_t>(m.y), m.tint);
        }
        if (m_frame > kWarmUpFrames)
            m_buildUs.push_back(threadMicros() - start);
        m_graph->endScene();
        return 0;
    }

    // Quitting is how a measurement ends; the window stays for the next one.
    bool canQuit() override { return true; }

    bool ok() const { return m_graph && m_sprite.getSurface(); }
    // The picture and the device go before the window (and its GL context) does.
    void tearDown()
    {
        m_sprite.release();
        m_graph.reset();
    }
    std::string renderer() const
    {
        aGpuAdapterIdentifier id;
        return m_graph && gpu_succeeded(m_graph->getDevice()->getAdapterIdentifier(id)) ? id.description : "?";
    }
    bool drawsIntoWindow() const
    {
        const auto* gl = m_graph ? dynamic_cast<const aGpuDeviceGL*>(m_graph->getDevice()) : nullptr;
        return gl && gl->drawsIntoWindow();
    }

private:
    const Options& m_options;
    std::unique_ptr<aGraphServer> m_graph;
    aImage m_sprite;
    std::vector<Mover> m_movers;
    std::vector<double> m_buildUs;
    int m_count = 0;
    int m_frame = 0;
    int m_measured = 0;
    bool m_done = false;
    Clock::time_point m_start, m_end;
    double m_cpuStart = 0.0, m_cpuEnd = 0.0;
};

Options parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--sizes" && value) {
            o.sizes.clear();
            for (const char* p = value; *p;) {
                o.sizes.push_back(std::clamp(std::atoi(p), 0, kSearchLimit));
                p = std::strchr(p, ',');
                p = p ? p + 1 : "";
            }
            ++i;
        } else if (a == "--repeats" && value) {
            o.repeats = std::max(1, std::atoi(value));
            ++i;
        } else if (a == "--seconds" && value) {
            o.seconds = std::max(0.1, std::atof(value));
            ++i;
        } else if (a == "--no-search") {
            o.search = false;
        } else {
            std::fprintf(stderr, "sprite_frames: unknown argument %s\n", a.c_str());
        }
    }
    return o;
}

// The median of `repeats` measurements of N.
Measurement repeated(SpriteFrames& app, int count, int repeats)
{
    std::vector<double> frames, cpus, builds, fastest;
    for (int r = 0; r < repeats; ++r) {
        const Measurement m = app.measure(count);
        frames.push_back(m.frameMs);
        cpus.push_back(m.cpuMs);
        builds.push_back(m.buildUsPerSprite);
        fastest.push_back(m.buildMinUsPerSprite);
    }
    return {count, median(frames), median(cpus), median(builds), *std::min_element(fastest.begin(), fastest.end())};
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    // The application's folders and log go to a scratch folder.
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "kb_sprite_frames";
    std::filesystem::create_directories(home / "run");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);

    SpriteFrames app(options);
    app.setLockFolder(home.string());
    if (app.init("SpriteFrames", nullptr, "", "Brindlewick") != 0 || !app.setUp() || !app.ok()) {
        std::fprintf(stderr, "sprite_frames: no window or device\n");
        return 1;
    }
    const char* threads = std::getenv("LP_NUM_THREADS");
    std::printf("sprite_frames: %s, %dx%d window (%s), %d x %d px sprites, LP_NUM_THREADS=%s, median of %d runs of "
                "%.1f s\n",
                app.renderer().c_str(), kWidth, kHeight, app.drawsIntoWindow() ? "drawn into" : "copied into", kSize,
                kSize, threads ? threads : "(default)", options.repeats, options.seconds);
    std::printf("%8s %10s %8s %14s %14s %14s\n", "sprites", "ms/frame", "fps", "cpu ms/frame", "build us/spr",
                "fastest build");
    for (int n : options.sizes) {
        const Measurement m = repeated(app, n, options.repeats);
        std::printf("%8d %10.3f %8.1f %14.3f %14.4f %14.4f\n", n, m.frameMs, 1000.0 / m.frameMs, m.cpuMs,
                    m.buildUsPerSprite, m.buildMinUsPerSprite);
        std::fflush(stdout);
    }
    if (options.search) {
        // Doubling finds a count that misses 60 fps, bisection the largest that makes it.
        int pass = 0, fail = 1000;
        while (fail < kSearchLimit && repeated(app, fail, options.repeats).frameMs <= kFrameBudgetMs) {
            pass = fail;
            fail = std::min(kSearchLimit, fail * 2);
        }
        while (fail - pass > kSearchStep) {
            const int mid = (pass + fail) / 2;
            if (repeated(app, mid, options.repeats).frameMs <= kFrameBudgetMs)
                pass = mid;
            else
                fail = mid;
        }
        std::printf("largest N at 60 fps: %d (within %d)\n", pass, kSearchStep);
    }
    app.tearDown();
    app.shutdown();
    return 0;
}
