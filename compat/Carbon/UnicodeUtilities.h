// Carbon stand-in: translating a key of a keyboard layout into characters (UCKeyTranslate).
//
// Implements: the key's character at the shift level that Shift and Option choose (Option is the
// X layout's AltGr level); Caps Lock upper-cases letters. A dead key gives its own spacing character
// with kUCKeyTranslateNoDeadKeysMask or for the display action; otherwise it answers no characters
// and leaves a non-zero dead-key state.
// Lacks: composing a dead key with the next key (the state is only set and cleared), keyboard types
// (the argument is ignored), Command and Control levels (they do not change the character).
// Deviations: the layout data is the stand-in's own (below), made from the X server's keymap by the
// text input sources (TextInputSources.h), not the platform's 'uchr' resource.
#pragma once

#include <CoreServices/MacTypes.h>

#include <cstdint>

typedef SInt32 OSStatus;
typedef UInt32 OptionBits;
typedef unsigned long UniCharCount;

// The layout of the 128 virtual keys: the character (a Unicode code point, 0 for none) of each key
// at four levels: plain, Shift, Option, Option-Shift.
struct UCKeyboardLayout {
    static constexpr uint32_t kMagic = 0x71766b6c;  // 'qvkl'
    static constexpr unsigned kKeyCount = 128;
    struct tKey {
        uint32_t character[4];
        uint8_t dead[4];  // the level's key is a dead key; character is its spacing form
    };
    uint32_t magic;
    uint32_t keyCount;
    tKey keys[kKeyCount];
};

enum : UInt16 {
    kUCKeyActionDown = 0,
    kUCKeyActionUp = 1,
    kUCKeyActionAutoKey = 2,
    kUCKeyActionDisplay = 3,
};

enum : OptionBits {
    kUCKeyTranslateNoDeadKeysMask = 1,
};

// The classic event modifier bits, shifted right by 8 as UCKeyTranslate takes them.
enum : UInt32 {
    kUCModifierCommand = 0x01,
    kUCModifierShift = 0x02,
    kUCModifierAlphaLock = 0x04,
    kUCModifierOption = 0x08,
    kUCModifierControl = 0x10,
};

constexpr OSStatus kUCOutputBufferTooSmall = -25340;

// Translates virtualKeyCode with the modifiers into at most maxStringLength UTF-16 units. paramErr
// for null layout, null out-parameters, a key code outside the layout or data that is not a layout;
// kUCOutputBufferTooSmall when the characters do not fit (nothing written, length 0).
OSStatus UCKeyTranslate(const UCKeyboardLayout* keyLayoutPtr, UInt16 virtualKeyCode, UInt16 keyAction,
                        UInt32 modifierKeyState, UInt32 keyboardType, OptionBits keyTranslateOptions,
                        UInt32* deadKeyState, UniCharCount maxStringLength, UniCharCount* actualStringLength,
                        UniChar unicodeString[]);
