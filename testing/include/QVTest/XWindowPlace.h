// Where an X server shows a window: its top-left on the screen and its size. Without a window
// manager, as on the tests' servers, the window is the content of the platform's window.
#pragma once

// Xlib's Display, declared without Xlib's macros (see PrivateXServer.h).
struct _XDisplay;

namespace QV::TEST {

struct tXWindowPlace {
    bool shown = false;  // mapped and viewable; the rest is zero while it is not
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Asks the server after all requests sent on the connection have been handled.
tXWindowPlace xWindowPlace(_XDisplay* connection, unsigned long window);

}  // namespace QV::TEST
