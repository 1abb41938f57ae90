// Key events of the platform (NSEvent) as the UI layer's key values (KeyCodes.h). The content view
// calls it for every key event; the key tables (Keys/Keys.h) must be built.
#pragma once

#include <cstdint>

struct NSEvent;

namespace QV::UIA::COCOA {

// The key value of the key event `event` with the event's modifier bits; its layout-independent key
// (without modifier bits) is stored in *layoutIndependentKey when given. A key event whose characters
// ignoring modifiers are not exactly one UTF-16 unit has code 0 (only modifier bits).
uint32_t convertKeyEventToUIA(NSEvent* event, uint32_t* layoutIndependentKey);

// The eModifier* bits of the platform's modifier flags (NSEvent's modifierFlags).
uint32_t modifierBitsFromCocoa(unsigned long flags);

}  // namespace QV::UIA::COCOA
