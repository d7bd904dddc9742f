#include <gtest/gtest.h>

#include "gui/listbox.h"
#include "gui/scrollbar.h"
#include "gui_fixture.h"

using GUI::Listbox;
using GUI::MOD_CTRL;
using GUI::MOD_SHIFT;
using kbtest::Entries;
using Indexes = std::vector<int32_t>;

namespace {

// A row of a given height, ordered by its name; it notes its draws and updates.
class Item : public GUI::ListboxItem {
public:
    Item(std::string name, float height) : name(std::move(name)), height(height) {}
    void GetSize(float& w, float& h) const override
    {
        w = 50.0f;
        h = height;
    }
    void Draw(const aRect& rect) override { drawn.push_back(rect); }
    void Update(float dt) override { updated += dt; }
    bool IsGreater(const GUI::ListboxItem& other) const override { return name > static_cast<const Item&>(other).name; }
    bool IsLess(const GUI::ListboxItem& other) const override { return name < static_cast<const Item&>(other).name; }

    std::string name;
    float height;
    std::vector<aRect> drawn;
    float updated = 0.0f;
};

// Ten rows 20.5 high ("e c a j b d i f h g") in a box 80 x 60 with its vertical bar.
class ListboxTest : public kbtest::GuiTest {
protected:
    ListboxTest()
    {
        set(bar, {"Vertical 1"});
        list->Initialize();
        for (const char* name : {"e", "c", "a", "j", "b", "d", "i", "f", "h", "g"}) {
            items.push_back(std::make_unique<Item>(name, 20.5f));
            list->AddItem(items.back().get());
        }
        events.watch(list, {Listbox::EventSelectionChanged, Listbox::EventPositionChanged,
                            Listbox::EventListContentsChanged, Listbox::EventSortingModeChanged});
    }
    void click(int32_t x, int32_t y, uint32_t modifiers = 0, uint32_t button = GUI::BUTTON_LEFT)
    {
        GUI::MouseEventArgs a;
        a.widget = list;
        a.x = x;
        a.y = y;
        a.modifiers = modifiers;
        a.button = button;
        list->OnMouseDown(a);
    }
    Indexes selected() const
    {
        Indexes out;
        for (int32_t i = 0; i < list->GetItemCount(); ++i)
            if (list->GetItem(i)->IsSelected())
                out.push_back(i);
        return out;
    }

    Listbox* list = add<Listbox>("list", aRect(100, 50, 80, 60));
    GUI::Scrollbar* bar = add<GUI::Scrollbar>("list_auto_vscroll", aRect(80, 0, 10, 60), list);
    std::vector<std::unique_ptr<Item>> items;
};

} // namespace

TEST_F(ListboxTest, ClicksSelectOneRowOrWithMultiselectRangesFromTheAnchorAndBadIndexesAreRefused)
{
    // With multiselect shift selects from the anchor and ctrl toggles.
    set(list, {"Multiselect 1"});
    click(5, 25, MOD_SHIFT);
    EXPECT_EQ(selected(), Indexes{1});
    EXPECT_EQ(list->GetAnchorItem(), 1);
    click(5, 45, MOD_SHIFT);
    EXPECT_EQ(selected(), (Indexes{1, 2}));
    click(5, 5, MOD_CTRL);
    EXPECT_EQ(selected(), (Indexes{0, 1, 2}));
    click(5, 25, MOD_CTRL);
    EXPECT_EQ(selected(), (Indexes{0, 2}));
    // Deselecting the current item leaves neither a current item nor an anchor.
    EXPECT_EQ(std::pair(list->GetCurrentItem(), list->GetAnchorItem()), std::pair(-1, -1));
    click(5, 5, MOD_CTRL);
    click(5, 45, MOD_CTRL);
    EXPECT_EQ(selected(), Indexes{2}) << "a ctrl-click keeps the only selected item";

    list->SetItemSelected(-1, true);
    list->SetItemSelected(10, true);
    EXPECT_FALSE(list->IsItemSelected(-3));
    EXPECT_EQ(list->RemoveItem(-1), nullptr);
    EXPECT_EQ(selected(), Indexes{2});
    for (const char* line : {"Listbox::SetItemSelected - item index -1 is out of range",
                             "Listbox::SetItemSelected - item index 10 is out of range",
                             "Listbox::IsItemSelected - item index -3 is out of range"})
        EXPECT_TRUE(log.contains(line)) << line;

    // Without it one row at a time, by the left button only.
    set(list, {"Multiselect 0"});
    events.take();
    click(5, 25);
    EXPECT_EQ(selected(), Indexes{1});
    EXPECT_EQ(events.take(), Entries{"list:SelectionChanged"});
    click(5, 30);
    EXPECT_EQ(events.take(), Entries{}) << "clicking the only selected item changes nothing";
    click(5, 5, 0, GUI::BUTTON_RIGHT);
    EXPECT_EQ(selected(), Indexes{1});
    click(5, 45, MOD_SHIFT);
    EXPECT_EQ(selected(), Indexes{2}) << "without multiselect shift is a plain click";
    EXPECT_EQ(server->GetFocusWidget(), list);

    // The blank below the last row, and beside the rows.
    list->RemoveAllItems();
    list->AddItem(items[0].get());
    events.take();
    click(5, 40);
    EXPECT_EQ(events.take(), Entries{});
    for (auto [x, y] : {std::pair{5, 40}, {-1, 5}, {80, 5}})
        EXPECT_EQ(list->GetItemAt(x, y), -1) << x << "," << y;
}

