// The pure parts of the menus: a menu title from the program's text, and the key equivalent that
// shows a key value on a menu item.
#pragma once

#include "GP/CharSequence.h"

#include <cstdint>
#include <string>

namespace QV::UIA::DETAIL {

struct tKeyEquivalent {
    char16_t character = 0;     // the one character of the key equivalent
    uint64_t modifierMask = 0;  // NSEventModifierFlags
};

// The key equivalent of a key value with modifier bits (KeyCodes.h): Command, Shift, Control, Option
// and the keypad flag become the platform's modifier flags; the character is the low 16 bits
// (upper-case with Shift, else lower-case); F1-F12 become the platform's function-key characters
// with the function flag; the named keys become the platform's characters for them.
tKeyEquivalent keyEquivalentOf(uint32_t key);

// The title shown for a menu text: every '&' is removed, except that "&&" leaves one '&'.
std::string menuTitleOf(const GP::CharSequence<char>& text);

}  // namespace QV::UIA::DETAIL
