// CoreGraphics stand-in: displays and their reconfiguration notices, over the monitors that GDK
// reports for the X display (or a source that tests install, standin/Monitors.h).
//
// Implements: display ids (stable while a monitor stays, never reused), the main display (the
// primary monitor), the display's colour space (device RGB), reconfiguration callbacks. A change
// notifies each display it concerns twice, as on the platform: first with
// kCGDisplayBeginConfigurationFlag, then with what changed: added, removed, set main, mode (its size
// or scale), moved; with kCGDisplayDesktopShapeChangedFlag whenever the desktop's outline changed.
// GDK's several signals for one change give one notice per display. Callbacks run on the main thread.
// Lacks: mirroring, enabling and disabling (X does not report them apart from adding and removing),
// display modes, capture, gamma, colour profiles.
// Deviations: a change of the work area alone (panels) is not notified, as the platform does not
// notify a change of the menu bar or Dock either.
#pragma once

#include "CoreGraphics/CGColorSpace.h"
#include "CoreGraphics/CGGeometry.h"

#include <cstdint>

typedef uint32_t CGDirectDisplayID;
typedef int32_t CGError;
typedef uint32_t CGDisplayChangeSummaryFlags;
typedef void (*CGDisplayReconfigurationCallBack)(CGDirectDisplayID display, CGDisplayChangeSummaryFlags flags,
                                                 void* userInfo);

enum : CGError {
    kCGErrorSuccess = 0,
    kCGErrorIllegalArgument = 1001,
};

enum : CGDisplayChangeSummaryFlags {
    kCGDisplayBeginConfigurationFlag = 1 << 0,
    kCGDisplayMovedFlag = 1 << 1,
    kCGDisplaySetMainFlag = 1 << 2,
    kCGDisplaySetModeFlag = 1 << 3,
    kCGDisplayAddFlag = 1 << 4,
    kCGDisplayRemoveFlag = 1 << 5,
    kCGDisplayEnabledFlag = 1 << 8,
    kCGDisplayDisabledFlag = 1 << 9,
    kCGDisplayMirrorFlag = 1 << 10,
    kCGDisplayUnMirrorFlag = 1 << 11,
    kCGDisplayDesktopShapeChangedFlag = 1 << 12,
};

// The primary monitor's id; 0 without a display.
CGDirectDisplayID CGMainDisplayID();
// Device RGB for a known display, null otherwise.
CGColorSpaceRef CGDisplayCopyColorSpace(CGDirectDisplayID display);
// The display's frame in global coordinates with the origin at the top-left of the main display;
// all zero for an unknown display.
CGRect CGDisplayBounds(CGDirectDisplayID display);
// kCGErrorIllegalArgument for a null callback; a pair registered twice is called once.
CGError CGDisplayRegisterReconfigurationCallback(CGDisplayReconfigurationCallBack callback, void* userInfo);
CGError CGDisplayRemoveReconfigurationCallback(CGDisplayReconfigurationCallBack callback, void* userInfo);
