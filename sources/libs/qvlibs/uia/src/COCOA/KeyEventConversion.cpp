#include "COCOA/KeyEventConversion.h"

#include "Keys/Keys.h"
#include "UIA/KeyCodes.h"

#include <objc/message.h>

namespace QV::UIA::COCOA {

namespace {

const objc::Selector s_charactersIgnoringModifiers{"charactersIgnoringModifiers"};
const objc::Selector s_length{"length"};
const objc::Selector s_characterAtIndex{"characterAtIndex:"};
const objc::Selector s_keyCode{"keyCode"};
const objc::Selector s_modifierFlags{"modifierFlags"};

// The platform's modifier flags.
constexpr unsigned long kFlagCapsLock = 1ul << 16;
constexpr unsigned long kFlagShift = 1ul << 17;
constexpr unsigned long kFlagControl = 1ul << 18;
constexpr unsigned long kFlagOption = 1ul << 19;
constexpr unsigned long kFlagCommand = 1ul << 20;

// The platform's function-key characters start here.
constexpr unsigned kFunctionKeyBase = 0xF700;

// Named keys by their offset in the function-key range: arrows, F1-F12, Insert, Delete, Home, End,
// Page Up, Page Down, Clear Line. Other offsets are ordinary characters.
uint32_t functionKeyCode(unsigned offset)
{
    switch (offset) {
    case 0: return eKeyArrowUp;
    case 1: return eKeyArrowDown;
    case 2: return eKeyArrowLeft;
    case 3: return eKeyArrowRight;
    case 39: return eKeyInsert;
    case 40: return eKeyDelete;
    case 41: return eKeyHome;
    case 43: return eKeyEnd;
    case 44: return eKeyPageUp;
    case 45: return eKeyPageDown;
    case 57: return eKeyClear;
    default: return offset >= 4 && offset <= 15 ? eKeyF1 + (offset - 4) : 0;
    }
}

// The control characters of the named keys: Backspace and Delete, Tab and back-tab, Return, Escape.
uint32_t controlKeyCode(unsigned c)
{
    switch (c) {
    case 8:
    case 127: return eKeyBackspace;
    case 9:
    case 25: return eKeyTab;
    case 13: return eKeyReturn;
    case 27: return eKeyEscape;
    default: return 0;
    }
}

}  // namespace

uint32_t modifierBitsFromCocoa(unsigned long flags)
{
    uint32_t bits = 0;
    if (flags & kFlagCapsLock)
        bits |= eModifierCapsLock;
    if (flags & kFlagShift)
        bits |= eModifierShift;
    if (flags & kFlagControl)
        bits |= eModifierControl;
    if (flags & kFlagOption)
        bits |= eModifierOption;
    if (flags & kFlagCommand)
        bits |= eModifierCommand;
    return bits;
}

uint32_t convertKeyEventToUIA(NSEvent* event, uint32_t* layoutIndependentKey)
{
    id nsEvent = reinterpret_cast<id>(event);
    uint32_t code = 0;
    uint32_t independent = 0;
    id characters = objc::msgSend<id>(nsEvent, s_charactersIgnoringModifiers);
    if (characters && objc::msgSend<unsigned long>(characters, s_length) == 1) {
        const unsigned c = objc::msgSend<unsigned short, unsigned long>(characters, s_characterAtIndex, 0);
        code = c >= kFunctionKeyBase ? functionKeyCode(c - kFunctionKeyBase) : 0;
        if (!code)
            code = controlKeyCode(c);
        if (code) {
            independent = code;
        } else {
            const unsigned virtualKey = objc::msgSend<unsigned short>(nsEvent, s_keyCode);
            if (virtualKey < 256)
                code = DETAIL::Keys::macOSToUIA(virtualKey, independent);
            if (!code && c <= 127)
                code = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
        }
    }
    if (layoutIndependentKey)
        *layoutIndependentKey = independent;
    return code | modifierBitsFromCocoa(objc::msgSend<unsigned long>(nsEvent, s_modifierFlags));
}

}  // namespace QV::UIA::COCOA
