// Shared by the toolkit tests: a GUI server on the recording device with scripted input and an image
// manager, the log, a folder for scripts, and an event log of which widget fired what.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/gui.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/sound/a_soundmanager.h"
#include "support/app_fixture.h"
#include "support/image_files.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace kbtest {

// A subscriber around any function.
class Call : public GUI::Subscriber {
public:
    explicit Call(std::function<bool(const GUI::EventArgs&)> f) : m_f(std::move(f)) {}
    bool invoke(const GUI::EventArgs& args) override { return m_f(args); }

private:
    std::function<bool(const GUI::EventArgs&)> m_f;
};

// Records "<widget>:<event>" for every event it watches, in firing order, and
// copies of the mouse and keyboard arguments.
class EventLog {
public:
    void watch(GUI::Widget* widget, std::initializer_list<const char*> events)
    {
        for (const char* event : events)
            widget->SubscribeEvent(event, new Call([this, label = widget->GetName() + ":" + event](const auto& a) {
                                       entries.push_back(label);
                                       if (auto* m = dynamic_cast<const GUI::MouseEventArgs*>(&a))
                                           mouse.push_back(*m);
                                       if (auto* k = dynamic_cast<const GUI::KeybEventArgs*>(&a))
                                           keys.push_back(*k);
                                       return false;
                                   }));
    }
    // The entries since the last take, then forgets them.
    std::vector<std::string> take() { return std::exchange(entries, {}); }

    std::vector<std::string> entries;
    std::vector<GUI::MouseEventArgs> mouse;
    std::vector<GUI::KeybEventArgs> keys;
};

using Entries = std::vector<std::string>;

