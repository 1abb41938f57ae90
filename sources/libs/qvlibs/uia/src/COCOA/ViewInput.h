// The content view's translation rules for mouse, wheel and editing-command input: plain functions
// and small records over values, so that they are checked without a display. View.cpp applies them
// to the platform's events.
#pragma once

#include "UIA/EventData.h"

#include <cstdint>
#include <optional>

namespace QV::UIA::COCOA::ViewInput {

// A button event as the window receives it.
struct tButton {
    eMouseButton button;
    eMouseButtonState state;
    uint32_t modifiers;  // eModifier* bits
};

// A press of `pressed` (left, right or middle) with the platform's click count: a double-click when
// the same button was pressed last and the count is even. A left press with Control is a right press
// without the Control bit (a one-button mouse's secondary click).
tButton press(eMouseButton pressed, long clickCount, eMouseButton lastPressed, uint32_t modifiers);

// The release of the button whose press gave `pressReported`: the release names the same button,
// whatever the modifiers are now; a press that Control turned into a right press ends with a right
// release without the Control bit.
tButton release(eMouseButton physical, eMouseButton pressReported, uint32_t modifiers);

// The wheel deltas of one axis. Precise (touchpad) scrolling comes in fractions of a step: they add
// up until whole steps are reached, so that slow scrolling still scrolls.
class ScrollAccumulator {
public:
    // Adds the delta; answers the whole steps due now (0 for none) and keeps the rest.
    int take(double delta);

private:
    double m_remainder = 0;
};

// An editing command of the system's key bindings, by the selector's name ("moveLeft:",
// "moveRightAndModifySelection:", "deleteBackward:", ...); none for selectors outside the table.
struct tKeyCommand {
    eKeyCommand command;
    bool extendSelection;
};
std::optional<tKeyCommand> keyCommandFor(const char* selectorName);

}  // namespace QV::UIA::COCOA::ViewInput
