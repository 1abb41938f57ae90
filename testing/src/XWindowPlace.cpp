#include "QVTest/XWindowPlace.h"

#include <X11/Xlib.h>

namespace QV::TEST {

tXWindowPlace xWindowPlace(_XDisplay* connection, unsigned long window)
{
    tXWindowPlace place;
    XSync(connection, False);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(connection, window, &attributes) || attributes.map_state != IsViewable)
        return place;
    ::Window child;
    XTranslateCoordinates(connection, window, DefaultRootWindow(connection), 0, 0, &place.left, &place.top, &child);
    place.shown = true;
    place.width = attributes.width;
    place.height = attributes.height;
    return place;
}

}  // namespace QV::TEST
