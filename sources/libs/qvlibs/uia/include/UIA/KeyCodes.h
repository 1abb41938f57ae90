// The UI layer's key values, independent of the platform: a key code in the low 17 bits, the keypad
// flag and the modifier bits above it. A printable key is its upper-case character code; the named
// and function keys have the small numbers below. The same modifier bits form the `modifiers` field
// of mouse, modifier-key and drag events (EventData.h).
#pragma once

#include <cstdint>

namespace QV::UIA {

enum eKeyCode : uint32_t {
    eKeyEscape = 1,
    eKeyBackspace = 2,
    eKeyTab = 3,
    eKeyReturn = 5,
    eKeyInsert = 8,
    eKeyDelete = 9,  // forward delete
    eKeyHome = 10,
    eKeyEnd = 11,
    eKeyPageUp = 12,
    eKeyPageDown = 13,
    eKeyArrowUp = 14,
    eKeyArrowDown = 15,
    eKeyArrowLeft = 16,
    eKeyArrowRight = 17,
    eKeyClear = 18,
    eKeyF1 = 0x10001,  // F2 to F12 follow one by one
    eKeyF12 = 0x1000C,

    eKeyCodeMask = 0x1FFFF,
    eKeyFlagKeypad = 0x800000,  // the key lies on the numeric keypad
};

enum eModifier : uint32_t {
    eModifierCapsLock = 0x02000000,  // Caps Lock is on
    eModifierShift = 0x10000000,
    eModifierCommand = 0x20000000,  // Ctrl on a PC keyboard
    eModifierControl = 0x40000000,
    eModifierOption = 0x80000000,  // Alt
    eModifierMask = eModifierCapsLock | eModifierShift | eModifierCommand | eModifierControl | eModifierOption,
};

}  // namespace QV::UIA
