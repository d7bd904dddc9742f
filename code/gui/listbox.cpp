#include "gui/listbox.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/scrollbar.h"
#include "gui/viewportclip.h"
#include "orvo/app/a_caselessless.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/util/a_log.h"

namespace GUI {

namespace {

int16_t clamp16(int64_t v)
{
    return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

uint16_t clampU16(int64_t v)
{
    return static_cast<uint16_t>(std::clamp<int64_t>(v, 0, UINT16_MAX));
}

} // namespace

Listbox::Listbox(const std::string& name) : ScrollContainer(name)
{
    AddProperty("Sorting", &m_propSorting);
    AddProperty("Multiselect", &m_propMultiselect);
    AddProperty("Bounds", &m_propBounds);
    AddProperty("SelectionColor", &m_propSelectionColor);
    AddEvent(EventListContentsChanged);
    AddEvent(EventSelectionChanged);
    AddEvent(EventSortingModeChanged);
    AddEvent(EventMultiselectModeChanged);
}

Listbox::~Listbox() = default;

bool Listbox::IsKindOf(const std::string& className) const
{
    return className == "Listbox" || ScrollContainer::IsKindOf(className);
}

void Listbox::EndFillProperties()
{
    ScrollContainer::EndFillProperties();
    if (m_propSorting.changed) {
        const std::string& word = m_propSorting.value;
        SetSortingMode(caseless_equal(word, "ascend")    ? SORT_ASCENDING
                       : caseless_equal(word, "descend") ? SORT_DESCENDING
                                                         : SORT_NONE);
    }
    if (m_propMultiselect.changed)
        SetMultiselect(m_propMultiselect.AsBool());
    if (m_propBounds.changed) {
        unsigned left = 0, right = 0, top = 0, bottom = 0;
        std::sscanf(m_propBounds.value.c_str(), "%x %x %x %x", &left, &right, &top, &bottom);
        // Margins beyond any widget's size are bad data; they stay within 16 bits.
        m_leftMargin = clampU16(left);
        m_rightMargin = clampU16(right);
        m_topMargin = clampU16(top);
        m_bottomMargin = clampU16(bottom);
        UpdateContent();
    }
    if (m_propSelectionColor.changed)
        m_selectionColor = ColorF::FromARGB(m_propSelectionColor.AsColor());
}

void Listbox::Initialize()
{
    ScrollContainer::Initialize();
    updatePageSizes();
    UpdateContent();
}

int32_t Listbox::RowHeight(const ListboxItem& item) const
{
    float width = 0.0f, height = 0.0f;
    item.GetSize(width, height);
    const float h = std::isfinite(height) ? std::clamp(height, 0.0f, 32767.0f) : 0.0f;
    return std::max(0, static_cast<int32_t>(h) + m_topMargin + m_bottomMargin);
}

ListboxItem* Listbox::GetItem(int32_t index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_items.size() ? m_items[static_cast<size_t>(index)] : nullptr;
}

bool Listbox::validIndex(int32_t index, const char* operation) const
{
    if (index >= 0 && static_cast<size_t>(index) < m_items.size())
        return true;
    a_log("Listbox::%s - item index %i is out of range", operation, index);
    return false;
}

bool Listbox::IsItemSelected(int32_t index) const
{
    return validIndex(index, "IsItemSelected") && m_items[static_cast<size_t>(index)]->IsSelected();
}

void Listbox::SetItemSelected(int32_t index, bool selected)
{
    if (!validIndex(index, "SetItemSelected"))
        return;
    ListboxItem* item = m_items[static_cast<size_t>(index)];
    if (item->IsSelected() == selected)
        return;
    item->SetSelected(selected);
    OnSelectionChanged(WidgetEventArgs(this));
}

uint32_t Listbox::GetSelectedCount() const
{
    return static_cast<uint32_t>(
        std::count_if(m_items.begin(), m_items.end(), [](const ListboxItem* i) { return i->IsSelected(); }));
}

void Listbox::ClearSelection(bool notify)
{
    bool any = false;
    for (ListboxItem* item : m_items) {
        any = any || item->IsSelected();
        item->SetSelected(false);
    }
    m_current = -1;
    if (any && notify)
        OnSelectionChanged(WidgetEventArgs(this));
}

int32_t Listbox::GetItemAt(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= m_area.width || y >= m_area.height || m_firstVisible >= m_items.size())
        return -1;
    int64_t bottom = m_firstVisibleOffset;
    for (size_t i = m_firstVisible; i < m_items.size(); ++i) {
        bottom += RowHeight(*m_items[i]);
        if (y < bottom)
            return static_cast<int32_t>(i);
    }
    return -1;
}

void Listbox::sortItems()
{
    if (m_sortingMode != SORT_ASCENDING && m_sortingMode != SORT_DESCENDING)
        return;
    ListboxItem* current = GetItem(m_current);
    ListboxItem* anchor = GetItem(m_anchor);
    // NOTE: a merge sort, so that items whose orders contradict each other
    // can only come out in some order, never make the sort read past the list.
    if (m_sortingMode == SORT_ASCENDING)
        std::stable_sort(m_items.begin(), m_items.end(),
                         [](const ListboxItem* a, const ListboxItem* b) { return a->IsLess(*b); });
    else
        std::stable_sort(m_items.begin(), m_items.end(),
                         [](const ListboxItem* a, const ListboxItem* b) { return a->IsGreater(*b); });
    // Current and anchor follow their items to their new places.
    auto indexOf = [&](const ListboxItem* item) {
        const auto it = std::find(m_items.begin(), m_items.end(), item);
        return item && it != m_items.end() ? static_cast<int32_t>(it - m_items.begin()) : -1;
    };
    m_current = indexOf(current);
    m_anchor = indexOf(anchor);
}

void Listbox::SetSortingMode(uint32_t mode)
{
    if (mode == m_sortingMode)
        return;
    m_sortingMode = mode;
    sortItems();
    findFirstVisible();
    OnSortingModeChanged(WidgetEventArgs(this));
}

void Listbox::SetMultiselect(bool multiselect)
{
    if (multiselect == m_multiselect)
        return;
    m_multiselect = multiselect;
    OnMultiselectModeChanged(WidgetEventArgs(this));
}

void Listbox::UpdateContent()
{
    float width = 0.0f, height = 0.0f;
    for (const ListboxItem* item : m_items) {
        float w = 0.0f, h = 0.0f;
        item->GetSize(w, h);
        if (std::isfinite(w))
            width = std::max(width, w + static_cast<float>(m_leftMargin + m_rightMargin));
        height += static_cast<float>(RowHeight(*item));
    }
    if (m_firstVisible >= m_items.size()) {
        m_firstVisible = 0;
        m_firstVisibleOffset = 0;
    }
    setContentSize(width, height);
    findFirstVisible();
}

void Listbox::AddItem(ListboxItem* item)
{
    if (!item)
        return;
    auto at = m_items.end();
    if (m_sortingMode == SORT_ASCENDING)
        at = std::upper_bound(m_items.begin(), m_items.end(), item,
                              [](const ListboxItem* a, const ListboxItem* b) { return a->IsLess(*b); });
    else if (m_sortingMode == SORT_DESCENDING)
        at = std::upper_bound(m_items.begin(), m_items.end(), item,
                              [](const ListboxItem* a, const ListboxItem* b) { return a->IsGreater(*b); });
    const auto index = static_cast<int32_t>(at - m_items.begin());
    m_items.insert(at, item);
    if (m_current >= index)
        ++m_current;
    if (m_anchor >= index)
        ++m_anchor;
    UpdateContent();
    OnListContentsChanged(WidgetEventArgs(this));
}

ListboxItem* Listbox::RemoveItem(int32_t index)
{
    ListboxItem* item = GetItem(index);
    if (!item)
        return nullptr;
    m_items.erase(m_items.begin() + index);
    auto follow = [index](int32_t& i) {
        if (i == index)
            i = -1;
        else if (i > index)
            --i;
    };
    follow(m_current);
    follow(m_anchor);
    UpdateContent();
    OnListContentsChanged(WidgetEventArgs(this));
    if (item->IsSelected())
        OnSelectionChanged(WidgetEventArgs(this));
    return item;
}

void Listbox::RemoveAllItems()
{
    if (m_items.empty())
        return;
    const bool anySelected = GetSelectedCount() > 0;
    m_items.clear();
    m_current = m_anchor = -1;
    UpdateContent();
    OnListContentsChanged(WidgetEventArgs(this));
    if (anySelected)
        OnSelectionChanged(WidgetEventArgs(this));
}

void Listbox::findFirstVisible()
{
    int64_t top = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const int64_t bottom = top + RowHeight(*m_items[i]);
        if (m_scrollY < static_cast<float>(bottom)) {
            m_firstVisible = static_cast<uint32_t>(i);
            m_firstVisibleOffset = static_cast<int32_t>(static_cast<float>(top) - m_scrollY);
            return;
        }
        top = bottom;
    }
}

