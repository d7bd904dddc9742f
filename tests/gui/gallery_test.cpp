// The gallery: tests/data/gui/gallery.agui with one of every widget class (a template, a region, a cursor,
// hot keys and a modal dialog among them), drawn on the offscreen OpenGL device into tests/data/golden/
// gui_gallery.png, then after scripted clicks gui_gallery_clicked.png, after typing, selecting and scrolling
// gui_gallery_text.png.
// After an intended change, refresh with
//     KB_UPDATE_GOLDEN=1 SDL_VIDEODRIVER=offscreen build/test/tests/gui_tests --gtest_filter=Gallery.*
#include <gtest/gtest.h>

#include <cmath>

#include "gui_fixture.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/platform/a_clipboard.h"
#include "orvo/platform/a_keyboardlayout.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "support/golden.h"
#include "support/image_files.h"
#include "text_kit.h"

using namespace GUI;

namespace {

constexpr uint32_t kW = 480, kH = 240;

// Pictures for the gallery, ARGB, top row first.
struct Canvas {
    Canvas(uint32_t w, uint32_t h, uint32_t argb = 0) : width(w), height(h), pixels(size_t(w) * h, argb) {}

    void fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb)
    {
        for (int32_t j = std::max(0, y); j < std::min<int32_t>(height, y + h); ++j)
            for (int32_t i = std::max(0, x); i < std::min<int32_t>(width, x + w); ++i)
                pixels[size_t(j) * width + size_t(i)] = argb;
    }
    void box(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t border, uint32_t inside)
    {
        fill(x, y, w, h, border);
        fill(x + 1, y + 1, w - 2, h - 2, inside);
    }
    // Pixels whose centre lies inside the shape.
    template <class F> void shape(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb, F inside)
    {
        for (int32_t j = 0; j < h; ++j)
            for (int32_t i = 0; i < w; ++i)
                if (inside((i + 0.5f) / w * 2 - 1, (j + 0.5f) / h * 2 - 1))
                    fill(x + i, y + j, 1, 1, argb);
    }
    void disc(int32_t x, int32_t y, int32_t size, uint32_t argb)
    {
        shape(x, y, size, size, argb, [](float u, float v) { return u * u + v * v <= 1.0f; });
    }
    void diamond(int32_t x, int32_t y, int32_t size, uint32_t argb)
    {
        shape(x, y, size, size, argb, [](float u, float v) { return std::fabs(u) + std::fabs(v) <= 1.0f; });
    }

    uint32_t width, height;
    std::vector<uint32_t> pixels;
};

