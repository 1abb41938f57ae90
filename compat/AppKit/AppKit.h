// AppKit stand-in over GTK 3 (X11): the part of AppKit that the program calls.
//
// Implements: NSAlert and the NSButton of its buttons, NSWorkspace's mount notifications, the
// application (NSApplication), menus (NSMenu, NSMenuItem) and cursors (NSCursor); see each header.
// Lacks: everything else, so far.
// Deviations: the classes exist from before the program's static initialisers run (see below), so
// objc_getClass("NSAlert") finds them from anywhere.
#pragma once

#include "AppKit/NSAlert.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSCursor.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSMenuItem.h"
#include "AppKit/NSWorkspace.h"

#include <Foundation/Foundation.h>

namespace qvcompat::appkit {

// Makes AppKit's classes (after Foundation's); idempotent and thread-safe.
void load();

// Each file that includes this header loads AppKit before its own static objects are made; the
// loader also runs ahead of every ordinary static initialiser of the program, and is linked into
// every program that links AppKit, whether or not it includes this header (AppKitLoader.cpp).
struct Loader {
    Loader() { load(); }
};
static const Loader s_loader;

}  // namespace qvcompat::appkit
