// GUI::ScrollContainer: the abstract base of widgets whose content is larger
// than the widget and scrolls under two automatic scroll bars, children named
// after the widget with "_auto_hscroll" and "_auto_vscroll". It keeps the
// content size and the scroll position in step with the bars. The list box
// derives from it. Main thread once built.
#pragma once

#include "gui/widget.h"

namespace GUI {

class Scrollbar;

class ScrollContainer : public Widget {
public:
    static constexpr const char* EventPositionChanged = "PositionChanged";

    explicit ScrollContainer(const std::string& name);
    ~ScrollContainer() override;

    const char* GetType() const override { return "ScrollContainer"; }
    bool IsKindOf(const std::string& className) const override;
    // Finds the scroll bars and listens to them.
    void Initialize() override;
    // The bars' pages follow the widget's size.
    void OnSized(const WidgetEventArgs& args) override;
    void Draw() override = 0;

    // Subscribers of the bars' PositionChanged; ignored while the container moves them itself.
    virtual bool OnHorzScroll(const EventArgs& args);
    virtual bool OnVertScroll(const EventArgs& args);
    virtual void OnPositionChanged(const WidgetEventArgs& args);

    // Clamps to 0 .. content size - widget size (0 when the content fits),
    // moves the bars and fires PositionChanged; nothing when it stays.
    void SetScrollPosition(float x, float y);
    float GetScrollX() const { return m_scrollX; }
    float GetScrollY() const { return m_scrollY; }
    float GetContentWidth() const { return m_contentWidth; }
    float GetContentHeight() const { return m_contentHeight; }
    Scrollbar* GetHorzScrollbar() const { return m_horzBar; }
    Scrollbar* GetVertScrollbar() const { return m_vertBar; }

protected:
    // Gives the bars the new totals and keeps the position inside the content.
    void setContentSize(float width, float height);
    void updatePageSizes();

    Scrollbar* m_horzBar = nullptr;
    Scrollbar* m_vertBar = nullptr;
    float m_contentWidth = 0.0f;
    float m_contentHeight = 0.0f;
    float m_scrollX = 0.0f;
    float m_scrollY = 0.0f;
    bool m_updating = false;

private:
    Scrollbar* bindScrollbar(const char* suffix, Scrollbar* kept, bool vertical);
};

} // namespace GUI
