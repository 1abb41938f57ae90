#include "CoreGraphics/CGWindowLevel.h"

#include <climits>

CGWindowLevel CGWindowLevelForKey(CGWindowLevelKey key)
{
    // The platform's numbers, by key.
    static constexpr CGWindowLevel s_levels[kCGNumberOfWindowLevelKeys] = {
        INT32_MIN,           // base
        INT32_MIN + 1,       // minimum
        INT32_MIN + 20,      // desktop
        -20,                 // backstop menu
        0,                   // normal
        3,                   // floating
        3,                   // torn-off menu
        20,                  // dock
        24,                  // main menu
        25,                  // status
        8,                   // modal panel
        101,                 // pop-up menu
        500,                 // dragging
        1000,                // screen saver
        INT32_MAX - 16,      // maximum
        102,                 // overlay
        200,                 // help
        19,                  // utility
        INT32_MIN + 20 + 1,  // desktop icon
        INT32_MAX - 17,      // cursor
        1500,                // assistive tech high
    };
    if (key < 0 || key >= kCGNumberOfWindowLevelKeys)
        return 0;
    return s_levels[key];
}
