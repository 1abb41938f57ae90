// Inside the AppKit stand-in: how a window's style mask and level appear on a GtkWindow, and the
// conversions between AppKit's bottom-left screen rectangles and X's top-left root rectangles. Plain
// functions, checked without a display.
#pragma once

#include "AppKit/NSWindow.h"

#include <gdk/gdk.h>

namespace qvcompat::appkit {

struct tGtkWindowTraits {
    bool decorated = true;
    bool deletable = true;
    bool resizable = true;
    bool acceptFocus = true;  // also: focus on map
    bool keepAbove = false;
    bool keepBelow = false;
    bool skipTaskbar = false;
    GdkWindowTypeHint typeHint = GDK_WINDOW_TYPE_HINT_NORMAL;
    GdkWMFunction functions = GDK_FUNC_ALL;  // what the window manager offers (close, minimise, ...)
};

// The traits of a window (or, with `panel`, an NSPanel) of that style and level.
tGtkWindowTraits gtkTraitsFor(NSWindowStyleMask style, NSWindowLevel level, bool panel);

// The parts of a frame around the content: the window manager's decoration plus the menu bar (top).
struct tFrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

NSRect frameRectForContentRect(NSRect content, const tFrameExtents& extents);
NSRect contentRectForFrameRect(NSRect frame, const tFrameExtents& extents);

// The primary monitor in X root coordinates: AppKit's screen origin is its bottom-left corner.
struct tScreenBase {
    int x = 0;
    int y = 0;
    int height = 0;
};

// The primary monitor now (all zero without a display).
tScreenBase primaryScreenBase();

// X root rectangle (top-left x, y, width, height) to AppKit screen rectangle and back. The way back
// rounds to whole pixels (to nearest).
NSRect appKitRectFromRoot(int x, int y, int width, int height, const tScreenBase& base);
GdkRectangle rootRectFromAppKit(NSRect rect, const tScreenBase& base);

}  // namespace qvcompat::appkit
