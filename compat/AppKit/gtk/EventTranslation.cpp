#include "AppKit/gtk/EventTranslation.h"

#include "Carbon/VirtualKeyCodes.h"

#include <gtk/gtk.h>

#include <cmath>
#include <cstdlib>

namespace qvcompat::appkit {

namespace {

constexpr double kMillisecondsPerSecond = 1000.0;
// A touchpad's smooth delta of 1 is about ten points of scrolling on the platform.
constexpr double kPointsPerTouchpadUnit = 10.0;

struct tKeyCharacter {
    unsigned keyval;
    char16_t character;
    NSEventModifierFlags flags;  // the flags the platform adds for that key
};

constexpr NSEventModifierFlags kFunction = NSEventModifierFlagFunction;
constexpr NSEventModifierFlags kArrow = NSEventModifierFlagFunction | NSEventModifierFlagNumericPad;

// Keys whose character is not their keyval's Unicode character.
constexpr tKeyCharacter s_keyCharacters[] = {
    {GDK_KEY_Up, NSUpArrowFunctionKey, kArrow},
    {GDK_KEY_Down, NSDownArrowFunctionKey, kArrow},
    {GDK_KEY_Left, NSLeftArrowFunctionKey, kArrow},
    {GDK_KEY_Right, NSRightArrowFunctionKey, kArrow},
    {GDK_KEY_KP_Up, NSUpArrowFunctionKey, kArrow},
    {GDK_KEY_KP_Down, NSDownArrowFunctionKey, kArrow},
    {GDK_KEY_KP_Left, NSLeftArrowFunctionKey, kArrow},
    {GDK_KEY_KP_Right, NSRightArrowFunctionKey, kArrow},
    {GDK_KEY_Home, NSHomeFunctionKey, kFunction},
    {GDK_KEY_End, NSEndFunctionKey, kFunction},
    {GDK_KEY_Page_Up, NSPageUpFunctionKey, kFunction},
    {GDK_KEY_Page_Down, NSPageDownFunctionKey, kFunction},
    {GDK_KEY_Delete, NSDeleteFunctionKey, kFunction},
    {GDK_KEY_KP_Delete, NSDeleteFunctionKey, kFunction},
    {GDK_KEY_Insert, NSHelpFunctionKey, kFunction},  // the Help key's place on a PC keyboard
    {GDK_KEY_Help, NSHelpFunctionKey, kFunction},
    {GDK_KEY_Num_Lock, NSClearLineFunctionKey, NSEventModifierFlagNumericPad | kFunction},  // keypad Clear
    {GDK_KEY_Print, NSF1FunctionKey + 12, kFunction},                                       // F13
    {GDK_KEY_Scroll_Lock, NSF1FunctionKey + 13, kFunction},                                 // F14
    {GDK_KEY_Pause, NSF1FunctionKey + 14, kFunction},                                       // F15
    {GDK_KEY_Menu, NSMenuFunctionKey, kFunction},
    {GDK_KEY_Return, u'\r', 0},
    {GDK_KEY_KP_Enter, 0x03, NSEventModifierFlagNumericPad},
    {GDK_KEY_BackSpace, 0x7F, 0},
    {GDK_KEY_Tab, u'\t', 0},
    {GDK_KEY_ISO_Left_Tab, 0x19, 0},  // Shift-Tab: the platform's back tab
    {GDK_KEY_Escape, 0x1B, 0},
};

const tKeyCharacter* findKey(unsigned keyval)
{
    for (const tKeyCharacter& entry : s_keyCharacters)
        if (entry.keyval == keyval)
            return &entry;
    return nullptr;
}

NSEventModifierFlags keyFlags(unsigned keyval)
{
    if (const tKeyCharacter* entry = findKey(keyval))
        return entry->flags;
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F35)
        return kFunction;
    if (keyval >= GDK_KEY_KP_Space && keyval <= GDK_KEY_KP_9)
        return NSEventModifierFlagNumericPad;
    return 0;
}

// Keypad keys that type a character (digits, operators, the decimal key).
bool isKeypadCharacter(unsigned keyval)
{
    return (keyval >= GDK_KEY_KP_Multiply && keyval <= GDK_KEY_KP_9) || keyval == GDK_KEY_KP_Equal;
}

// What keypad digits become with Num Lock off (KP_Home ... KP_Delete, KP_Begin among them).
bool isKeypadMovement(unsigned keyval) { return keyval >= GDK_KEY_KP_Home && keyval <= GDK_KEY_KP_Delete; }

std::u16string text(char16_t character) { return character ? std::u16string(1, character) : std::u16string(); }

// The flag a modifier key stands for; 0 for other keys.
NSEventModifierFlags modifierKeyFlag(unsigned keyval)
{
    switch (keyval) {
    case GDK_KEY_Shift_L:
    case GDK_KEY_Shift_R: return NSEventModifierFlagShift;
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R: return NSEventModifierFlagCommand;
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R:
    case GDK_KEY_Meta_L:
    case GDK_KEY_Meta_R:
    case GDK_KEY_ISO_Level3_Shift: return NSEventModifierFlagOption;
    case GDK_KEY_Super_L:
    case GDK_KEY_Super_R: return NSEventModifierFlagControl;
    case GDK_KEY_Caps_Lock: return NSEventModifierFlagCapsLock;
    default: return 0;
    }
}

NSPoint windowPoint(double x, double y, double contentHeight) { return NSPoint{x, contentHeight - y}; }

}  // namespace