// Every picture the layout names, written as PNG files with their image list.
void writePictures(const kbtest::TempDir& dir)
{
    std::string list;
    auto save = [&](const std::string& name, const Canvas& c) {
        kbtest::writeFile(dir.file(name + ".png"), kbtest::encodePng(c.pixels, c.width, c.height));
        list += name + ".png 8888 8888\n";
    };
    Canvas panel(24, 24, 0xFF1C2230);
    panel.box(0, 0, 24, 24, 0xFF8CA0C0, 0xFF2A3448);
    panel.fill(8, 8, 8, 8, 0xFF1C2230);
    panel.fill(8, 8, 4, 4, 0xFF202840);
    panel.fill(12, 12, 4, 4, 0xFF202840);
    save("panel", panel);
    const uint32_t plates[3][2] = {{0xFFA08840, 0xFF3A3020}, {0xFFE0C060, 0xFF5A4A28}, {0xFF705C28, 0xFF20180C}};
    const char* plateNames[3] = {"plate", "platelit", "platedown"};
    for (int i = 0; i < 3; ++i) {
        Canvas c(12, 12);
        c.box(0, 0, 12, 12, plates[i][0], plates[i][1]);
        c.fill(4, 4, 4, 4, plates[i][1] + 0x00080808);
        save(plateNames[i], c);
    }
    // Glyph strips, top to bottom: normal, pushed, hover, disabled.
    Canvas button(64, 96);
    const uint32_t faces[4][2] = {
        {0xFF80A8E0, 0xFF305890}, {0xFF6080B0, 0xFF203860}, {0xFFB0D0FF, 0xFF4070B0}, {0xFF909090, 0xFF505050}};
    for (int i = 0; i < 4; ++i)
        button.box(0, 24 * i, 64, 24, faces[i][0], faces[i][1]);
    save("button", button);
    Canvas check(16, 64), radio(16, 64);
    for (int i = 0; i < 4; ++i) {
        check.box(0, 16 * i, 16, 16, faces[i][0], 0xFF101820);
        radio.disc(0, 16 * i, 16, faces[i][0]);
        radio.disc(2, 16 * i + 2, 12, 0xFF101820);
    }
    save("check", check);
    save("radio", radio);
    Canvas tick(16, 16);
    for (int i = 0; i < 5; ++i)
        tick.fill(3 + i, 7 + i, 2, 2, 0xFF60E060);
    for (int i = 0; i < 6; ++i)
        tick.fill(7 + i, 10 - 2 * i, 2, 2, 0xFF60E060);
    save("tick", tick);
    Canvas dot(8, 8);
    dot.disc(0, 0, 8, 0xFF60E060);
    save("dot", dot);
    save("track", Canvas(4, 2, 0xFF708090));
    Canvas thumb(8, 12);
    thumb.box(0, 0, 8, 12, 0xFFFFE080, 0xFFC09030);
    save("thumb", thumb);
    Canvas arrows(20, 12);
    arrows.shape(1, 1, 8, 10, 0xFFE8E0C8, [](float u, float v) { return std::fabs(v) <= (u + 1) / 2; });
    arrows.shape(11, 1, 8, 10, 0xFFE8E0C8, [](float u, float v) { return std::fabs(v) <= (1 - u) / 2; });
    save("arrows", arrows);
    Canvas gem(48, 48);
    for (int r = 24; r > 0; r -= 4)
        gem.diamond(24 - r, 24 - r, 2 * r, 0xFF000000 | uint32_t(255 - r * 6) << 16 | uint32_t(60 + r * 4) << 8 | 200);
    save("gem", gem);
    Canvas spin(64, 16);
    for (int i = 0; i < 4; ++i) {
        spin.box(16 * i, 0, 16, 16, 0xFF607080, 0xFF202830);
        spin.fill(16 * i + (i == 1 || i == 2 ? 8 : 2), i < 2 ? 2 : 8, 6, 6, 0xFFFF8040);
    }
    save("spin", spin);
    Canvas scrollthumb(8, 10);
    scrollthumb.box(0, 0, 8, 10, 0xFFC0C8D0, 0xFF8090A0);
    save("scrollthumb", scrollthumb);
    Canvas pointer(24, 12);
    for (int f = 0; f < 2; ++f)
        pointer.shape(12 * f, 0, 12, 12, f ? 0xFFFFE040 : 0xFFFFFFFF, [](float u, float v) { return u <= v; });
    save("pointer", pointer);
    kbtest::writeFile(dir.file("gallery.lst"), list);

    // The gem's diamond as a hit-test mask.
    std::vector<std::string> rows(48, std::string(48, '.'));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            if (std::fabs((x + 0.5f) / 24 - 1) + std::fabs((y + 0.5f) / 24 - 1) <= 1.0f)
                rows[size_t(y)][size_t(x)] = '#';
    kbtest::writeFile(dir.file("diamond.bmp"), kbtest::oneBitBmp(rows));
}

// A list row: an animal's name in the gallery's font.
class AnimalItem : public ListboxItem {
public:
    AnimalItem(aFont* font, const wchar_t* name) : m_font(font), m_name(name) {}
    void GetSize(float& width, float& height) const override
    {
        m_font->setSize(1.0f);
        const aTextSize size = m_font->getTextSize(m_name);
        width = size.width;
        height = size.height;
    }
    void Draw(const aRect& rect) override
    {
        m_font->setSize(1.0f);
        m_font->setRotation(0.0f);
        m_font->color = 0xFFE8E0C8;
        m_font->drawText(rect.x, rect.y, m_name, A_FONT_WHOLE_PIXEL);
    }
    bool IsGreater(const ListboxItem& o) const override { return m_name > static_cast<const AnimalItem&>(o).m_name; }
    bool IsLess(const ListboxItem& o) const override { return m_name < static_cast<const AnimalItem&>(o).m_name; }

private:
    aFont* m_font;
    std::wstring m_name;
};

