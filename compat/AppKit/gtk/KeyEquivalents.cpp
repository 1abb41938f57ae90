// Menu key equivalents: GDK's accelerators for them, and their match with key-down events.
#include "AppKit/standin/Application.h"

#include <gdk/gdkkeysyms.h>

namespace qvcompat::appkit {

namespace {

struct tNamedKey {
    char16_t character;
    unsigned keyval;
};

// The characters of keys without one (NSEvent.h) and the control characters, as GDK's keys.
constexpr tNamedKey kNamedKeys[] = {
    {NSUpArrowFunctionKey, GDK_KEY_Up},
    {NSDownArrowFunctionKey, GDK_KEY_Down},
    {NSLeftArrowFunctionKey, GDK_KEY_Left},
    {NSRightArrowFunctionKey, GDK_KEY_Right},
    {NSInsertFunctionKey, GDK_KEY_Insert},
    {NSDeleteFunctionKey, GDK_KEY_Delete},
    {NSHomeFunctionKey, GDK_KEY_Home},
    {NSBeginFunctionKey, GDK_KEY_Begin},
    {NSEndFunctionKey, GDK_KEY_End},
    {NSPageUpFunctionKey, GDK_KEY_Page_Up},
    {NSPageDownFunctionKey, GDK_KEY_Page_Down},
    {NSPrintScreenFunctionKey, GDK_KEY_Print},
    {NSScrollLockFunctionKey, GDK_KEY_Scroll_Lock},
    {NSPauseFunctionKey, GDK_KEY_Pause},
    {NSMenuFunctionKey, GDK_KEY_Menu},
    {NSClearLineFunctionKey, GDK_KEY_Clear},
    {NSHelpFunctionKey, GDK_KEY_Insert},  // the key that types it (EventTranslation.cpp)
    {0x1B, GDK_KEY_Escape},
    {0x08, GDK_KEY_BackSpace},
    {0x7F, GDK_KEY_BackSpace},  // the platform's "delete" is the key left of it
    {0x09, GDK_KEY_Tab},
    {0x0D, GDK_KEY_Return},
    {0x03, GDK_KEY_KP_Enter},
};

constexpr NSEventModifierFlags kMatchedFlags =
    NSEventModifierFlagCommand | NSEventModifierFlagOption | NSEventModifierFlagControl;

bool isLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isUpperLetter(char16_t c) { return c >= 'A' && c <= 'Z'; }
char16_t lower(char16_t c) { return isUpperLetter(c) ? static_cast<char16_t>(c - 'A' + 'a') : c; }

}  // namespace

tAccelerator acceleratorFor(const std::u16string& keyEquivalent, NSEventModifierFlags mask)
{
    tAccelerator accelerator;
    if (keyEquivalent.empty())
        return accelerator;
    const char16_t c = keyEquivalent.front();
    unsigned modifiers = 0;
    if (mask & NSEventModifierFlagCommand)
        modifiers |= GDK_CONTROL_MASK;
    if (mask & NSEventModifierFlagOption)
        modifiers |= GDK_MOD1_MASK;
    if (mask & NSEventModifierFlagControl)
        modifiers |= GDK_SUPER_MASK;
    if ((mask & NSEventModifierFlagShift) || isUpperLetter(c))
        modifiers |= GDK_SHIFT_MASK;

    if (c >= NSF1FunctionKey && c <= NSF35FunctionKey) {
        accelerator.keyval = GDK_KEY_F1 + (c - NSF1FunctionKey);
    } else {
        for (const tNamedKey& key : kNamedKeys)
            if (key.character == c)
                accelerator.keyval = key.keyval;
        if (!accelerator.keyval)
            accelerator.keyval = gdk_keyval_to_lower(gdk_unicode_to_keyval(c));
    }
    accelerator.modifiers = GdkModifierType(modifiers);
    return accelerator;
}

bool keyEquivalentMatches(const std::u16string& keyEquivalent, NSEventModifierFlags mask,
                          const std::u16string& eventCharacters, NSEventModifierFlags eventFlags)
{
    if (keyEquivalent.size() != 1 || eventCharacters.size() != 1)
        return false;
    const char16_t wanted = keyEquivalent.front();
    const char16_t typed = eventCharacters.front();
    if ((mask & kMatchedFlags) != (eventFlags & kMatchedFlags))
        return false;
    if (isLetter(wanted)) {
        const bool shift = (mask & NSEventModifierFlagShift) || isUpperLetter(wanted);
        return lower(wanted) == lower(typed) && shift == ((eventFlags & NSEventModifierFlagShift) != 0);
    }
    // Other characters carry their Shift in the character itself ("?" is Shift-/ on many layouts):
    // Shift must be held only when the mask asks for it.
    if ((mask & NSEventModifierFlagShift) && !(eventFlags & NSEventModifierFlagShift))
        return false;
    return wanted == typed;
}

}  // namespace qvcompat::appkit
