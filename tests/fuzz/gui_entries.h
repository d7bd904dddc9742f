// The entries of the toolkit's readers, shared by their fuzz programs and by
// the replay of their corpora in gui_tests: layout scripts read by the GUI
// server itself (widgets, styles, templates, cursors, font and region lists),
// then initialised, driven by the pointer and keys, drawn and hit-tested; and
// region masks. The application they need comes from the caller (a GuiStage):
// the fuzz program makes one for its whole run, the replay one per test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/reader_entries.h"
#include "gui/gui.h"

namespace kbfuzz {

// A one-bit BMP of 8 x 2 pixels, "r.bmp", and a font description "font.ini"
// on "strip.bmp", for the region and font lists of the scripts.
inline void writeGuiNeighbours()
{
    static const bool written = [] {
        writeNeighbours();
        // 8 x 2 pixels, one byte a row padded to four, palette black and white.
        std::string region(70, '\0');
        const uint8_t header[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40,
                                  0,   0,   0,  8, 0, 0, 0, 2, 0, 0, 0,  1, 0, 1};
        region.replace(0, sizeof header, reinterpret_cast<const char*>(header), sizeof header);
        region[58] = region[59] = region[60] = '\xFF';
        region[62] = '\xA5';
        region[66] = '\x3C';
        writeScratch("r.bmp", reinterpret_cast<const uint8_t*>(region.data()), region.size());
        static const char font[] = "[General]\nFormat16=4444\nFormat32=8888\nTexture=strip.bmp\nCharSpacing=1\n"
                                   "[Charlist]\n41=0 0 8 12 0 1\n42=8 0 8 12 1 0\n20=16 0 4 12 0 0\n"
                                   "[KerningPairs]\n0=41 42 -1\n";
        writeScratch("font.ini", reinterpret_cast<const uint8_t*>(font), sizeof font - 1);
        return true;
    }();
    (void)written;
}

// The application of the toolkit's entries, with the sound library kept open.
struct GuiStage : kbtest::LoopRig {
    AudioHold audio;
};

// Levels below the root of the deepest widget of the tree.
inline int treeDepth(const GUI::Widget* widget)
{
    int deepest = 0;
    for (const GUI::Widget* child : widget->GetChildren())
        deepest = std::max(deepest, 1 + treeDepth(child));
    return deepest;
}

// The script as "screen.agui", its images and sounds from managers that know
// "strip" and "beep"; the tree is never deeper than the cap. (Includes, and
// the cost of a script that includes itself, belong to the scriptloader
// program; a name the fuzzer would find keeps this one fast.)
inline bool layout(GuiStage& rig, const uint8_t* data, size_t size)
{
    writeGuiNeighbours();
    const std::string path = writeScratch("screen.agui", data, size);
    const std::string folder = scratchDir() + "/";
    aImageManager images;
    images.loadItem(folder, "strip.bmp 8888 8888", "");
    aSoundManager sounds;
    sounds.loadItem(folder, "beep.wav 1", "");
    bool ok = true;
    {
        GUI::Server server(&images, &sounds);
        server.load(path);
        server.InitializeWidgets();
        ok = treeDepth(server.GetRoot()) <= GUI::Server::MAX_WIDGET_DEPTH;

        // The pointer across the screen with a click and a drag, a few keys, a wheel turn.
        const int points[][2] = {{5, 5}, {100, 40}, {100, 40}, {300, 200}, {1023, 767}, {-5, 2000}};
        for (size_t i = 0; i < std::size(points); ++i) {
            rig.keys->setCursor(points[i][0], points[i][1]);
            rig.keys->setButton(0, i == 1 || i == 3);
            rig.keys->setKey(static_cast<uint8_t>(0x1E + i), i % 2 == 0);
            if (i == 4)
                rig.keys->addWheel(-240);
            rig.inputServer->update();
            server.Update(i == 2 ? 0.6f : 1.0f / 60.0f);
        }
        if (rig.graph->beginScene()) {
            server.Render();
            rig.graph->endScene();
        }
        for (const auto& p : points)
            (void)server.GetRoot()->HitTestTree(p[0], p[1], true, false);
        for (int k = 0; k < 3; ++k) {
            rig.keys->setButton(k, false);
            rig.keys->setKey(static_cast<uint8_t>(0x1E + k), false);
        }
        rig.inputServer->update();
    }
    rig.device_->clearRecords();
    return ok;
}

// A region mask: nothing outside its size is inside it.
inline bool region(const uint8_t* data, size_t size)
{
    const std::string path = writeScratch("m.bmp", data, size);
    GUI::Region mask;
    if (!mask.LoadFromBitmap(path))
        return !mask.Contains(0, 0);
    const int32_t w = static_cast<int32_t>(mask.GetWidth());
    const int32_t h = static_cast<int32_t>(mask.GetHeight());
    for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {w, 0}, {0, h}, {w, h}, {INT32_MIN, INT32_MAX}})
        if (mask.Contains(x, y))
            return false;
    uint32_t inside = 0;
    for (int32_t y = 0; y < h && y < 64; ++y)
        for (int32_t x = 0; x < w && x < 64; ++x)
            inside += mask.Contains(x, y);
    return inside <= 64 * 64;
}

} // namespace kbfuzz
