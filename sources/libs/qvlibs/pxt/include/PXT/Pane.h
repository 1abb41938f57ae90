// The host of a widget tree, as far as the style states need it: which widget the pointer is over,
// which is pressed (and whether the left button is down), which has the focus and which takes text
// input, and the pane's own style sheet. Mouse routing, timers, layout and painting come with the
// rest of the pane. The pane does not own the widgets it names; a widget leaving the pane clears
// its references (onWidgetRemoved).
#pragma once

namespace QV::PXT {

class StyleSheet;
class Widget;

class Pane {
public:
    Pane() = default;
    Pane(const Pane&) = delete;
    Pane& operator=(const Pane&) = delete;

    Widget* getOverWidget() const { return m_over; }
    Widget* getPressedWidget() const { return m_pressed; }
    Widget* getFocusWidget() const { return m_focus; }
    Widget* getInputWidget() const { return m_input; }
    // Mouse button 1 (left) is recorded as pressed.
    bool isLeftButtonDown() const { return m_leftButtonDown; }

    void setOverWidget(Widget* widget) { m_over = widget; }
    void setPressedWidget(Widget* widget, bool leftButtonDown)
    {
        m_pressed = widget;
        m_leftButtonDown = leftButtonDown;
    }
    void setFocusWidget(Widget* widget) { m_focus = widget; }
    void setInputWidget(Widget* widget) { m_input = widget; }

    // The pane's own sheet; none in this system, so lookups use the manager's default sheet.
    StyleSheet* getStyleSheet() const { return nullptr; }

    // Forgets every reference to a widget that leaves the pane.
    void onWidgetRemoved(const Widget& widget)
    {
        if (m_over == &widget)
            m_over = nullptr;
        if (m_pressed == &widget)
            m_pressed = nullptr;
        if (m_focus == &widget)
            m_focus = nullptr;
        if (m_input == &widget)
            m_input = nullptr;
    }

private:
    Widget* m_over = nullptr;
    Widget* m_pressed = nullptr;
    Widget* m_focus = nullptr;
    Widget* m_input = nullptr;
    bool m_leftButtonDown = false;
};

}  // namespace QV::PXT
