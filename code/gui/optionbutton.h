// GUI::OptionButton: a button that shows its caption on the left and the
// current one of a list of option texts on the right; a left click steps to
// the next option, a right click to the previous one, both wrapping round.
// The owning screen fills the list and reads the index. Made by the widget
// factory ("optionbutton"). Main thread once built.
#pragma once

#include <string>
#include <vector>

#include "gui/buttonbase.h"

namespace GUI {

class OptionButton : public ButtonBase {
public:
    static constexpr const char* EventOptionChanged = "OptionChanged";

    explicit OptionButton(const std::string& name);
    ~OptionButton() override;

    const char* GetType() const override { return "OptionButton"; }
    bool IsKindOf(const std::string& className) const override;
    void Draw() override;
    void OnClick(const MouseEventArgs& args) override;
    virtual void OnOptionChanged(const WidgetEventArgs& args);

    // -1 for none; an index past the list shows no option. Set without events.
    int32_t GetCurrentOption() const { return m_currentOption; }
    void SetCurrentOption(int32_t index) { m_currentOption = index; }
    std::vector<std::wstring>& GetOptions() { return m_options; }
    const std::vector<std::wstring>& GetOptions() const { return m_options; }

protected:
    int32_t m_currentOption = -1;
    std::vector<std::wstring> m_options;
};

} // namespace GUI