class Gallery : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto device = std::make_unique<aGpuDeviceGL>();
        gl = device.get();
        graph =
            std::make_unique<aGraphServer>(kW, kH, false, false, true, "gallery", 0, false, true, std::move(device));
        if (!gl->isCreated())
            GTEST_SKIP() << "no OpenGL device";
        graph->setClearColor(0xFF000000);
        auto in = std::make_unique<aScriptedInputDevice>();
        keys = in.get();
        input = std::make_unique<aInputServer>(std::move(in));

        writePictures(dir);
        images.loadList(dir.file("gallery.lst"));
        server = std::make_unique<Server>(&images, &sounds);
        const std::string fonts = std::string(KB_TEST_DATA_DIR) + "/../../data/Localization/English/Fonts/";
        kbtest::writeFile(dir.file("lists.agui"), "fontlist\n{\n  arial14 " + fonts +
                                                      "arial14.ini\n}\n"
                                                      "regionlist\n{\n  diamond " +
                                                      dir.file("diamond.bmp") + "\n}\n");
        server->load(dir.file("lists.agui"));
        server->load(std::string(KB_TEST_DATA_DIR) + "/gui/gallery.agui");
        server->InitializeWidgets();
        server->SetMouseCursor("default");

        // What a screen does after the layout is read: fill lists, bind handlers.
        auto* quality = dynamic_cast<OptionButton*>(find("Quality"));
        ASSERT_NE(quality, nullptr);
        quality->GetOptions() = {L"Low", L"High"};
        quality->SetCurrentOption(0);
        find("Close")->SubscribeEvent(Widget::EventClick,
                                      new _memberBinder<Gallery, bool, const EventArgs&>(this, &Gallery::closeDialog));
        find("Play")->SubscribeEvent(Widget::EventClick,
                                     new _memberBinder<Gallery, bool, const EventArgs&>(this, &Gallery::play));
        auto* list = dynamic_cast<Listbox*>(find("Animals"));
        ASSERT_NE(list, nullptr);
        for (const wchar_t* name :
             {L"Zebra", L"Lion", L"Hippo", L"Rhino", L"Cheetah", L"Warthog", L"Antelope", L"Giraffe"}) {
            animals.push_back(std::make_unique<AnimalItem>(server->GetFont("arial14"), name));
            list->AddItem(animals.back().get());
        }
    }
    void TearDown() override
    {
        server.reset();
        input.reset();
    }

    bool closeDialog(const EventArgs&) { return find("Dialog")->SetVisible(false), true; }
    bool play(const EventArgs&) { return ++plays, true; }

    Widget* find(const std::string& name) const { return server->GetRoot()->FindChild(name, true); }
    void frame() { input->update(), server->Update(0.05f); }
    void click(int32_t x, int32_t y)
    {
        keys->setCursor(x, y), frame(), keys->setButton(0, true), frame(), keys->setButton(0, false), frame();
    }
    // A press at one point, a move to the other, a release.
    void drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
    {
        keys->setCursor(x0, y0), frame(), keys->setButton(0, true), frame();
        keys->setCursor(x1, y1), frame(), keys->setButton(0, false), frame();
    }
    // Text typed on a US keyboard, shifted where it needs shift.
    void type(const std::string& text)
    {
        for (const char c : text)
            for (uint8_t shift = 0; shift < 2; ++shift)
                for (uint32_t key = 1; key < 256; ++key)
                    if (Server::KeyToChar(key, shift) == c) {
                        shift ? press({A_KEY_LSHIFT, uint8_t(key)}) : press({uint8_t(key)});
                        shift = 2;
                        break;
                    }
    }
    void press(std::initializer_list<uint8_t> held)
    {
        for (bool down : {true, false}) {
            for (uint8_t k : held)
                keys->setKey(k, down);
            frame();
        }
    }
    std::vector<uint32_t> render()
    {
        if (!graph->beginScene())
            return {};
        server->Render();
        graph->endScene();
        std::vector<uint32_t> pixels;
        uint32_t w = 0, h = 0;
        gl->readBackBuffer(pixels, w, h);
        return pixels;
    }

    kbtest::ClipboardAndLayout fakes; // the desktop's clipboard and keyboard stay out of the picture
    kbtest::LogCapture log;
    kbtest::TempDir dir{"gallery"};
    kbtest::TestApp app;
    aGpuDeviceGL* gl = nullptr;
    std::unique_ptr<aGraphServer> graph;
    aScriptedInputDevice* keys = nullptr;
    std::unique_ptr<aInputServer> input;
    aImageManager images;
    aSoundManager sounds;
    std::unique_ptr<Server> server;
    std::vector<std::unique_ptr<AnimalItem>> animals;
    int plays = 0;
};

} // namespace

TEST_F(Gallery, EveryWidgetClassDrawsAndClicksChangeTheScreen)
{
    keys->setCursor(300, 228);
    frame();
    frame();
    kbtest::expectGolden(render(), kW, kH, "gui_gallery");

    // The modal dialog takes every click below it, and the hot key below it too.
    auto* sound = dynamic_cast<Checkbox*>(find("Sound"));
    click(12, 64);
    EXPECT_FALSE(sound->IsChecked());
    press({A_KEY_LCONTROL, A_KEY_P});
    EXPECT_EQ(plays, 0);
    // Esc is the dialog's close button.
    press({A_KEY_ESCAPE});
    EXPECT_FALSE(find("Dialog")->IsVisible(true));

    click(12, 64);
    EXPECT_TRUE(sound->IsChecked());
    click(64, 84);
    EXPECT_TRUE(dynamic_cast<Checkbox*>(find("Hard"))->IsChecked());
    EXPECT_FALSE(dynamic_cast<Checkbox*>(find("Easy"))->IsChecked());
    click(60, 108);
    EXPECT_EQ(dynamic_cast<OptionButton*>(find("Quality"))->GetCurrentOption(), 1);
    click(125, 130);
    click(125, 130);
    EXPECT_FLOAT_EQ(dynamic_cast<Slider*>(find("Volume"))->GetValue(), 0.5f);
    press({A_KEY_LCONTROL, A_KEY_P});
    EXPECT_EQ(plays, 1);
    click(180, 40);
    EXPECT_EQ(server->GetFocusWidget(), nullptr) << "outside the diamond the gem takes no click";
    // The notes' bar: drag its thumb down to the end.
    auto* bar = dynamic_cast<Scrollbar*>(find("Notes_auto_vscroll"));
    ASSERT_NE(bar, nullptr);
    drag(296, 92, 296, 140);
    EXPECT_FLOAT_EQ(bar->GetValue(), bar->GetMaxValue());
    EXPECT_GT(bar->GetValue(), 0.0f);
    // Rest on the style button: its hover skin.
    keys->setCursor(100, 40);
    frame();
    kbtest::expectGolden(render(), kW, kH, "gui_gallery_clicked");
}

