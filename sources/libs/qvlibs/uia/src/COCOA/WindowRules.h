// The rules by which a window's creation data become an AppKit window, and by which AppKit's
// coordinates become the system's: plain functions over values, so that they are checked without a
// display.
//
// Coordinates: AppKit's screen space has its origin at the bottom-left of the first screen and y
// growing upwards; the system's at the top-left of the first screen with y growing downwards. H is
// the first screen's top edge in AppKit's space (origin y + height, in single precision as AppKit
// keeps it).
#pragma once

#include "GP/Point.h"
#include "GP/Rect.h"
#include "UIA/WindowBase.h"

#include <AppKit/NSWindow.h>
#include <CoreGraphics/CGWindowLevel.h>

#include <optional>

namespace QV::UIA {
struct SizeLimitsEventData;
}

namespace QV::UIA::COCOA {

// What kind of platform window a creation makes.
enum eWindowClass : uint32_t {
    eWindowClassWindow = 0,
    eWindowClassPanel = 1,
    eWindowClassDialog = 2,
    eWindowClassOverlayPanel = 3
};

namespace WindowRules {

// AppKit's style mask for the system's style bits; panels get the utility bit.
NSWindowStyleMask styleMask(uint32_t style, eWindowClass windowClass);

// The key of the window's level (CGWindowLevelForKey), none for the normal level: panels and
// floating windows float (the pop-up menu level with eStylePopUpLevel); eStyleScreenSaverLevel
// overrides both.
std::optional<CGWindowLevelKey> levelKey(uint32_t style, eWindowClass windowClass);

// The content size asked for: rect's when eCreateFlagSize is set, else 400 x 300.
CGSize contentSize(const WindowBase::CreateData& data);

// Where the frame's top-left corner goes in the system's coordinates: rect's left and top when
// eCreateFlagPosition is set, else (100, 100).
GP::Point framePosition(const WindowBase::CreateData& data);

// The first screen's top edge in AppKit's space, as AppKit keeps it (single precision).
CGFloat topEdge(const CGRect& firstScreenFrame);

// An AppKit rectangle in the system's coordinates, each side truncated to an integer.
GP::Rect fromAppKit(const CGRect& rect, CGFloat H);
// A rectangle of the system's coordinates in AppKit's.
CGRect toAppKit(const GP::Rect& rect, CGFloat H);
// The AppKit origin of a rectangle of that height whose top-left lies at `topLeft` in the system's
// coordinates.
CGPoint originForTopLeft(const GP::Point& topLeft, CGFloat height, CGFloat H);

// The size-limit rule for a proposed content size: with eSizeLimitMinimum the size grows to the
// minimum, with eSizeLimitMaximum it shrinks to the maximum. Answers the limited size when it
// differs from the proposal, none when the proposal stands.
std::optional<GP::Point> limitContentSize(const SizeLimitsEventData& limits, GP::Point proposed);

}  // namespace WindowRules
}  // namespace QV::UIA::COCOA
