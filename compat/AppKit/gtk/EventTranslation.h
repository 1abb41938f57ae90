// Inside the AppKit stand-in: GDK's events turned into the values of NSEvents. Plain functions over
// GDK's event records; nothing here needs a display except where said.
#pragma once

#include "AppKit/standin/EventRecord.h"

#include <gdk/gdk.h>

#include <cstdint>
#include <set>

namespace qvcompat::appkit {

// The platform's modifier flags for GDK's modifier state: Ctrl is Command, Alt (Mod1) Option, Super
// (and Mod4) Control, Lock Caps Lock.
NSEventModifierFlags modifierFlagsFromGdk(unsigned gdkState);

// The platform's button number for a GDK button (1 left, 3 right, 2 middle, 8 and up the others);
// -1 for the legacy wheel buttons 4 to 7, which are not buttons.
NSInteger buttonNumberFromGdk(unsigned gdkButton);

// Counts clicks the platform's way: a press continues the count of the previous press of the same
// button when it comes within `intervalMs` and `distance` pixels (both axes) of it; any other press
// starts again at 1. A release answers the count of its press.
class ClickCounter {
public:
    ClickCounter(unsigned intervalMs, int distance) : m_intervalMs(intervalMs), m_distance(distance) {}

    NSInteger press(NSInteger button, uint32_t timeMs, double x, double y);
    NSInteger release(NSInteger button) const { return button == m_button ? m_count : 1; }

private:
    unsigned m_intervalMs;
    int m_distance;
    NSInteger m_button = -1;
    NSInteger m_count = 0;
    uint32_t m_timeMs = 0;
    double m_x = 0;
    double m_y = 0;
};

// GTK's double-click time and distance (GtkSettings of the default screen; 400 ms and 5 pixels
// without a display).
ClickCounter makeClickCounter();

// A press, release or motion over the content area; `contentHeight` flips GDK's top-left
// coordinates into window coordinates. `buttonsHeld` is GDK's state of the buttons, for motions.
tEventRecord mouseButtonEvent(const GdkEventButton& event, double contentHeight, ClickCounter& clicks);
tEventRecord mouseMotionEvent(const GdkEventMotion& event, double contentHeight);
tEventRecord mouseCrossingEvent(const GdkEventCrossing& event, double contentHeight);
// Discrete wheel steps count one line; smooth deltas pass on as they are (fractions included), in
// points times ten for touchpads (precise deltas).
tEventRecord scrollEvent(const GdkEventScroll& event, double contentHeight, bool fromTouchpad);

// Keys: which keys are down, so that X's auto-repeat (presses without releases) reads as repeats.
class KeyRepeatTracker {
public:
    // Whether the press repeats a key already down; remembers it as down.
    bool press(unsigned hardwareKeyCode) { return !m_down.insert(hardwareKeyCode).second; }
    void release(unsigned hardwareKeyCode) { m_down.erase(hardwareKeyCode); }

private:
    std::set<unsigned> m_down;
};

// Whether the keyval is one of the modifier keys (their presses and releases are flags changes).
bool isModifierKeyval(unsigned keyval);

// A key press or release. The characters come from the keyval (the private-use function-key
// characters for keys without one, the platform's control characters for Return, Backspace, Enter,
// Escape, Tab); `unshiftedKeyval` is the key's keyval with at most Shift held, for
// charactersIgnoringModifiers (0: the same as the event's). Modifier keys give NSEventTypeFlagsChanged
// with the flags after the change.
tEventRecord keyEvent(const GdkEventKey& event, unsigned unshiftedKeyval, KeyRepeatTracker& keys);

// The key's keyval with the event's group and at most Shift and Caps Lock, from the display's keymap;
// 0 without a display or for an unknown key.
unsigned unshiftedKeyvalFor(const GdkEventKey& event);

// The character NSEvent answers for a keyval: the function-key character, the control character,
// or the keyval's Unicode character; 0 for none.
char16_t characterForKeyval(unsigned keyval);

}  // namespace qvcompat::appkit
