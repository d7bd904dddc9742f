#include <gtest/gtest.h>

#include <algorithm>

#include "gui_fixture.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_imagemanager.h"
#include "support/image_files.h"

using GUI::Widget;

namespace {

class ServerScript : public kbtest::GuiTest {
protected:
    std::vector<std::string> childNames(const Widget* w) const
    {
        std::vector<std::string> names;
        for (const Widget* c : w->GetChildren())
            names.push_back(c->GetName());
        return names;
    }
};

// Remembers the order in which widgets were initialised.
class InitSpy : public Widget {
public:
    InitSpy(const std::string& name, std::vector<std::string>* order) : Widget(name), m_order(order) {}
    void Initialize() override
    {
        Widget::Initialize();
        m_order->push_back(GetName());
    }

private:
    std::vector<std::string>* m_order;
};

} // namespace

TEST_F(ServerScript, NestedWidgetsTemplatesMacrosAndIncludesBuildTheTree)
{
    kbtest::writeFile(dir.file("common.agui"), "template Base\n"
                                               "{\n"
                                               "    Visible 0\n"
                                               "}\n"
                                               "widget Footer <Base>\n"
                                               "{\n"
                                               "    AreaRect 0 700 1024 68\n"
                                               "}\n");
    loadScript("menu.agui", "; the main menu\n"
                            "#define W \"200\"\n"
                            "#include \"" +
                                dir.file("common.agui") +
                                "\"\n"
                                "style Panel\n"
                                "{\n"
                                "    TopLeft 0 0 8 8\n"
                                "}\n"
                                "template Sounded\n"
                                "{\n"
                                "    SoundClick click\n"
                                "    Tag 5\n"
                                "}\n"
                                "template Big\n"
                                "{\n"
                                "    AreaRect 0 0 $W$ 100\n"
                                "    Tag 7\n"
                                "    nested\n"
                                "    {\n"
                                "        Tag 99\n"
                                "    }\n"
                                "}\n"
                                "Widget Menu <Big>\n"
                                "{\n"
                                "    AreaRect 10 10 $W$   300\n"
                                "    Alpha 0.5\n"
                                "    widget Title\n"
                                "    {\n"
                                "        Text \"Hello   world\"\n"
                                "    }\n"
                                "    widget <Sounded> <Big>\n"
                                "    {\n"
                                "    }\n"
                                "    WIDGET x <Big>\n"
                                "    {\n"
                                "        widget Deep\n"
                                "        {\n"
                                "            HorizontalAlign right\n"
                                "        }\n"
                                "    }\n"
                                "    style Inner\n"
                                "    {\n"
                                "        Tag 3\n"
                                "    }\n"
                                "    button Start\n"
                                "    {\n"
                                "        widget Lost\n"
                                "        {\n"
                                "        }\n"
                                "    }\n"
                                "}\n");

    ASSERT_EQ(childNames(root()), (std::vector<std::string>{"Footer", "Menu"}));
    Widget* footer = root()->FindChild("footer");
    EXPECT_FALSE(footer->IsVisible());
    EXPECT_EQ(footer->GetArea(), aRect(0, 700, 1024, 68));

    Widget* menu = root()->FindChild("Menu");
    EXPECT_EQ(menu->GetArea(), aRect(10, 10, 200, 300)) << "the block's own lines override the template";
    EXPECT_EQ(menu->GetTag(), 7);
    EXPECT_FLOAT_EQ(menu->GetAlpha(), 0.5f);
    ASSERT_EQ(childNames(menu), (std::vector<std::string>{"Title", "auto0000", "auto0001"}));
    EXPECT_EQ(menu->FindChild("Title")->GetText(), L"Hello   world");

    Widget* a0 = menu->FindChild("auto0000");
    EXPECT_EQ(a0->GetTag(), 7) << "the later template wins, and the nested template block was skipped";
    EXPECT_EQ(a0->GetArea(), aRect(0, 0, 200, 100));
    Widget* a1 = menu->FindChild("auto0001");
    ASSERT_EQ(childNames(a1), (std::vector<std::string>{"Deep"}));
    EXPECT_EQ(a1->FindChild("Deep")->GetXInParent(), 200);
    EXPECT_EQ(root()->FindChild("Lost", true), nullptr);

    EXPECT_NE(server->GetStyle("panel"), nullptr);
    EXPECT_TRUE(log.contains("GUI script '" + dir.file("menu.agui") + "' parsing started"));
    EXPECT_TRUE(log.contains("GUI script '" + dir.file("menu.agui") + "' parsing finished"));
    EXPECT_TRUE(log.contains("Created new Widget 'Menu'"));
    EXPECT_TRUE(log.contains("Server - invalid template parameter 1"));
    EXPECT_TRUE(log.contains("WidgetFactory::NewWidget - cannot create widget 'Inner' of unregistered class 'style'"));
    EXPECT_TRUE(log.contains("WidgetFactory::NewWidget - cannot create widget 'Start' of unregistered class 'button'"));
    EXPECT_TRUE(log.contains("Server::NewSound - sound 'click' not found!"));
    EXPECT_FALSE(log.contains("PropertySet::Set - property 'Tag' not found")) << "no line of a skipped block is read";
}

