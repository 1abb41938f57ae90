#include "Carbon/UnicodeUtilities.h"

#include <cwctype>

OSStatus UCKeyTranslate(const UCKeyboardLayout* layout, UInt16 virtualKeyCode, UInt16 keyAction,
                        UInt32 modifierKeyState, UInt32, OptionBits options, UInt32* deadKeyState,
                        UniCharCount maxStringLength, UniCharCount* actualStringLength, UniChar unicodeString[])
{
    if (!layout || !deadKeyState || !actualStringLength || (!unicodeString && maxStringLength > 0))
        return paramErr;
    *actualStringLength = 0;
    if (layout->magic != UCKeyboardLayout::kMagic || virtualKeyCode >= layout->keyCount ||
        virtualKeyCode >= UCKeyboardLayout::kKeyCount)
        return paramErr;
    if (keyAction == kUCKeyActionUp)
        return noErr;

    const bool shift = (modifierKeyState & kUCModifierShift) != 0;
    const bool option = (modifierKeyState & kUCModifierOption) != 0;
    const unsigned level = (option ? 2 : 0) + (shift ? 1 : 0);
    const UCKeyboardLayout::tKey& key = layout->keys[virtualKeyCode];
    char32_t character = key.character[level];
    // A level the layout leaves empty falls back to the one without Shift, as X does.
    if (character == 0 && shift)
        character = key.character[level - 1];
    if (character == 0)
        return noErr;
    if (key.dead[level] && keyAction != kUCKeyActionDisplay && !(options & kUCKeyTranslateNoDeadKeysMask)) {
        *deadKeyState = character;
        return noErr;
    }
    *deadKeyState = 0;
    if ((modifierKeyState & kUCModifierAlphaLock) && !shift && std::iswlower(static_cast<wint_t>(character)))
        character = static_cast<char32_t>(std::towupper(static_cast<wint_t>(character)));

    UniChar units[2];
    UniCharCount count = 1;
    if (character > 0xFFFF) {
        character -= 0x10000;
        units[0] = static_cast<UniChar>(0xD800 + (character >> 10));
        units[1] = static_cast<UniChar>(0xDC00 + (character & 0x3FF));
        count = 2;
    } else {
        units[0] = static_cast<UniChar>(character);
    }
    if (count > maxStringLength)
        return kUCOutputBufferTooSmall;
    for (UniCharCount i = 0; i < count; ++i)
        unicodeString[i] = units[i];
    *actualStringLength = count;
    return noErr;
}
