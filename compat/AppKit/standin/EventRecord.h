// Inside the AppKit stand-in: the values an NSEvent answers, as one plain record, so that the
// translation from GDK's events can be checked without objects or a display.
#pragma once

#include "AppKit/NSEvent.h"

#include <string>

namespace qvcompat::appkit {

struct tEventRecord {
    NSEventType type = 0;
    NSEventModifierFlags modifierFlags = 0;
    NSTimeInterval timestamp = 0;  // seconds, from GDK's milliseconds
    NSPoint locationInWindow{};    // window coordinates: origin at the content's bottom-left
    NSInteger clickCount = 0;
    NSInteger buttonNumber = 0;  // 0 left, 1 right, 2 middle, 3... the others
    CGFloat deltaX = 0;
    CGFloat deltaY = 0;  // positive: away from the user (up), as on the platform
    CGFloat scrollingDeltaX = 0;
    CGFloat scrollingDeltaY = 0;
    bool preciseScrolling = false;
    unsigned short keyCode = 0;  // the platform's virtual key code
    std::u16string characters;
    std::u16string charactersIgnoringModifiers;
    bool isARepeat = false;
};

}  // namespace qvcompat::appkit