// A one-bit BMP: `rows` top row first, '#' for a set bit. palette0 is the
// colour of entry 0 (0 black); entry 1 is its opposite.
inline std::string oneBitBmp(const std::vector<std::string>& rows, uint32_t palette0 = 0)
{
    const uint32_t width = rows.empty() ? 0 : static_cast<uint32_t>(rows[0].size());
    const uint32_t height = static_cast<uint32_t>(rows.size());
    const uint32_t stride = (width + 31) / 32 * 4;
    std::string b = "BM" + std::string(60 + size_t(stride) * height, '\0');
    const uint32_t size = static_cast<uint32_t>(b.size()), palette1 = palette0 ? 0 : 0x00FFFFFF;
    for (auto [at, v] :
         {std::pair{2u, size}, {10u, 62u}, {14u, 40u}, {18u, width}, {22u, height}, {54u, palette0}, {58u, palette1}})
        for (uint32_t i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>(v >> (8 * i));
    b[26] = b[28] = 1; // one plane, one bit per pixel
    for (uint32_t r = 0; r < height; ++r) {
        const size_t row = 62 + size_t(stride) * (height - 1 - r);
        for (uint32_t c = 0; c < width; ++c)
            if (rows[r][c] == '#')
                b[row + c / 8] = static_cast<char>(b[row + c / 8] | (0x80 >> (c % 8)));
    }
    return b;
}

// A font whose glyphs for printable ASCII and Cyrillic U+0400..U+045F are
// `glyph` pixels wide (a space `space` wide) and `height` high, with no
// offsets: widths add up exactly. Gives the description file's path.
inline std::string writeGridFont(const TempDir& dir, const std::string& name, uint32_t glyph = 8, uint32_t height = 16,
                                 uint32_t space = 4)
{
    writeFile(dir.file(name + ".png"),
              encodePng(std::vector<uint32_t>(size_t(glyph) * 32 * height, 0xFFFFFFFF), glyph * 32, height));
    std::string ini =
        "[General]\nFormat16=8888\nFormat32=8888\nTexture=" + name + ".png\nCharSpacing=0\n\n[Charlist]\n";
    auto add = [&](unsigned c, uint32_t width) {
        char line[64];
        std::snprintf(line, sizeof line, "%X=%u 0 %u %u 0 0\n", c, c % 32 * glyph, width, height);
        ini += line;
    };
    add(' ', space);
    for (unsigned c = 0x21; c < 0x7F; ++c)
        add(c, glyph);
    for (unsigned c = 0x400; c < 0x460; ++c)
        add(c, glyph);
    writeFile(dir.file(name + ".ini"), ini);
    return dir.file(name + ".ini");
}

class GuiTest : public ::testing::Test {
protected:
    GuiTest() { server = std::make_unique<GUI::Server>(&images, &sounds); }
    ~GuiTest() override
    {
        if (inScene)
            rig.graph->endScene();
        server.reset();
    }

    GUI::Widget* root() const { return server->GetRoot(); }

    // A widget of class T under `parent` (the root when null) at the given area.
    template <class T = GUI::Widget> T* add(const std::string& name, aRect area, GUI::Widget* parent = nullptr)
    {
        auto* w = new T(name);
        (parent ? parent : root())->AddChild(w);
        w->SetArea(area);
        return w;
    }
    template <class T = GUI::Widget> T* find(const std::string& name) const
    {
        return dynamic_cast<T*>(root()->FindChild(name, true));
    }
    // Script properties ("Name value"), applied together.
    static void set(GUI::Widget* w, std::initializer_list<std::string> properties)
    {
        for (const std::string& p : properties) {
            const size_t blank = p.find(' ');
            w->Set(p.substr(0, blank), blank == std::string::npos ? "" : p.substr(blank + 1));
        }
        w->EndFillProperties();
    }
    void expectLogged(std::initializer_list<std::string> lines) const
    {
        for (const std::string& line : lines)
            EXPECT_TRUE(log.contains(line)) << line;
    }

    // Writes a script into the temporary folder and loads it (then initialises
    // every widget when asked); gives the script's path.
    std::string loadScript(const std::string& text, bool initialize = false)
    {
        const std::string path = dir.file("script" + std::to_string(++m_scripts) + ".agui");
        writeFile(path, text);
        server->load(path);
        if (initialize)
            server->InitializeWidgets();
        return path;
    }

    // One frame: the input server polls the scripted devices, then the GUI dispatches.
    void frame(float dt = 1.0f / 60.0f)
    {
        rig.inputServer->update();
        server->Update(dt);
    }
    void moveTo(int32_t x, int32_t y) { rig.keys->setCursor(x, y); }
    void button(int b, bool down) { rig.keys->setButton(b, down); }
    void key(uint8_t k, bool down) { rig.keys->setKey(k, down); }
    // One change to the devices, then one frame; a click at a point; a press, moves through the points, release.
    void hover(int32_t x, int32_t y) { moveTo(x, y), frame(); }
    void down(int b = 0) { button(b, true), frame(); }
    void up(int b = 0) { button(b, false), frame(); }
    void keyDown(uint8_t k) { key(k, true), frame(); }
    void keyUp(uint8_t k) { key(k, false), frame(); }
    void click(int32_t x, int32_t y, int b = 0) { hover(x, y), down(b), up(b); }
    void drag(std::initializer_list<aPoint> path)
    {
        for (const aPoint& p : path) {
            hover(p.x, p.y);
            if (&p == path.begin())
                down();
        }
        up();
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

    // "left top right bottom" of a recorded draw's source.
    static std::string src(const aGpuRecord& r)
    {
        return std::to_string(r.u[0]) + " " + std::to_string(r.u[1]) + " " + std::to_string(r.u[2]) + " " +
               std::to_string(r.u[3]);
    }
    static float atX(const aGpuRecord& r) { return r.f[5]; }
    static float atY(const aGpuRecord& r) { return r.f[6]; }

    LogCapture log;
    TempDir dir{"gui"};
    LoopRig rig;
    aImageManager images;
    aSoundManager sounds;
    bool inScene = false;
    std::unique_ptr<GUI::Server> server;
    EventLog events;

private:
    int m_scripts = 0;
};

// A GUI test with the grid font loaded, for buttons' captions.
class CaptionTest : public GuiTest {
protected:
    CaptionTest() : font(writeGridFont(dir, "grid").c_str()) {}
    aFont font;

    // The caption's position of a button drawn now.
    std::pair<float, float> captionAt(GUI::ButtonBase* b)
    {
        beginDraws();
        b->ButtonBase::Draw();
        const auto d = draws();
        EXPECT_EQ(d.size(), 1u);
        return d.empty() ? std::pair(0.0f, 0.0f) : std::pair(atX(d[0]), atY(d[0]));
    }
};

// A widget that takes the keyboard focus.
class FocusWidget : public GUI::Widget {
public:
    using GUI::Widget::Widget;
    bool IsFocusable() const override { return true; }
};

} // namespace kbtest
