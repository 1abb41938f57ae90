// NSEvent values made from GDK's event records: buttons and click counts, motion, scrolling, keys.
#include "AppKit/gtk/EventTranslation.h"
#include "AppKit/standin/Windowing.h"
#include "Carbon/VirtualKeyCodes.h"

#include <gtest/gtest.h>

#include <vector>

namespace qvcompat::appkit {
namespace {

GdkEventButton button(GdkEventType type, unsigned number, uint32_t time, double x, double y, unsigned state = 0)
{
    GdkEventButton event{};
    event.type = type;
    event.button = number;
    event.time = time;
    event.x = x;
    event.y = y;
    event.state = state;
    return event;
}

TEST(ClickCountTest, CountsPressesOfOneButtonWithinTimeAndDistance)
{
    struct tPress {
        unsigned button;
        uint32_t time;
        double x, y;
        NSInteger expected;
    };
    // GTK's defaults: 400 ms, 5 pixels.
    const std::vector<tPress> presses = {
        {1, 1000, 10, 10, 1},  // first
        {1, 1300, 12, 13, 2},  // within both
        {1, 1650, 14, 15, 3},  // measured from the previous press
        {1, 2100, 14, 15, 1},  // too late
        {1, 2200, 20, 15, 1},  // too far
        {3, 2300, 20, 15, 1},  // another button starts again
        {1, 2400, 20, 15, 1},  // and so does the first one afterwards
        {1, 2800, 20, 15, 2},  // exactly at the interval still counts
    };
    ClickCounter clicks(400, 5);
    for (const tPress& press : presses) {
        const GdkEventButton event = button(GDK_BUTTON_PRESS, press.button, press.time, press.x, press.y);
        EXPECT_EQ(mouseButtonEvent(event, 100, clicks).clickCount, press.expected) << "press at " << press.time;
    }
}

TEST(ClickCountTest, ReleaseCarriesTheCountOfItsPress)
{
    ClickCounter clicks(400, 5);
    mouseButtonEvent(button(GDK_BUTTON_PRESS, 1, 0, 1, 1), 100, clicks);
    mouseButtonEvent(button(GDK_BUTTON_RELEASE, 1, 50, 1, 1), 100, clicks);
    EXPECT_EQ(mouseButtonEvent(button(GDK_BUTTON_PRESS, 1, 200, 1, 1), 100, clicks).clickCount, 2);
    EXPECT_EQ(mouseButtonEvent(button(GDK_BUTTON_RELEASE, 1, 900, 1, 1), 100, clicks).clickCount, 2);
}

TEST(MouseEventTest, ButtonsTypesAndWindowCoordinates)
{
    struct tCase {
        GdkEventType type;
        unsigned button;
        NSEventType expected;
        NSInteger number;
    };
    const tCase cases[] = {
        {GDK_BUTTON_PRESS, 1, NSEventTypeLeftMouseDown, 0},  {GDK_BUTTON_RELEASE, 1, NSEventTypeLeftMouseUp, 0},
        {GDK_BUTTON_PRESS, 3, NSEventTypeRightMouseDown, 1}, {GDK_BUTTON_RELEASE, 3, NSEventTypeRightMouseUp, 1},
        {GDK_BUTTON_PRESS, 2, NSEventTypeOtherMouseDown, 2}, {GDK_BUTTON_RELEASE, 2, NSEventTypeOtherMouseUp, 2},
        {GDK_BUTTON_PRESS, 8, NSEventTypeOtherMouseDown, 3},
    };
    for (const tCase& c : cases) {
        ClickCounter clicks(400, 5);
        const tEventRecord record = mouseButtonEvent(button(c.type, c.button, 5, 30.5, 20, 0), 335, clicks);
        EXPECT_EQ(record.type, c.expected) << c.button;
        EXPECT_EQ(record.buttonNumber, c.number) << c.button;
        EXPECT_DOUBLE_EQ(record.locationInWindow.x, 30.5);
        EXPECT_DOUBLE_EQ(record.locationInWindow.y, 315);  // flipped: 335 - 20
        EXPECT_DOUBLE_EQ(record.timestamp, 0.005);
    }
    EXPECT_EQ(buttonNumberFromGdk(4), -1);  // a legacy wheel button is no button
}

TEST(MouseEventTest, ControlClickKeepsTheControlFlagOnPressAndRelease)
{
    // Super is the platform's Control key; a left click with it stays a left click with Control, on
    // the press and on the release, whatever is held when the button comes up.
    ClickCounter clicks(400, 5);
    const tEventRecord press = mouseButtonEvent(button(GDK_BUTTON_PRESS, 1, 0, 1, 1, GDK_SUPER_MASK), 10, clicks);
    EXPECT_EQ(press.type, NSEventTypeLeftMouseDown);
    EXPECT_EQ(press.modifierFlags, NSEventModifierFlagControl);
    const tEventRecord release = mouseButtonEvent(button(GDK_BUTTON_RELEASE, 1, 10, 1, 1, 0), 10, clicks);
    EXPECT_EQ(release.type, NSEventTypeLeftMouseUp);
    EXPECT_EQ(release.buttonNumber, 0);
    EXPECT_EQ(release.modifierFlags, 0u);
}

TEST(MouseEventTest, ModifierFlagsFromGdkState)
{
    struct tCase {
        unsigned state;
        NSEventModifierFlags flags;
    };
    const tCase cases[] = {
        {GDK_SHIFT_MASK, NSEventModifierFlagShift},
        {GDK_CONTROL_MASK, NSEventModifierFlagCommand},
        {GDK_MOD1_MASK, NSEventModifierFlagOption},
        {GDK_SUPER_MASK, NSEventModifierFlagControl},
        {GDK_MOD4_MASK, NSEventModifierFlagControl},
        {GDK_LOCK_MASK, NSEventModifierFlagCapsLock},
        {GDK_BUTTON1_MASK | GDK_MOD2_MASK, 0},  // buttons and Num Lock are no modifiers
        {GDK_SHIFT_MASK | GDK_CONTROL_MASK, NSEventModifierFlagShift | NSEventModifierFlagCommand},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(modifierFlagsFromGdk(c.state), c.flags) << std::hex << c.state;
}

TEST(MouseEventTest, MotionIsADragOfTheLowestButtonHeld)
{
    struct tCase {
        unsigned state;
        NSEventType type;
    };
    const tCase cases[] = {
        {0, NSEventTypeMouseMoved},
        {GDK_BUTTON1_MASK, NSEventTypeLeftMouseDragged},
        {GDK_BUTTON3_MASK, NSEventTypeRightMouseDragged},
        {GDK_BUTTON2_MASK, NSEventTypeOtherMouseDragged},
        {GDK_BUTTON1_MASK | GDK_BUTTON3_MASK, NSEventTypeLeftMouseDragged},
    };
    for (const tCase& c : cases) {
        GdkEventMotion motion{};
        motion.type = GDK_MOTION_NOTIFY;
        motion.state = c.state;
        motion.x = 4;
        motion.y = 6;
        const tEventRecord record = mouseMotionEvent(motion, 100);
        EXPECT_EQ(record.type, c.type) << c.state;
        EXPECT_DOUBLE_EQ(record.locationInWindow.y, 94);
    }
}

TEST(ScrollEventTest, DeltasKeepTheirFractionsAndThePlatformsDirection)
{
    struct tCase {
        GdkScrollDirection direction;
        double dx, dy;
        bool touchpad;
        double deltaX, deltaY, scrollingY;
        bool precise;
    };
    const tCase cases[] = {
        {GDK_SCROLL_UP, 0, 0, false, 0, 1, 1, false},
        {GDK_SCROLL_DOWN, 0, 0, false, 0, -1, -1, false},
        {GDK_SCROLL_LEFT, 0, 0, false, 1, 0, 0, false},
        {GDK_SCROLL_SMOOTH, 0, 0.25, false, 0, -0.25, -0.25, false},  // a quarter line down
        {GDK_SCROLL_SMOOTH, -0.5, -0.1, true, 0.5, 0.1, 1.0, true},   // touchpad: points
    };
    for (const tCase& c : cases) {
        GdkEventScroll scroll{};
        scroll.type = GDK_SCROLL;
        scroll.direction = c.direction;
        scroll.delta_x = c.dx;
        scroll.delta_y = c.dy;
        const tEventRecord record = scrollEvent(scroll, 100, c.touchpad);
        EXPECT_EQ(record.type, NSEventTypeScrollWheel);
        EXPECT_DOUBLE_EQ(record.deltaX, c.deltaX);
        EXPECT_DOUBLE_EQ(record.deltaY, c.deltaY);
        EXPECT_DOUBLE_EQ(record.scrollingDeltaY, c.scrollingY);
        EXPECT_EQ(record.preciseScrolling, c.precise);
    }
}

GdkEventKey key(GdkEventType type, unsigned keyval, unsigned hardware, unsigned state = 0)
{
    GdkEventKey event{};
    event.type = type;
    event.keyval = keyval;
    event.hardware_keycode = static_cast<guint16>(hardware);
    event.state = state;
    event.time = 1000;
    return event;
}

TEST(KeyEventTest, KeyCodesCharactersAndFlags)
{
    // X key codes of a PC keyboard (evdev): A 38, Return 36, BackSpace 22, Left 113, F1 67, Delete 119,
    // KP_1 87, Escape 9, Tab 23.
    struct tCase {
        unsigned keyval;
        unsigned hardware;
        unsigned state;
        unsigned short keyCode;
        char16_t character;
        char16_t unmodified;
        NSEventModifierFlags flags;
    };
    const tCase cases[] = {
        {GDK_KEY_a, 38, 0, 0, u'a', u'a', 0},
        {GDK_KEY_A, 38, GDK_SHIFT_MASK, 0, u'A', u'A', NSEventModifierFlagShift},
        {GDK_KEY_a, 38, GDK_CONTROL_MASK, 0, u'a', u'a', NSEventModifierFlagCommand},  // Command-A
        {GDK_KEY_a, 38, GDK_SUPER_MASK, 0, 0x01, u'a', NSEventModifierFlagControl},    // Control-A
        {GDK_KEY_Return, 36, 0, 36, u'\r', u'\r', 0},
        {GDK_KEY_BackSpace, 22, 0, 51, 0x7F, 0x7F, 0},
        {GDK_KEY_Escape, 9, 0, 53, 0x1B, 0x1B, 0},
        {GDK_KEY_Tab, 23, 0, 48, u'\t', u'\t', 0},
        {GDK_KEY_Left, 113, 0, 123, NSLeftArrowFunctionKey, NSLeftArrowFunctionKey,
         NSEventModifierFlagFunction | NSEventModifierFlagNumericPad},
        {GDK_KEY_F1, 67, 0, 122, NSF1FunctionKey, NSF1FunctionKey, NSEventModifierFlagFunction},
        {GDK_KEY_Delete, 119, 0, 117, NSDeleteFunctionKey, NSDeleteFunctionKey, NSEventModifierFlagFunction},
        {GDK_KEY_KP_1, 87, 0, 83, u'1', u'1', NSEventModifierFlagNumericPad},
    };
    for (const tCase& c : cases) {
        KeyRepeatTracker keys;
        const tEventRecord record = keyEvent(key(GDK_KEY_PRESS, c.keyval, c.hardware, c.state), 0, keys);
        EXPECT_EQ(record.type, NSEventTypeKeyDown) << c.keyval;
        EXPECT_EQ(record.keyCode, c.keyCode) << c.keyval;
        EXPECT_EQ(record.characters, std::u16string(1, c.character)) << c.keyval;
        EXPECT_EQ(record.charactersIgnoringModifiers, std::u16string(1, c.unmodified)) << c.keyval;
        EXPECT_EQ(record.modifierFlags, c.flags) << c.keyval;
    }
}

TEST(KeyEventTest, CharactersIgnoringModifiersComeFromTheUnshiftedKey)
{
    KeyRepeatTracker keys;
    // Option-e (AltGr-e on a layout with the euro there): the key itself is 'e'.
    const tEventRecord record = keyEvent(key(GDK_KEY_PRESS, GDK_KEY_EuroSign, 26, GDK_MOD1_MASK), GDK_KEY_e, keys);
    EXPECT_EQ(record.characters, std::u16string(1, u'\u20AC'));
    EXPECT_EQ(record.charactersIgnoringModifiers, u"e");
    EXPECT_EQ(record.keyCode, 14);
}

TEST(KeyEventTest, PressesWithoutReleaseAreRepeats)
{
    KeyRepeatTracker keys;
    EXPECT_FALSE(keyEvent(key(GDK_KEY_PRESS, GDK_KEY_a, 38), 0, keys).isARepeat);
    EXPECT_TRUE(keyEvent(key(GDK_KEY_PRESS, GDK_KEY_a, 38), 0, keys).isARepeat);
    EXPECT_FALSE(keyEvent(key(GDK_KEY_PRESS, GDK_KEY_b, 56), 0, keys).isARepeat);  // another key
    const tEventRecord up = keyEvent(key(GDK_KEY_RELEASE, GDK_KEY_a, 38), 0, keys);
    EXPECT_EQ(up.type, NSEventTypeKeyUp);
    EXPECT_FALSE(up.isARepeat);
    EXPECT_FALSE(keyEvent(key(GDK_KEY_PRESS, GDK_KEY_a, 38), 0, keys).isARepeat);
}

TEST(KeyEventTest, ModifierKeysAreFlagsChangesWithTheStateAfterTheKey)
{
    struct tCase {
        GdkEventType type;
        unsigned keyval;
        unsigned hardware;
        unsigned stateBefore;
        NSEventModifierFlags after;
    };
    const tCase cases[] = {
        {GDK_KEY_PRESS, GDK_KEY_Shift_L, 50, 0, NSEventModifierFlagShift},
        {GDK_KEY_RELEASE, GDK_KEY_Shift_L, 50, GDK_SHIFT_MASK, 0},
        {GDK_KEY_PRESS, GDK_KEY_Control_L, 37, GDK_SHIFT_MASK, NSEventModifierFlagShift | NSEventModifierFlagCommand},
        {GDK_KEY_PRESS, GDK_KEY_Alt_L, 64, 0, NSEventModifierFlagOption},
        {GDK_KEY_PRESS, GDK_KEY_Super_L, 133, 0, NSEventModifierFlagControl},
        {GDK_KEY_PRESS, GDK_KEY_Caps_Lock, 66, 0, NSEventModifierFlagCapsLock},
        {GDK_KEY_PRESS, GDK_KEY_Caps_Lock, 66, GDK_LOCK_MASK, 0},  // pressed again: off
        {GDK_KEY_RELEASE, GDK_KEY_Caps_Lock, 66, GDK_LOCK_MASK, NSEventModifierFlagCapsLock},
    };
    for (const tCase& c : cases) {
        KeyRepeatTracker keys;
        const tEventRecord record = keyEvent(key(c.type, c.keyval, c.hardware, c.stateBefore), 0, keys);
        EXPECT_EQ(record.type, NSEventTypeFlagsChanged) << c.keyval;
        EXPECT_EQ(record.modifierFlags, c.after) << c.keyval;
        EXPECT_EQ(record.keyCode, carbon::virtualKeyFromXKeyCode(c.hardware)) << c.keyval;
    }
}

TEST(KeyBindingTest, SelectorsForKeysAndModifiers)
{
    struct tCase {
        unsigned short keyCode;
        NSEventModifierFlags flags;
        const char* selector;  // null: no binding
    };
    const tCase cases[] = {
        {123, NSEventModifierFlagFunction | NSEventModifierFlagNumericPad, "moveLeft:"},
        {124, NSEventModifierFlagShift | NSEventModifierFlagFunction, "moveRightAndModifySelection:"},
        {123, NSEventModifierFlagCommand, "moveToLeftEndOfLine:"},
        {51, 0, "deleteBackward:"},
        {117, NSEventModifierFlagFunction, "deleteForward:"},
        {36, 0, "insertNewline:"},
        {53, 0, "cancelOperation:"},
        {0, 0, nullptr},                            // 'a' inserts text instead
        {123, NSEventModifierFlagOption, nullptr},  // not bound
    };
    for (const tCase& c : cases) {
        const char* selector = keyBindingFor(c.keyCode, 0, c.flags);
        if (c.selector)
            EXPECT_STREQ(selector, c.selector) << c.keyCode;
        else
            EXPECT_EQ(selector, nullptr) << c.keyCode;
    }
}

}  // namespace
}  // namespace qvcompat::appkit
