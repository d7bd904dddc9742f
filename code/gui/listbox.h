// GUI::Listbox: a vertical list of items that draw themselves, in rows under
// a vertical scroll bar, with single or multiple selection by mouse, optional
// sorting and a selection colour. The items belong to the caller; the list
// only points at them. Made by the widget factory ("listbox"); main thread once built.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/color.h"
#include "gui/listboxitem.h"
#include "gui/scrollcontainer.h"

class aGDI;

namespace GUI {

class Listbox : public ScrollContainer {
public:
    static constexpr const char* EventListContentsChanged = "ListContentsChanged";
    static constexpr const char* EventSelectionChanged = "SelectionChanged";
    static constexpr const char* EventSortingModeChanged = "SortingModeChanged";
    static constexpr const char* EventMultiselectModeChanged = "MultiselectModeChanged";

    enum SortingMode : uint32_t {
        SORT_ASCENDING = 0,
        SORT_DESCENDING = 1,
        SORT_NONE = 2,
    };

    explicit Listbox(const std::string& name);
    ~Listbox() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "Listbox"; }
    bool IsKindOf(const std::string& className) const override;
    void Initialize() override;
    void Draw() override;
    // Each item's update, then the widget's.
    void UpdateSelf(float dt) override;
    bool IsFocusable() const override { return true; }
    // Selection by the left button, then the widget's (focus, clicks).
    void OnMouseDown(const MouseEventArgs& args) override;
    // Finds the first visible row again, then fires PositionChanged.
    void OnPositionChanged(const WidgetEventArgs& args) override;

    // Fills the row with the selection colour.
    virtual void DrawItemSelection(const aRect& rect);
    virtual void OnListContentsChanged(const WidgetEventArgs& args);
    virtual void OnSelectionChanged(const WidgetEventArgs& args);
    virtual void OnSortingModeChanged(const WidgetEventArgs& args);
    virtual void OnMultiselectModeChanged(const WidgetEventArgs& args);

    // Out-of-range indexes (negative ones too) are logged and change nothing.
    bool IsItemSelected(int32_t index) const;
    void SetItemSelected(int32_t index, bool selected);
    uint32_t GetSelectedCount() const;
    // Deselects everything; current goes, the anchor stays.
    void ClearSelection(bool notify);
    // The item under a point relative to the widget, or -1.
    int32_t GetItemAt(int32_t x, int32_t y) const;
    void SetSortingMode(uint32_t mode);
    uint32_t GetSortingMode() const { return m_sortingMode; }
    void SetMultiselect(bool multiselect);
    bool IsMultiselect() const { return m_multiselect; }

    // Adds an item (at its sorted place when the list sorts); null is ignored.
    void AddItem(ListboxItem* item);
    // Takes the item at the index off the list and gives it back (null when out of range).
    ListboxItem* RemoveItem(int32_t index);
    void RemoveAllItems();
    // Re-measures the items after they changed size.
    void UpdateContent();
    ListboxItem* GetItem(int32_t index) const;
    int32_t GetItemCount() const { return static_cast<int32_t>(m_items.size()); }
    int32_t GetCurrentItem() const { return m_current; }
    int32_t GetAnchorItem() const { return m_anchor; }
    uint32_t GetFirstVisibleItem() const { return m_firstVisible; }
    int32_t GetFirstVisibleOffset() const { return m_firstVisibleOffset; }
    // Row height of an item: its height truncated plus the top and bottom margins.
    int32_t RowHeight(const ListboxItem& item) const;

protected:
    void findFirstVisible();
    void sortItems();
    void scrollIntoView(int32_t index);
    bool validIndex(int32_t index, const char* operation) const;

    std::vector<ListboxItem*> m_items;
    uint32_t m_sortingMode = SORT_NONE;
    bool m_multiselect = false;
    int32_t m_rightMargin = 0;
    int32_t m_leftMargin = 0;
    int32_t m_bottomMargin = 0;
    int32_t m_topMargin = 0;
    int32_t m_current = -1;
    int32_t m_anchor = -1;
    uint32_t m_firstVisible = 0;
    int32_t m_firstVisibleOffset = 0;
    ColorF m_selectionColor{1.0f, 1.0f, 1.0f, 1.0f};

    Property m_propSorting;
    Property m_propMultiselect;
    Property m_propBounds;
    Property m_propSelectionColor;

private:
    std::unique_ptr<aGDI> m_gdi; // made at the first selection drawn
};

} // namespace GUI
