// Shared by the toolkit tests: an application with a graph server on the
// recording device and scripted input, a GUI server on it, the log, a folder
// for scripts, and an event log that records which widget fired what.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "orvo/sound/a_soundmanager.h"
#include "support/app_fixture.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace kbtest {

// Records "<widget>:<event>" for every event it watches, in firing order.
class EventLog {
public:
    void watch(GUI::Widget* widget, std::initializer_list<const char*> events)
    {
        for (const char* event : events) {
            auto tap = std::make_unique<Tap>();
            tap->log = this;
            tap->label = widget->GetName() + ":" + event;
            widget->SubscribeEvent(event, new GUI::_memberBinder<Tap, bool, const GUI::EventArgs&>(tap.get(), &Tap::on));
            m_taps.push_back(std::move(tap));
        }
    }
    // Every widget event of the widget.
    void watchAll(GUI::Widget* widget)
    {
        using W = GUI::Widget;
        watch(widget, {W::EventFocusGain, W::EventFocusLost, W::EventHide, W::EventShow, W::EventEnabled,
                       W::EventDisabled, W::EventMouseEnter, W::EventMouseLeave, W::EventMouseDown, W::EventMouseUp,
                       W::EventMouseMove, W::EventMouseWheel, W::EventClick, W::EventDoubleClick, W::EventTripleClick,
                       W::EventKeyDown, W::EventKeyUp, W::EventKeyPress, W::EventTextChanged, W::EventFontChanged,
                       W::EventMoved, W::EventSized, W::EventBeginRender, W::EventEndRender});
    }
    // The entries since the last take, then forgets them.
    std::vector<std::string> take()
    {
        std::vector<std::string> out;
        out.swap(entries);
        return out;
    }

    std::vector<std::string> entries;
    // Copies of the arguments of the mouse and keyboard events, in firing order.
    std::vector<GUI::MouseEventArgs> mouse;
    std::vector<GUI::KeybEventArgs> keys;

private:
    struct Tap {
        EventLog* log = nullptr;
        std::string label;
        bool on(const GUI::EventArgs& a)
        {
            log->entries.push_back(label);
            if (auto* m = dynamic_cast<const GUI::MouseEventArgs*>(&a))
                log->mouse.push_back(*m);
            if (auto* k = dynamic_cast<const GUI::KeybEventArgs*>(&a))
                log->keys.push_back(*k);
            return false;
        }
    };
    std::vector<std::unique_ptr<Tap>> m_taps;
};

using Entries = std::vector<std::string>;

class GuiTest : public ::testing::Test {
protected:
    GuiTest() { server = std::make_unique<GUI::Server>(nullptr, &sounds); }
    ~GuiTest() override { server.reset(); }

    GUI::Widget* root() const { return server->GetRoot(); }

    // A plain widget under `parent` (the root when null) at the given area.
    GUI::Widget* add(const std::string& name, aRect area, GUI::Widget* parent = nullptr)
    {
        auto* w = new GUI::Widget(name);
        (parent ? parent : root())->AddChild(w);
        w->SetArea(area);
        return w;
    }

    // Writes a script into the temporary folder and loads it.
    void loadScript(const std::string& name, const std::string& text)
    {
        writeFile(dir.file(name), text);
        server->load(dir.file(name));
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

    LogCapture log;
    TempDir dir{"gui"};
    LoopRig rig;
    aSoundManager sounds;
    std::unique_ptr<GUI::Server> server;
    EventLog events;
};

// A widget that takes the keyboard focus.
class FocusWidget : public GUI::Widget {
public:
    using GUI::Widget::Widget;
    bool IsFocusable() const override { return true; }
};

} // namespace kbtest
