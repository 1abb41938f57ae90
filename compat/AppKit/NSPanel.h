// AppKit stand-in: NSPanel, an auxiliary window: a GtkWindow with the utility type hint, kept out of
// the task bar.
//
// Implements: everything of NSWindow (NSWindow.h); -setWorksWhenModal:, -worksWhenModal,
// -setFloatingPanel:, -isFloatingPanel, -setBecomesKeyOnlyIfNeeded:, -becomesKeyOnlyIfNeeded;
// -canBecomeMainWindow answers NO. A panel with NSWindowStyleMaskNonactivatingPanel does not take the
// input focus when shown.
// Lacks: hiding when the application deactivates.
// Deviations: see NSWindow.h (levels are approximate).
#pragma once

#include "AppKit/NSWindow.h"

struct NSPanel : NSWindow {};
