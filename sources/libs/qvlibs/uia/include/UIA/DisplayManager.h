// The list of connected displays, kept up to date: a second after the platform reports a change of
// the display configuration the list is read again and the application receives
// eEventAppDisplaysChanged (10005, an empty EventData). Each qualifying notice of the platform
// (anything but the start of a configuration or a bare move) has its own one-second timer, and so
// its own event.
//
// Main thread only: the platform's notices and the timers arrive on the main run loop.
#pragma once

#include "GP/Rect.h"
#include "UIA/Display.h"

#include <CoreFoundation/CFRunLoopTimer.h>

#include <cstdint>
#include <vector>

namespace QV::UIA {

class EventTarget;

class DisplayManager {
public:
    // The receiver of eEventAppDisplaysChanged: the application when one exists, else null. The
    // application installs it; without one the list is still kept, and nobody is told.
    using ApplicationLookup = EventTarget* (*)();

    // Registers for the platform's display notices and reads the list (once until deInit); true when
    // the list is not empty.
    static bool init();
    // Empties the list, stops listening and cancels the changes still waiting for their second.
    static void deInit();
    // Reads the list again: the screens in the platform's order, then sorted by left edge, or by top
    // edge when the screens are stacked vertically.
    static void onDisplayChange();
    // Whether the screens are stacked: some screen's horizontal midpoint lies within the next one's
    // horizontal range (in the list's current order).
    static void detectVerticalLayout();

    static const std::vector<Display>& getDisplays() { return s_displays; }
    // The union of the display frames.
    static const GP::Rect& getBounds() { return s_bounds; }
    static bool isVerticalLayout() { return s_bVerticalLayout; }
    static bool isInitialized() { return s_bInitialized; }
    // Whether a change is waiting for its second.
    static bool hasPendingChanges() { return !s_pendingTimers.empty(); }

    static void setApplicationLookup(ApplicationLookup lookup) { s_applicationLookup = lookup; }

private:
    static void onReconfiguration(uint32_t display, uint32_t flags, void* userInfo);
    static void onTimer(CFRunLoopTimerRef timer, void* info);

    static std::vector<Display> s_displays;
    static GP::Rect s_bounds;
    static bool s_bVerticalLayout;
    static bool s_bInitialized;
    static std::vector<CFRunLoopTimerRef> s_pendingTimers;
    static ApplicationLookup s_applicationLookup;
};

}  // namespace QV::UIA
