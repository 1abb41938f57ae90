// The stand-in's keyboard: the platform's virtual key codes made from X key codes. What NSEvent's
// keyCode answers and what the keyboard layout is indexed by.
//
// The table covers the keys of a PC keyboard (X server with evdev key codes: X = Linux + 8), about
// 110 keys. Ctrl is the Command key and Alt the Option key (Command-Q is Ctrl+Q); the Super
// ("Windows") keys are Control. The ISO pair: the key left of 1 answers 10 and the key beside the left
// Shift answers 50, as on an ISO keyboard of the platform. Insert answers Help (114), Num Lock the
// keypad's Clear (71), Print, Scroll Lock and Pause F13 to F15.
#pragma once

#include <cstdint>

namespace qvcompat::carbon {

// No virtual key for that X key code.
constexpr uint16_t kNoVirtualKey = 0xFFFF;

uint16_t virtualKeyFromXKeyCode(unsigned xKeyCode);
// The X key code of a virtual key, 0 when none.
unsigned xKeyCodeFromVirtualKey(unsigned virtualKey);

}  // namespace qvcompat::carbon