// The gallery draws rows with margins and a selection colour.
TEST_F(ListboxTest, ClicksScrollTheRowIntoViewAndOnlyTheRowsInViewAreDrawn)
{
    // Ten rows of 20 in a box 60 high: the bar goes to 140 at most.
    list->Draw();
    EXPECT_EQ(items[0]->drawn, (std::vector<aRect>{aRect(100, 50, 80, 20)}));
    EXPECT_TRUE(items[3]->drawn.empty());

    list->OnMouseEnter(GUI::WidgetEventArgs(list));
    list->UpdateSelf(0.25f);
    EXPECT_FLOAT_EQ(items[9]->updated, 0.25f);
    EXPECT_FLOAT_EQ(list->GetHoverFade(), 1.0f) << "the widget's own update runs too";
    list->SetScrollPosition(0.0f, 50.0f);
    EXPECT_FLOAT_EQ(bar->GetValue(), 50.0f);
    EXPECT_EQ(list->GetFirstVisibleItem(), 2u);

    click(5, 55);
    EXPECT_FLOAT_EQ(list->GetScrollY(), 60.0f);
    list->SetScrollPosition(0.0f, 50.0f);
    click(5, 0);
    EXPECT_FLOAT_EQ(list->GetScrollY(), 40.0f);
    bar->SetValue(500.0f);
    EXPECT_FLOAT_EQ(list->GetScrollY(), 140.0f);

    // Content that fits scrolls nowhere.
    list->RemoveAllItems();
    EXPECT_FLOAT_EQ(list->GetScrollY(), 0.0f);
    events.take();
    list->SetScrollPosition(30.0f, 30.0f);
    EXPECT_EQ(events.take(), Entries{});
}

TEST_F(ListboxTest, SortingOrdersOnAModeChangeAndKeepsNewItemsInPlace)
{
    click(5, 5); // "e"
    set(list, {"Sorting ASCEND"});
    EXPECT_EQ(events.take(), (Entries{"list:SelectionChanged", "list:SortingModeChanged"}));
    EXPECT_EQ(list->GetCurrentItem(), 4) << "the current item follows its row";

    Item extra("cc", 10.0f);
    list->AddItem(&extra);
    EXPECT_EQ(list->GetItem(3), &extra) << "after a, b and c";
    EXPECT_EQ(list->GetCurrentItem(), 5);
    list->SetSortingMode(Listbox::SORT_DESCENDING);
    list->SetSortingMode(Listbox::SORT_DESCENDING);
    EXPECT_EQ(events.take(), (Entries{"list:ListContentsChanged", "list:SortingModeChanged"}));

    EXPECT_EQ(list->RemoveItem(list->GetCurrentItem()), items[0].get());
    EXPECT_EQ(list->GetCurrentItem(), -1);
    EXPECT_EQ(events.take(), (Entries{"list:ListContentsChanged", "list:SelectionChanged"}));
}