TEST_F(ServerScript, AutomaticNamesCountAcrossScripts)
{
    loadScript("a.agui", "widget\n{\n}\nwidget <Missing>\n{\n}\n");
    loadScript("b.agui", "widget\n{\n}\n");
    EXPECT_EQ(childNames(root()), (std::vector<std::string>{"auto0000", "auto0001", "auto0002"}));
    EXPECT_TRUE(log.contains("Server::ApplyTemplate - template 'Missing' not found"));
}

TEST_F(ServerScript, HeaderMistakesAreLoggedAndTheirBlocksSkipped)
{
    loadScript("a.agui", "style\n{\n  Tag 1\n}\n"
                         "cursor\n{\n}\n"
                         "template\n{\n}\n"
                         "style S\n{\n}\n"
                         "style s\n{\n  Bogus 1\n}\n"
                         "cursor C\n{\n}\n"
                         "cursor C\n{\n}\n"
                         "template T\n{\n}\n"
                         "template T\n{\n}\n"
                         "widget Wid <T> bad <>\n{\n  Unknown 5\n}\n");
    EXPECT_TRUE(log.contains("Server - style name not specified in section header"));
    EXPECT_TRUE(log.contains("Server - mouse cursor name not specified in section header"));
    EXPECT_TRUE(log.contains("Server. Template name not specified section header"));
    EXPECT_TRUE(log.contains("Server - style 's' already exists"));
    EXPECT_TRUE(log.contains("Server - mouse cursor 'C' already exists"));
    EXPECT_TRUE(log.contains("Server - template 'T' already exists"));
    EXPECT_TRUE(log.contains("Server - invalid template parameter 2"));
    EXPECT_TRUE(log.contains("Server - invalid template parameter 3"));
    EXPECT_TRUE(log.contains("PropertySet::Set - property 'Unknown' not found"));
    EXPECT_FALSE(log.contains("PropertySet::Set - property 'Bogus' not found"));
    EXPECT_NE(root()->FindChild("Wid"), nullptr);

    // A second script with a style name that is taken.
    loadScript("b.agui", "style S\n{\n}\nwidget W2\n{\n}\n");
    EXPECT_TRUE(log.contains("Server - style 'S' already exists"));
    EXPECT_EQ(childNames(root()), (std::vector<std::string>{"Wid", "W2"}));
}

TEST_F(ServerScript, AnEmptyTemplateValueIsLookedUpAsItStands)
{
    loadScript("a.agui", "template Quiet\n{\n  SoundClick\n}\nwidget W <Quiet>\n{\n}\n");
    EXPECT_TRUE(log.contains("Server::NewSound - sound '' not found!"));
}

TEST_F(ServerScript, FontAndRegionListsRefuseTakenNames)
{
    kbtest::writeFile(dir.file("r.bmp"), kbtest::oneBitBmp({"#"}));
    kbtest::writeFile(dir.file("small.ini"), "[General]\nFormat16=4444\nFormat32=8888\nTexture=small.png\n"
                                             "[Charlist]\n41=0 0 12 18 1 0.5\n");
    kbtest::writeFile(dir.file("small.png"), kbtest::encodePng(std::vector<uint32_t>(16 * 18, 0xFFFFFFFF), 16, 18));
    loadScript("a.agui", "fontlist\n{\n  small " + dir.file("small.ini") + " extra\n  SMALL other.ini\n  lonely\n}\n" +
                             "regionlist\n{\n  round " + dir.file("r.bmp") + "\n  round " + dir.file("r.bmp") +
                             "\n}\n" + "widget Caption\n{\n  Font Small\n  FontSize 2\n}\n");
    EXPECT_TRUE(log.contains("Server - font with name 'SMALL' already exists"));
    EXPECT_TRUE(log.contains("Server - region with name 'round' already exists"));
    EXPECT_NE(server->GetRegion("ROUND"), nullptr);
    EXPECT_EQ(server->GetStyle("none"), nullptr);
    EXPECT_TRUE(log.contains("Server::GetStyle - style 'none' not found!"));

    aFont* font = server->GetFont("small");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->getCharRect(L'A'), aRect(0, 0, 12, 18)) << "read from the description file";
    Widget* caption = root()->FindChild("Caption");
    EXPECT_EQ(caption->GetFont(), font);
    EXPECT_FLOAT_EQ(caption->GetFontSize(), 2.0f);
    EXPECT_EQ(server->GetFont("lonely"), nullptr) << "a line of one word defines nothing";
}

