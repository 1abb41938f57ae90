// The GTK side of the AppKit stand-in: the display connection and the main thread.
#pragma once

#include <Foundation/FoundationClasses.h>

#include <functional>

namespace qvcompat::appkit {

// The process's initial thread, the one AppKit runs on (Foundation's answer).
using qvcompat::foundation::isMainThread;

// Opens the display once, on the main thread, with the X11 back end. False without a display
// (or when asked off the main thread before it was opened).
bool ensureGtk();

// Runs `work` on the main thread and waits for it: directly when called there, through the main
// loop otherwise. False (and `work` not run) when called off the main thread while no main loop
// runs there to take it, or while the main thread does not come back to its loop within two
// seconds (it may be blocked waiting for the caller).
bool runOnMainThread(const std::function<void()>& work);

}  // namespace qvcompat::appkit
