// GUI::Spinner: a numeric entry made of three children found by name: an
// edit box showing the value ("_auto_editbox") and two buttons that add or
// subtract the step ("_auto_incbtn", "_auto_decbtn"), repeating while held.
// The value stays between a minimum and a maximum and is written as a decimal
// integer, a hexadecimal integer or a float. Made by the widget factory
// ("spinner"); main thread once built.
#pragma once

#include <cstdint>
#include <string>

#include "gui/widget.h"

namespace GUI {

class Editbox;

class Spinner : public Widget {
public:
    static constexpr const char* EventMinimumValueChanged = "MinimumValueChanged";
    static constexpr const char* EventMaximumValueChanged = "MaximumValueChanged";
    static constexpr const char* EventValueChanged = "ValueChanged";
    static constexpr const char* EventStepChanged = "StepChanged";
    static constexpr const char* EventInputModeChanged = "InputModeChanged";

    enum InputMode : uint32_t {
        MODE_DECIMAL = 0,
        MODE_HEXADECIMAL = 1,
        MODE_FLOAT = 2,
    };

    explicit Spinner(const std::string& name);
    ~Spinner() override;

    // Minimum, Maximum, Step and InputMode, then Value within them.
    void EndFillProperties() override;
    const char* GetType() const override { return "Spinner"; }
    bool IsKindOf(const std::string& className) const override;
    // Binds the parts (each missing one is logged) and shows the value.
    void Initialize() override;

    // The number written in the edit box, read by the input mode; 0 when there is none.
    virtual float GetEditValue() const;
    // The value as text by the input mode; empty for an unknown mode.
    virtual std::wstring FormatValue() const;
    virtual bool OnIncrement(const EventArgs& args);
    virtual bool OnDecrement(const EventArgs& args);
    // Typing alone does not change the value.
    virtual bool OnEditTextChanged(const EventArgs& args);
    virtual void OnMinimumValueChanged(const WidgetEventArgs& args);
    virtual void OnMaximumValueChanged(const WidgetEventArgs& args);
    virtual void OnValueChanged(const WidgetEventArgs& args);
    virtual void OnStepChanged(const WidgetEventArgs& args);
    virtual void OnInputModeChanged(const WidgetEventArgs& args);

    // Clamps, shows and fires ValueChanged; nothing when equal to the value
    // before clamping, or not a number.
    void SetValue(float value);
    float GetValue() const { return m_value; }
    // The setters fire their events on a change; new limits pull the value inside.
    void SetMinimum(float minimum);
    void SetMaximum(float maximum);
    void SetStep(float step);
    void SetInputMode(uint32_t mode);
    float GetMinimum() const { return m_minimum; }
    float GetMaximum() const { return m_maximum; }
    float GetStep() const { return m_step; }
    uint32_t GetInputMode() const { return m_inputMode; }
    Editbox* GetEditbox() const { return m_editbox; }

protected:
    void showValue();

    Widget* m_incButton = nullptr;
    Widget* m_decButton = nullptr;
    Editbox* m_editbox = nullptr;
    float m_minimum = 0.0f;
    float m_maximum = 100.0f;
    float m_value = 0.0f;
    float m_step = 1.0f;
    uint32_t m_inputMode = MODE_DECIMAL;

    Property m_propMinimum;
    Property m_propMaximum;
    Property m_propValue;
    Property m_propStep;
    Property m_propInputMode;
};

} // namespace GUI