TEST_F(Gallery, TypingSelectingAndScrollingInTheTextAndListWidgets)
{
    keys->setCursor(300, 228);
    frame();
    press({A_KEY_ESCAPE});
    auto* name = dynamic_cast<Editbox*>(find("Name"));
    auto* code = dynamic_cast<Editbox*>(find("Code"));
    auto* count = dynamic_cast<Editbox*>(find("Count_auto_editbox"));
    auto* list = dynamic_cast<Listbox*>(find("Animals"));
    auto* diary = dynamic_cast<Memo*>(find("Diary"));
    ASSERT_TRUE(name && code && count && list && diary);

    // A click selects the whole name; typing replaces it; the name goes to the clipboard.
    click(400, 37);
    EXPECT_EQ(server->GetFocusWidget(), name);
    type("Zebra 7");
    EXPECT_EQ(name->GetText(), L"Zebra 7");
    press({A_KEY_LCONTROL, A_KEY_A});
    press({A_KEY_LCONTROL, A_KEY_C});
    press({A_KEY_HOME});

    // Capitals only, Cyrillic letters from US keys on a Russian layout, five at most.
    click(360, 63);
    keyboard_setLayoutName("00000419");
    type("qw");
    keyboard_setLayoutName("00000409");
    type("x1yz");
    EXPECT_EQ(code->GetText(), std::wstring({wchar_t(0x0419), wchar_t(0x0426), L'X', L'1', L'Y'}));

    // The spinner shows 255 in hexadecimal; its button reads the box and adds the step.
    EXPECT_EQ(count->GetText(), L"FF");
    click(465, 57);
    EXPECT_EQ(count->GetText(), L"100");

    // Sorted rows; the bar scrolls to the end; a click and a shift-click select three.
    EXPECT_EQ(static_cast<AnimalItem*>(list->GetItem(0)), animals[6].get());
    drag(469, 84, 469, 140);
    EXPECT_FLOAT_EQ(list->GetScrollY(), list->GetContentHeight() - 64.0f);
    EXPECT_EQ(list->GetFirstVisibleItem(), 4u);
    click(360, 94);
    keys->setKey(A_KEY_LSHIFT, true);
    click(360, 134);
    keys->setKey(A_KEY_LSHIFT, false);
    frame();
    EXPECT_EQ(list->GetSelectedCount(), 3u);
    EXPECT_TRUE(list->IsItemSelected(5) && list->IsItemSelected(7));
    EXPECT_EQ(list->GetFirstVisibleItem(), 4u) << "the clicked rows were in view already";

    // The diary: a line break and a paste at the end, the paste undone and redone as one step.
    const std::wstring diaryText = diary->GetText();
    click(380, 190);
    press({A_KEY_LCONTROL, A_KEY_END});
    press({A_KEY_ENTER});
    press({A_KEY_LCONTROL, A_KEY_V});
    EXPECT_EQ(diary->GetText(), diaryText + L"\nZebra 7");
    press({A_KEY_LCONTROL, A_KEY_Z});
    EXPECT_EQ(diary->GetText(), diaryText + L"\n");
    press({A_KEY_LCONTROL, A_KEY_Y});
    EXPECT_EQ(diary->GetText(), diaryText + L"\nZebra 7");
    EXPECT_EQ(diary->GetSelectionEnd() - diary->GetSelectionStart(), 7u);
    auto* diaryBar = diary->GetVertScrollbar();
    ASSERT_NE(diaryBar, nullptr);
    EXPECT_GT(diaryBar->GetValue(), 0.0f);
    EXPECT_FLOAT_EQ(diaryBar->GetValue(), diaryBar->GetMaxValue());

    keys->setCursor(300, 228);
    frame();
    kbtest::expectGolden(render(), kW, kH, "gui_gallery_text");
}