void Listbox::OnPositionChanged(const WidgetEventArgs& args)
{
    findFirstVisible();
    ScrollContainer::OnPositionChanged(args);
}

void Listbox::scrollIntoView(int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_items.size() || static_cast<uint32_t>(index) < m_firstVisible)
        return;
    if (static_cast<uint32_t>(index) == m_firstVisible) {
        if (m_firstVisibleOffset != 0)
            SetScrollPosition(m_scrollX, m_scrollY + static_cast<float>(m_firstVisibleOffset));
        return;
    }
    int64_t bottom = m_firstVisibleOffset;
    for (size_t i = m_firstVisible; i <= static_cast<size_t>(index); ++i)
        bottom += RowHeight(*m_items[i]);
    if (bottom > m_area.height)
        SetScrollPosition(m_scrollX, m_scrollY + static_cast<float>(bottom - m_area.height));
}

void Listbox::OnMouseDown(const MouseEventArgs& args)
{
    const int32_t index = args.button == BUTTON_LEFT ? GetItemAt(args.x, args.y) : -1;
    if (index < 0) {
        ScrollContainer::OnMouseDown(args);
        return;
    }
    const bool shift = (args.modifiers & MOD_SHIFT) != 0;
    const bool ctrl = (args.modifiers & MOD_CTRL) != 0;
    const bool selected = m_items[static_cast<size_t>(index)]->IsSelected();
    if (!m_multiselect || (!shift && !ctrl)) {
        if (!selected || GetSelectedCount() >= 2) {
            ClearSelection(false);
            m_current = m_anchor = index;
            SetItemSelected(index, true);
        }
    } else if (!ctrl) {
        if (m_anchor < 0)
            m_anchor = index;
        const int32_t from = std::min(m_anchor, index), to = std::max(m_anchor, index);
        for (int32_t i = 0; i < GetItemCount(); ++i)
            m_items[static_cast<size_t>(i)]->SetSelected(i >= from && i <= to);
        m_current = index;
        OnSelectionChanged(WidgetEventArgs(this));
    } else if (!selected) {
        m_current = m_anchor = index;
        SetItemSelected(index, true);
    } else if (GetSelectedCount() >= 2) {
        m_current = m_anchor = -1;
        SetItemSelected(index, false);
    }
    scrollIntoView(index);
    ScrollContainer::OnMouseDown(args);
}

