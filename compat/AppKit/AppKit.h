// AppKit stand-in over GTK 3 (X11): the part of AppKit that the program calls.
//
// Implements: NSAlert and the NSButton of its buttons, NSWorkspace's mount notifications; see each
// header.
// Lacks: everything else, so far.
#pragma once

#include "AppKit/NSAlert.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSWorkspace.h"

namespace qvcompat::appkit {

// Registers the AppKit classes, so that objc_getClass finds them by name; idempotent.
void load();

}  // namespace qvcompat::appkit