TEST_F(ServerScript, InitializeWidgetsVisitsParentsBeforeChildrenAndLastChildFirst)
{
    std::vector<std::string> order;
    auto make = [&](const std::string& name, Widget* parent) {
        auto* w = new InitSpy(name, &order);
        parent->AddChild(w);
        return w;
    };
    Widget* a = make("A", root());
    make("A1", a);
    make("A2", a);
    make("B", root());

    auto* focus = new kbtest::FocusWidget("F");
    root()->AddChild(focus);
    server->SetFocus(focus);
    ASSERT_TRUE(focus->IsFocused());

    server->InitializeWidgets();
    EXPECT_EQ(order, (std::vector<std::string>{"B", "A", "A2", "A1"}));
    EXPECT_FALSE(focus->IsFocused());
    EXPECT_EQ(server->GetFocusWidget(), nullptr);
}

TEST_F(ServerScript, TheNewestServerIsTheSingletonAndEachClearsOnlyItself)
{
    EXPECT_EQ(GUI::Server::getSingletonPtr(), server.get());
    auto second = std::make_unique<GUI::Server>(nullptr, nullptr);
    EXPECT_EQ(GUI::Server::getSingletonPtr(), second.get());
    EXPECT_EQ(second->GetRoot()->GetArea(), aRect(0, 0, 1024, 768)) << "the root covers the game screen";
    EXPECT_EQ(second->GetRoot()->GetName(), "__root__");
    server.reset();
    EXPECT_EQ(GUI::Server::getSingletonPtr(), second.get());
    second.reset();
    EXPECT_EQ(GUI::Server::getSingletonPtr(), nullptr);
}

TEST_F(ServerScript, CursorsSwitchByNameAndTheirHotSpotIsRead)
{
    loadScript("c.agui", "cursor default\n{\n  HotSpot 3 4\n}\ncursor hand\n{\n}\n"
                         "widget W\n{\n  AreaRect 0 0 100 100\n  Cursor hand\n}\n");
    server->InitializeWidgets();
    GUI::MouseCursor* arrow = server->GetMouseCursor("default");
    GUI::MouseCursor* hand = server->GetMouseCursor("HAND");
    ASSERT_TRUE(arrow && hand);

    server->SetMouseCursor("default");
    EXPECT_TRUE(arrow->IsVisible());
    EXPECT_EQ(server->GetCurrentCursor(), arrow);
    server->SetMouseCursor("");
    server->SetMouseCursor("nope");
    EXPECT_TRUE(log.contains("Server::GetMouseCursor - mouse cursor 'nope' not found!"));
    EXPECT_EQ(server->GetCurrentCursor(), arrow);

    // Moving over the widget switches to its cursor.
    moveTo(50, 50);
    frame();
    EXPECT_EQ(server->GetCurrentCursor(), hand);
    EXPECT_FALSE(arrow->IsVisible());
    EXPECT_TRUE(hand->IsVisible());
}

TEST(WidgetFactory, ClassNamesIgnoreCase)
{
    kbtest::LogCapture log;
    GUI::WidgetFactory& factory = GUI::WidgetFactory::GetInstance();
    EXPECT_EQ(&factory, &GUI::WidgetFactory::GetInstance());
    for (const char* name : {"widget", "Widget", "WIDGET"}) {
        std::unique_ptr<Widget> w(factory.NewWidget(name, "w"));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_STREQ(w->GetType(), "Widget");
    }
    EXPECT_EQ(factory.NewWidget("button", "ok"), nullptr);
    EXPECT_TRUE(log.contains("Created new Widget 'w'"));
    EXPECT_TRUE(log.contains("WidgetFactory::NewWidget - cannot create widget 'ok' of unregistered class 'button'"));
    EXPECT_FALSE(factory.RegisterClass("WIDGET", [](const std::string&) -> Widget* { return nullptr; }))
        << "a taken name keeps its first creator";
}

TEST_F(ServerScript, ImagesComeFromTheImageManager)
{
    kbtest::writeFile(dir.file("panel.png"), kbtest::encodePng(std::vector<uint32_t>(4, 0xFF00FF00), 2, 2));
    kbtest::writeFile(dir.file("gui.lst"), "panel.png 8888 8888\n");
    aImageManager images;
    images.loadList(dir.file("gui.lst"));
    GUI::Server withImages(&images, nullptr);

    aImage* panel = withImages.GetImage("panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel, images.getImage("panel"));
    EXPECT_EQ(withImages.GetImage("nope"), nullptr);
    const auto lines = log.messages();
    const auto ours = std::find(lines.begin(), lines.end(), "GUI::Server::GetImage - image \"nope\" not found!");
    ASSERT_NE(ours, lines.end());
    EXPECT_EQ(*(ours - 1), "aImageManager. Cannot find image: nope") << "after the manager's own line";
}
