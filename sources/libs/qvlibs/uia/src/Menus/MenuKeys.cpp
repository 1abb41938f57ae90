#include "Menus/MenuKeys.h"

#include "UIA/KeyCodes.h"

#include <AppKit/NSEvent.h>

#include <cwctype>

namespace QV::UIA::DETAIL {

namespace {

// The platform's characters of the named keys 1 to 18; 0 where the key value stays as it is.
constexpr char16_t kNamedKeyCharacters[19] = {
    0,                        // 0: no key
    0x1B,                     // eKeyEscape
    0x08,                     // eKeyBackspace
    0x09,                     // eKeyTab
    0,                        // 4 stays
    0x0D,                     // eKeyReturn
    0,                        // 6 stays
    0,                        // 7 stays
    NSInsertFunctionKey,      // eKeyInsert
    NSDeleteFunctionKey,      // eKeyDelete
    NSHomeFunctionKey,        // eKeyHome
    NSEndFunctionKey,         // eKeyEnd
    NSPageUpFunctionKey,      // eKeyPageUp
    NSPageDownFunctionKey,    // eKeyPageDown
    NSUpArrowFunctionKey,     // eKeyArrowUp
    NSDownArrowFunctionKey,   // eKeyArrowDown
    NSLeftArrowFunctionKey,   // eKeyArrowLeft
    NSRightArrowFunctionKey,  // eKeyArrowRight
    0xF739,                   // eKeyClear: NSClearLineFunctionKey
};

constexpr uint32_t kFunctionKeyBit = 0x10000;

}  // namespace

tKeyEquivalent keyEquivalentOf(uint32_t key)
{
    tKeyEquivalent result;
    if (key & eModifierCommand)
        result.modifierMask |= NSEventModifierFlagCommand;
    if (key & eModifierShift)
        result.modifierMask |= NSEventModifierFlagShift;
    if (key & eModifierControl)
        result.modifierMask |= NSEventModifierFlagControl;
    if (key & eModifierOption)
        result.modifierMask |= NSEventModifierFlagOption;
    if (key & eKeyFlagKeypad)
        result.modifierMask |= NSEventModifierFlagNumericPad;

    const uint32_t low = key & 0xFFFF;
    const auto wide = static_cast<wint_t>(low);
    result.character = static_cast<char16_t>((key & eModifierShift) ? std::towupper(wide) : std::towlower(wide));

    if (key & kFunctionKeyBit) {
        result.character = static_cast<char16_t>(NSF1FunctionKey - 1 + low);
        result.modifierMask |= NSEventModifierFlagFunction;
    } else if (!(key & eKeyFlagKeypad) && low >= 1 && low <= 18 && kNamedKeyCharacters[low] != 0) {
        result.character = kNamedKeyCharacters[low];
    }
    return result;
}

std::string menuTitleOf(const GP::CharSequence<char>& text)
{
    std::string title;
    title.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.data()[i] != '&') {
            title += text.data()[i];
            continue;
        }
        // The '&' goes; the character behind it stays whatever it is ("&&" leaves one '&').
        if (i + 1 < text.size()) {
            title += text.data()[i + 1];
            ++i;
        }
    }
    return title;
}

}  // namespace QV::UIA::DETAIL