void Listbox::UpdateSelf(float dt)
{
    for (ListboxItem* item : m_items)
        item->Update(dt);
    ScrollContainer::UpdateSelf(dt);
}

void Listbox::DrawItemSelection(const aRect& rect)
{
    if (!m_gdi)
        m_gdi = std::make_unique<aGDI>();
    m_gdi->color = m_selectionColor.ToARGB();
    m_gdi->drawRect16(rect, true);
}

void Listbox::Draw()
{
    const aRect screen = GetAbsoluteRect();
    const ViewportClip clip(screen);
    const auto x = static_cast<int64_t>(std::trunc(static_cast<float>(screen.x) - m_scrollX));
    int64_t y = screen.y + m_firstVisibleOffset;
    const int64_t bottom = screen.y + screen.height;
    for (size_t i = m_firstVisible; i < m_items.size() && y < bottom; ++i) {
        ListboxItem* item = m_items[i];
        const int32_t height = RowHeight(*item);
        const aRect row(clamp16(x), clamp16(y), screen.width, clampU16(height));
        if (item->IsSelected())
            DrawItemSelection(row);
        item->Draw(aRect(clamp16(x + m_leftMargin), clamp16(y + m_topMargin),
                         clampU16(int64_t(screen.width) - m_leftMargin - m_rightMargin),
                         clampU16(int64_t(height) - m_topMargin - m_bottomMargin)));
        y += height;
    }
}

void Listbox::OnListContentsChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventListContentsChanged, args);
}

void Listbox::OnSelectionChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventSelectionChanged, args);
}

void Listbox::OnSortingModeChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventSortingModeChanged, args);
}

void Listbox::OnMultiselectModeChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventMultiselectModeChanged, args);
}

} // namespace GUI
