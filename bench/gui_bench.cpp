// The GUI server under load, on the recording device (no window):
//  - LoadLayout: a GUI server reads a layout script of 500 widgets (20 panels
//    of 23 children each, plus 20 labels inside the first children; a
//    template on every button, a macro on every line that places a child) and
//    initialises them; the server and its tree are destroyed in each round.
//  - UpdateAndRender: one frame of a 200-widget screen (20 panels of 9
//    children) with the pointer moving across it: the input step with hit
//    tests and hover changes, the tree's update, then the draw walk with
//    clipping.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "gui/gui.h"
#include "support/app_fixture.h"
#include "support/temp_dir.h"

namespace {

std::string layoutScript(int panels, int children, int labels)
{
    std::string s = "#define ROW \"40\"\n"
                    "template Button\n{\n  SoundClick\n  MultiClick 1\n  Cursor hand\n}\n";
    for (int p = 0; p < panels; ++p) {
        s += "widget Panel" + std::to_string(p) + "\n{\n";
        s += "  AreaRect " + std::to_string((p % 5) * 200) + " " + std::to_string((p / 5) * 190) + " 190 180\n";
        for (int c = 0; c < children; ++c) {
            s += "  widget Button" + std::to_string(p) + "_" + std::to_string(c) + " <Button>\n  {\n";
            s += "    AreaRect " + std::to_string((c % 3) * 60) + " $ROW$ 55 50\n";
            s += "    Tag " + std::to_string(c) + "\n";
            if (c == 0 && p < labels) {
                s += "    widget Label" + std::to_string(p) +
                     "\n    {\n      AreaRect 2 2 40 10\n"
                     "      ClipByParent 0\n    }\n";
            }
            s += "  }\n";
        }
        s += "}\n";
    }
    return s;
}

struct Rig {
    kbtest::LoopRig loop;
    kbtest::TempDir dir{"guibench"};
};

void LoadLayout(benchmark::State& state)
{
    Rig rig;
    const std::string path = rig.dir.file("layout.agui");
    kbtest::writeFile(path, layoutScript(20, 23, 20));
    size_t widgets = 0;
    for (auto _ : state) {
        GUI::Server server(nullptr, nullptr);
        server.load(path);
        server.InitializeWidgets();
        widgets = 0;
        for (const GUI::Widget* panel : server.GetRoot()->GetChildren())
            for (const GUI::Widget* child : panel->GetChildren())
                widgets += 1 + child->GetChildren().size();
        widgets += server.GetRoot()->GetChildren().size();
    }
    state.counters["widgets"] = static_cast<double>(widgets);
}
BENCHMARK(LoadLayout)->Unit(benchmark::kMillisecond);

void UpdateAndRender(benchmark::State& state)
{
    Rig rig;
    const std::string path = rig.dir.file("screen.agui");
    kbtest::writeFile(path, layoutScript(20, 9, 0));
    GUI::Server server(nullptr, nullptr);
    server.load(path);
    server.InitializeWidgets();
    for (GUI::Widget* panel : server.GetRoot()->GetChildren()) {
        panel->Set("NotifyRender", "1");
        panel->EndFillProperties();
    }

    int step = 0;
    for (auto _ : state) {
        rig.loop.keys->setCursor((step * 7) % 1000, (step * 3) % 760);
        rig.loop.inputServer->update();
        server.Update(1.0f / 60.0f);
        server.Render();
        if (++step % 1024 == 0) {
            state.PauseTiming();
            rig.loop.device_->clearRecords();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(UpdateAndRender)->Unit(benchmark::kMicrosecond);

} // namespace