NSEventModifierFlags modifierFlagsFromGdk(unsigned gdkState)
{
    NSEventModifierFlags flags = 0;
    if (gdkState & GDK_SHIFT_MASK)
        flags |= NSEventModifierFlagShift;
    if (gdkState & GDK_LOCK_MASK)
        flags |= NSEventModifierFlagCapsLock;
    if (gdkState & GDK_CONTROL_MASK)
        flags |= NSEventModifierFlagCommand;
    if (gdkState & GDK_MOD1_MASK)
        flags |= NSEventModifierFlagOption;
    if (gdkState & (GDK_SUPER_MASK | GDK_MOD4_MASK))
        flags |= NSEventModifierFlagControl;
    return flags;
}

NSInteger buttonNumberFromGdk(unsigned gdkButton)
{
    switch (gdkButton) {
    case 1: return 0;
    case 2: return 2;
    case 3: return 1;
    case 4:
    case 5:
    case 6:
    case 7: return -1;
    default: return static_cast<NSInteger>(gdkButton) - 5;  // 8 -> 3, 9 -> 4, ...
    }
}

NSInteger ClickCounter::press(NSInteger button, uint32_t timeMs, double x, double y)
{
    const bool continues = button == m_button && m_count > 0 && timeMs - m_timeMs <= m_intervalMs &&
                           std::fabs(x - m_x) <= m_distance && std::fabs(y - m_y) <= m_distance;
    m_count = continues ? m_count + 1 : 1;
    m_button = button;
    m_timeMs = timeMs;
    m_x = x;
    m_y = y;
    return m_count;
}

ClickCounter makeClickCounter()
{
    int intervalMs = 400;
    int distance = 5;
    if (GdkScreen* screen = gdk_screen_get_default()) {
        GtkSettings* settings = gtk_settings_get_for_screen(screen);
        g_object_get(settings, "gtk-double-click-time", &intervalMs, "gtk-double-click-distance", &distance, nullptr);
    }
    return ClickCounter(static_cast<unsigned>(intervalMs), distance);
}

tEventRecord mouseButtonEvent(const GdkEventButton& event, double contentHeight, ClickCounter& clicks)
{
    tEventRecord record;
    const bool down = event.type == GDK_BUTTON_PRESS;
    record.buttonNumber = buttonNumberFromGdk(event.button);
    switch (record.buttonNumber) {
    case 0: record.type = down ? NSEventTypeLeftMouseDown : NSEventTypeLeftMouseUp; break;
    case 1: record.type = down ? NSEventTypeRightMouseDown : NSEventTypeRightMouseUp; break;
    default: record.type = down ? NSEventTypeOtherMouseDown : NSEventTypeOtherMouseUp; break;
    }
    record.modifierFlags = modifierFlagsFromGdk(event.state);
    record.timestamp = event.time / kMillisecondsPerSecond;
    record.locationInWindow = windowPoint(event.x, event.y, contentHeight);
    record.clickCount =
        down ? clicks.press(record.buttonNumber, event.time, event.x, event.y) : clicks.release(record.buttonNumber);
    return record;
}

tEventRecord mouseMotionEvent(const GdkEventMotion& event, double contentHeight)
{
    tEventRecord record;
    // The platform reports a drag of the lowest button held: left before right before the others.
    if (event.state & GDK_BUTTON1_MASK) {
        record.type = NSEventTypeLeftMouseDragged;
        record.buttonNumber = 0;
    } else if (event.state & GDK_BUTTON3_MASK) {
        record.type = NSEventTypeRightMouseDragged;
        record.buttonNumber = 1;
    } else if (event.state & GDK_BUTTON2_MASK) {
        record.type = NSEventTypeOtherMouseDragged;
        record.buttonNumber = 2;
    } else {
        record.type = NSEventTypeMouseMoved;
    }
    record.modifierFlags = modifierFlagsFromGdk(event.state);
    record.timestamp = event.time / kMillisecondsPerSecond;
    record.locationInWindow = windowPoint(event.x, event.y, contentHeight);
    return record;
}

tEventRecord mouseCrossingEvent(const GdkEventCrossing& event, double contentHeight)
{
    tEventRecord record;
    record.type = event.type == GDK_ENTER_NOTIFY ? NSEventTypeMouseEntered : NSEventTypeMouseExited;
    record.modifierFlags = modifierFlagsFromGdk(event.state);
    record.timestamp = event.time / kMillisecondsPerSecond;
    record.locationInWindow = windowPoint(event.x, event.y, contentHeight);
    return record;
}

