// AppKit stand-in: NSCursor over GdkCursor (X11).
//
// Implements: +arrowCursor ("default"), +IBeamCursor ("text"), +IBeamCursorForVerticalLayout
// ("vertical-text"), +crosshairCursor ("crosshair"), +openHandCursor ("grab"), +closedHandCursor
// ("grabbing"), +pointingHandCursor ("pointer"), +operationNotAllowedCursor ("not-allowed"),
// +resizeLeftCursor ("w-resize"), +resizeRightCursor ("e-resize"), +resizeLeftRightCursor
// ("ew-resize"), +resizeUpCursor ("n-resize"), +resizeDownCursor ("s-resize"), +resizeUpDownCursor
// ("ns-resize"), +dragCopyCursor ("copy"), +dragLinkCursor ("alias"), +contextualMenuCursor
// ("context-menu"), +disappearingItemCursor ("default"): shared cursors named after the cursor
// theme's names (in parentheses); -initWithImage:hotSpot: (a cursor of the image's pixels, NSImage.h),
// -image, -hotSpot, -set, -push, -pop, +pop, +currentCursor, +hide, +unhide,
// +setHiddenUntilMouseMoves:.
// -set makes the cursor the application's: it is shown over the content of every window of the
// application until another is set (a window made later shows it too).
// Lacks: cursors from files, the system's wide cursors, -isSetOnMouseEntered: and cursor rectangles.
// Deviations, each a Linux necessity:
// - The cursor is the application's windows' cursor, not the whole screen's: over other programs'
//   windows their own cursors show.
// - A name the cursor theme lacks falls back to the theme's default cursor; without a display the
//   cursor keeps its name and image and shows nothing.
// - +hide and +setHiddenUntilMouseMoves: show the invisible cursor over the application's windows.
#pragma once

#include "AppKit/NSImage.h"

#include <CoreGraphics/CGGeometry.h>

struct NSCursor : NSObject {};
