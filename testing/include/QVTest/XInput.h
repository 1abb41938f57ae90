// Real input on the test's X server through xdotool, and waiting for X and GTK to catch up.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <string>

namespace QV::TEST {

// Lets X and GTK finish what is under way: a few rounds of sync and main loop.
inline void settleX()
{
    for (int round = 0; round < 10; ++round) {
        gdk_display_sync(gdk_display_get_default());
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        g_usleep(2000);
    }
}

// Runs xdotool with the arguments on the display of the process; a failure fails the test.
inline void xdotool(const std::string& arguments)
{
    ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
}

// The centre of a realised widget, in screen coordinates.
inline GdkPoint centreOf(GtkWidget* widget)
{
    int x = 0;
    int y = 0;
    gdk_window_get_origin(gtk_widget_get_window(widget), &x, &y);
    GtkAllocation allocation;
    gtk_widget_get_allocation(widget, &allocation);
    return GdkPoint{x + allocation.x + allocation.width / 2, y + allocation.y + allocation.height / 2};
}

// Moves the pointer to a screen point and clicks the first button there.
inline void clickAt(GdkPoint point)
{
    xdotool("mousemove " + std::to_string(point.x) + " " + std::to_string(point.y) + " click 1");
}

}  // namespace QV::TEST
