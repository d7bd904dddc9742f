#include <gtest/gtest.h>

#include "gui_fixture.h"
#include "orvo/gfx/a_font.h"

using GUI::Widget;
using Names = std::vector<std::string>;

namespace {

class ServerScript : public kbtest::GuiTest {
protected:
    Names childNames(const Widget* w) const
    {
        Names names;
        for (const Widget* c : w->GetChildren())
            names.push_back(c->GetName());
        return names;
    }
};

} // namespace

TEST_F(ServerScript, NestedWidgetsTemplatesMacrosAndIncludesBuildTheTree)
{
    kbtest::writeFile(dir.file("common.agui"),
                      "template Base\n{\n    Visible 0\n}\nwidget Footer <Base>\n{\n    AreaRect 0 700 1024 68\n}\n");
    const std::string path =
        loadScript("; the main menu\n#define W \"200\"\n#include \"" + dir.file("common.agui") + "\"\n" +
                   "style Panel\n{\n  TopLeft 0 0 8 8\n}\ntemplate Sounded\n{\n  SoundClick click\n  Tag 5\n}\n"
                   "template Big\n{\n  AreaRect 0 0 $W$ 100\n  Tag 7\n  nested\n  {\n    Tag 99\n  }\n}\n"
                   "Widget Menu <Big>\n{\n  AreaRect 10 10 $W$   300\n  Alpha 0.5\n"
                   "  widget Title\n  {\n    Text \"Hello   world\"\n  }\n"
                   "  widget <Sounded> <Big>\n  {\n  }\n"
                   "  WIDGET x <Big>\n  {\n    widget Deep\n    {\n      HorizontalAlign right\n    }\n  }\n"
                   "  style Inner\n  {\n    Tag 3\n  }\n"
                   "  button Start\n  {\n    widget Lost\n    {\n    }\n  }\n}\n");

    ASSERT_EQ(childNames(root()), (Names{"Footer", "Menu"}));
    EXPECT_FALSE(root()->FindChild("footer")->IsVisible());

    Widget* menu = root()->FindChild("Menu");
    EXPECT_EQ(menu->GetArea(), aRect(10, 10, 200, 300)) << "the block's own lines override the template";
    ASSERT_EQ(childNames(menu), (Names{"Title", "auto0000", "auto0001"}));
    EXPECT_EQ(menu->FindChild("Title")->GetText(), L"Hello   world");
    Widget* a0 = menu->FindChild("auto0000");
    EXPECT_EQ(a0->GetTag(), 7) << "the later template wins, and the nested template block was skipped";
    Widget* a1 = menu->FindChild("auto0001");
    EXPECT_EQ(childNames(a1), (Names{"Deep"}));
    EXPECT_EQ(find("Lost"), nullptr);
    EXPECT_NE(server->GetStyle("panel"), nullptr);

    expectLogged({"GUI script '" + path + "' parsing started", "GUI script '" + path + "' parsing finished",
                  "Created new Widget 'Menu'", "Server - invalid template parameter 1",
                  "WidgetFactory::NewWidget - cannot create widget 'Inner' of unregistered class 'style'",
                  "WidgetFactory::NewWidget - cannot create widget 'Start' of unregistered class 'button'",
                  "Server::NewSound - sound 'click' not found!"});
    EXPECT_FALSE(log.contains("PropertySet::Set - property 'Tag' not found")) << "no line of a skipped block is read";
}

TEST_F(ServerScript, AutomaticNamesCountAcrossScriptsAndHeaderMistakesAreLoggedAndTheirBlocksSkipped)
{
    loadScript("widget\n{\n}\nwidget <Missing>\n{\n}\n"
               "template Quiet\n{\n  SoundClick\n}\nwidget Wq <Quiet>\n{\n}\n");
    loadScript("widget\n{\n}\n");
    EXPECT_EQ(childNames(root()), (Names{"auto0000", "auto0001", "Wq", "auto0002"}));
    expectLogged({"Server::ApplyTemplate - template 'Missing' not found", "Server::NewSound - sound '' not found!"});

    // Header mistakes are logged and their blocks skipped.
    loadScript("style\n{\n  Tag 1\n}\ncursor\n{\n}\ntemplate\n{\n}\n"
               "style S\n{\n}\nstyle s\n{\n  Bogus 1\n}\n"
               "cursor C\n{\n}\ncursor C\n{\n}\n"
               "template T\n{\n}\ntemplate T\n{\n}\n"
               "widget Wid <T> bad <>\n{\n  Unknown 5\n}\n");
    // A second script with a style name that is taken.
    loadScript("style S\n{\n}\nwidget W2\n{\n}\n");
    expectLogged({"Server - style name not specified in section header",
                  "Server - mouse cursor name not specified in section header",
                  "Server. Template name not specified section header", "Server - style 's' already exists",
                  "Server - mouse cursor 'C' already exists", "Server - template 'T' already exists",
                  "Server - invalid template parameter 2", "Server - invalid template parameter 3",
                  "PropertySet::Set - property 'Unknown' not found", "Server - style 'S' already exists"});
    EXPECT_FALSE(log.contains("PropertySet::Set - property 'Bogus' not found"));
    EXPECT_EQ(childNames(root()), (Names{"auto0000", "auto0001", "Wq", "auto0002", "Wid", "W2"}));
}

