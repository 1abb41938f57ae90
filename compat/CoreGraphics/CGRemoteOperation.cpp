// CGWarpMouseCursorPosition over GDK's pointer warp (X11).
#include "CoreGraphics/CGRemoteOperation.h"

#include <gdk/gdk.h>

#include <cmath>

CGError CGWarpMouseCursorPosition(CGPoint point)
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return kCGErrorCannotComplete;
    GdkSeat* seat = gdk_display_get_default_seat(display);
    GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    if (!pointer)
        return kCGErrorCannotComplete;
    // Global coordinates with the origin at the main display's top-left corner; X's root window has
    // its origin at the top-left of the whole screen, where the primary monitor need not be.
    GdkMonitor* primary = gdk_display_get_primary_monitor(display);
    if (!primary)
        primary = gdk_display_get_monitor(display, 0);
    GdkRectangle main{0, 0, 0, 0};
    if (primary)
        gdk_monitor_get_geometry(primary, &main);
    gdk_device_warp(pointer, gdk_display_get_default_screen(display), main.x + static_cast<int>(std::lround(point.x)),
                    main.y + static_cast<int>(std::lround(point.y)));
    gdk_display_flush(display);
    return kCGErrorSuccess;
}