tEventRecord scrollEvent(const GdkEventScroll& event, double contentHeight, bool fromTouchpad)
{
    tEventRecord record;
    record.type = NSEventTypeScrollWheel;
    record.modifierFlags = modifierFlagsFromGdk(event.state);
    record.timestamp = event.time / kMillisecondsPerSecond;
    record.locationInWindow = windowPoint(event.x, event.y, contentHeight);
    switch (event.direction) {
    case GDK_SCROLL_UP: record.deltaY = 1; break;
    case GDK_SCROLL_DOWN: record.deltaY = -1; break;
    case GDK_SCROLL_LEFT: record.deltaX = 1; break;
    case GDK_SCROLL_RIGHT: record.deltaX = -1; break;
    case GDK_SCROLL_SMOOTH:
        // GDK's deltas grow downwards and rightwards, the platform's upwards and leftwards.
        record.deltaX = -event.delta_x;
        record.deltaY = -event.delta_y;
        break;
    }
    record.preciseScrolling = fromTouchpad && event.direction == GDK_SCROLL_SMOOTH;
    const double scale = record.preciseScrolling ? kPointsPerTouchpadUnit : 1.0;
    record.scrollingDeltaX = record.deltaX * scale;
    record.scrollingDeltaY = record.deltaY * scale;
    return record;
}

bool isModifierKeyval(unsigned keyval) { return modifierKeyFlag(keyval) != 0; }

char16_t characterForKeyval(unsigned keyval)
{
    if (const tKeyCharacter* entry = findKey(keyval))
        return entry->character;
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F35)
        return static_cast<char16_t>(NSF1FunctionKey + (keyval - GDK_KEY_F1));
    const uint32_t unicode = gdk_keyval_to_unicode(keyval);
    return unicode <= 0xFFFF ? static_cast<char16_t>(unicode) : 0;
}

tEventRecord keyEvent(const GdkEventKey& event, unsigned unshiftedKeyval, KeyRepeatTracker& keys)
{
    tEventRecord record;
    const bool down = event.type == GDK_KEY_PRESS;
    const uint16_t virtualKey = carbon::virtualKeyFromXKeyCode(event.hardware_keycode);
    record.keyCode = virtualKey == carbon::kNoVirtualKey ? 0 : virtualKey;
    record.timestamp = event.time / kMillisecondsPerSecond;
    record.modifierFlags = modifierFlagsFromGdk(event.state);

    if (const NSEventModifierFlags flag = modifierKeyFlag(event.keyval)) {
        // GDK's state is the one before the key: the platform reports the one after it.
        record.type = NSEventTypeFlagsChanged;
        if (flag == NSEventModifierFlagCapsLock)
            record.modifierFlags ^= down ? flag : 0;
        else if (down)
            record.modifierFlags |= flag;
        else
            record.modifierFlags &= ~flag;
        return record;
    }

    record.type = down ? NSEventTypeKeyDown : NSEventTypeKeyUp;
    if (down)
        record.isARepeat = keys.press(event.hardware_keycode);
    else
        keys.release(event.hardware_keycode);
    // Num Lock off turns keypad digits into movement keys on X; the platform's keypad has no such
    // mode, so the key types its digit as the unshifted level says.
    const unsigned keyval =
        isKeypadCharacter(unshiftedKeyval) && isKeypadMovement(event.keyval) ? unshiftedKeyval : event.keyval;
    record.modifierFlags |= keyFlags(keyval);
    char16_t character = characterForKeyval(keyval);
    const char16_t unshifted = unshiftedKeyval ? characterForKeyval(unshiftedKeyval) : character;
    // Control (the Super key here) makes the control character of a letter, as on the platform.
    if ((record.modifierFlags & NSEventModifierFlagControl) && character < 0x80 &&
        ((character >= u'a' && character <= u'z') || (character >= u'A' && character <= u'Z')))
        character = static_cast<char16_t>(character & 0x1F);
    record.characters = text(character);
    record.charactersIgnoringModifiers = text(unshifted);
    return record;
}

unsigned unshiftedKeyvalFor(const GdkEventKey& event)
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return 0;
    guint keyval = 0;
    // The platform's keypad always types its digits and operators, whatever Num Lock says: ask for
    // the key's level with Num Lock (Mod2 on X) first, and keep it when it is a keypad character.
    if (gdk_keymap_translate_keyboard_state(gdk_keymap_get_for_display(display), event.hardware_keycode, GDK_MOD2_MASK,
                                            event.group, &keyval, nullptr, nullptr, nullptr) &&
        isKeypadCharacter(keyval))
        return keyval;
    const auto state = static_cast<GdkModifierType>(event.state & (GDK_SHIFT_MASK | GDK_LOCK_MASK));
    if (!gdk_keymap_translate_keyboard_state(gdk_keymap_get_for_display(display), event.hardware_keycode, state,
                                             event.group, &keyval, nullptr, nullptr, nullptr))
        return 0;
    return keyval;
}

}  // namespace qvcompat::appkit