TEST_F(ServerScript, WidgetsNestedPastTheDepthLimitAreSkippedWithOneLogLine)
{
    // 100,000 levels, each 10 pixels in from its parent's corner on a 200 by
    // 200 area: drawing, hit tests and the tree's own teardown recurse once a
    // level, so the layout keeps only the levels up to the limit.
    constexpr int kLevels = 100000;
    std::string text = "template Box\n{\n  AreaRect 0 0 200 200\n}\n";
    text.reserve(size_t(kLevels) * 24);
    for (int i = 0; i < kLevels; ++i)
        text += "widget <Box>\n{\n";
    for (int i = 0; i < kLevels; ++i)
        text += "}\n";
    text += "widget After\n{\n}\n";
    const std::string path = loadScript(text, true);

    int depth = 0;
    Widget* deepest = root();
    while (!deepest->GetChildren().empty() && deepest->GetChildren().front()->GetName() != "After") {
        ASSERT_EQ(deepest->GetChildren().size(), deepest == root() ? 2u : 1u);
        deepest = deepest->GetChildren().front();
        ++depth;
    }
    EXPECT_EQ(depth, GUI::Server::MAX_WIDGET_DEPTH);
    EXPECT_EQ(childNames(root()).back(), "After") << "the script goes on after the skipped levels";
    int logged = 0;
    for (const std::string& line : log.messages())
        logged += line.find("nested deeper than") != std::string::npos;
    EXPECT_EQ(logged, 1);
    EXPECT_TRUE(log.contains("Server - widgets nested deeper than " + std::to_string(GUI::Server::MAX_WIDGET_DEPTH) +
                             " levels skipped in '" + path + "'"));

    // The kept chain draws and takes the pointer at its deepest level.
    int drawn = 0;
    set(deepest, {"NotifyRender 1"});
    deepest->SubscribeEvent(Widget::EventBeginRender, new kbtest::Call([&](const auto&) { return ++drawn, false; }));
    server->Render();
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(root()->HitTestTree(5, 5, true, true), deepest);
    // A hidden level hides everything below it, to drawing and to the pointer.
    deepest->GetParent()->GetParent()->SetVisible(false);
    server->Render();
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(root()->HitTestTree(5, 5, true, true), deepest->GetParent()->GetParent()->GetParent());
}

TEST_F(ServerScript, FontAndRegionListsRefuseTakenNames)
{
    kbtest::writeFile(dir.file("r.bmp"), kbtest::oneBitBmp({"#"}));
    loadScript("fontlist\n{\n  small " + kbtest::writeGridFont(dir, "small", 12, 18) +
               " extra\n  SMALL other.ini\n  lonely\n}\n" + "regionlist\n{\n  round " + dir.file("r.bmp") +
               "\n  round " + dir.file("r.bmp") + "\n}\n" + "widget Caption\n{\n  Font Small\n  FontSize 2\n}\n");
    expectLogged(
        {"Server - font with name 'SMALL' already exists", "Server - region with name 'round' already exists"});
    EXPECT_NE(server->GetRegion("ROUND"), nullptr);

    aFont* font = server->GetFont("small");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(find("Caption")->GetFont(), font);
    EXPECT_EQ(server->GetFont("lonely"), nullptr) << "a line of one word defines nothing";
}

TEST_F(ServerScript, CursorsAreCutFromTheirStripAndSwitchByNameAndByTheWidgetUnderThePointer)
{
    addImage("arrows", 24, 12);
    loadScript("cursor default\n{\n  Image arrows\n  NumFrames 2\n  FrameSize 12 12\n  FPS 5\n  HotSpot 3.7 2\n}\n"
               "cursor hand\n{\n  Image arrows\n}\ncursor Empty\n{\n  FPS 0\n}\n"
               "widget Hut\n{\n  AreaRect 0 0 100 100\n  Cursor hand\n}\n",
               true);
    GUI::MouseCursor* arrow = server->GetMouseCursor("default");
    GUI::MouseCursor* hand = server->GetMouseCursor("HAND");
    ASSERT_TRUE(arrow && hand);
    EXPECT_EQ(arrow->GetAnimation().getFrameCount(), 2u);
    EXPECT_TRUE(log.contains("MouseCursor::EndFillProperties - invalid FPS '0', 40 used"));

    server->SetMouseCursor("default");
    EXPECT_TRUE(rig.inputServer->showsAnimatedCursor());
    server->SetMouseCursor("Empty");
    EXPECT_FALSE(arrow->IsVisible());
    EXPECT_FALSE(rig.inputServer->showsAnimatedCursor()) << "no frames: the system arrow";
    server->SetMouseCursor("default");
    server->SetMouseCursor("");
    server->SetMouseCursor("nope");
    EXPECT_TRUE(log.contains("Server::GetMouseCursor - mouse cursor 'nope' not found!"));
    EXPECT_EQ(server->GetCurrentCursor(), arrow);

    // Moving over a widget switches to its cursor; one set from code shows at once under the pointer.
    hover(50, 50);
    EXPECT_EQ(server->GetCurrentCursor(), hand);
    Widget* hut = find("Hut");
    Widget* inner = add("Inner", aRect(10, 10, 20, 20), hut);
    inner->SetMouseCursor("default");
    hover(15, 15);
    EXPECT_EQ(server->GetCurrentCursor(), arrow);
    hover(50, 50);
    EXPECT_EQ(server->GetCurrentCursor(), hand) << "back to the parent's cursor";
    hut->SetMouseCursor("default");
    EXPECT_EQ(server->GetCurrentCursor(), arrow);
    inner->SetMouseCursor("hand"); // not under the pointer: nothing changes now
    EXPECT_EQ(server->GetCurrentCursor(), arrow);
}
