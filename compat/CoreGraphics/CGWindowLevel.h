// CoreGraphics stand-in: the window levels, AppKit's stacking groups by key.
//
// Implements: CGWindowLevelForKey with the platform's numbers (normal 0, floating 3, modal panel 8,
// pop-up menu 101, screen saver 1000, ...).
// Deviations: X has no numbered levels; AppKit's windows map every level above normal to "keep above"
// (AppKit/NSWindow.h).
#pragma once

#include <cstdint>

typedef int32_t CGWindowLevel;
typedef int32_t CGWindowLevelKey;

enum : CGWindowLevelKey {
    kCGBaseWindowLevelKey = 0,
    kCGMinimumWindowLevelKey = 1,
    kCGDesktopWindowLevelKey = 2,
    kCGBackstopMenuLevelKey = 3,
    kCGNormalWindowLevelKey = 4,
    kCGFloatingWindowLevelKey = 5,
    kCGTornOffMenuWindowLevelKey = 6,
    kCGDockWindowLevelKey = 7,
    kCGMainMenuWindowLevelKey = 8,
    kCGStatusWindowLevelKey = 9,
    kCGModalPanelWindowLevelKey = 10,
    kCGPopUpMenuWindowLevelKey = 11,
    kCGDraggingWindowLevelKey = 12,
    kCGScreenSaverWindowLevelKey = 13,
    kCGMaximumWindowLevelKey = 14,
    kCGOverlayWindowLevelKey = 15,
    kCGHelpWindowLevelKey = 16,
    kCGUtilityWindowLevelKey = 17,
    kCGDesktopIconWindowLevelKey = 18,
    kCGCursorWindowLevelKey = 19,
    kCGAssistiveTechHighWindowLevelKey = 20,
    kCGNumberOfWindowLevelKeys
};

// The level of a key; the normal level for a key outside the table.
CGWindowLevel CGWindowLevelForKey(CGWindowLevelKey key);
