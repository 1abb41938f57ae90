// Foundation stand-in: the part of Foundation that the program calls.
//
// Implements: NSObject, NSString (the same objects as CFString), NSAutoreleasePool, NSRunLoop, NSTimer,
// NSNotification and NSNotificationCenter, NSThread, NSNumber, NSDictionary, NSUserDefaults,
// and the basic types; see each header.
// Lacks: every other Foundation class.
// Deviations: the classes exist from before the program's static initialisers run (see below), so
// objc_getClass("NSObject") finds them from anywhere.
#pragma once

#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSObjCRuntime.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSString.h"
#include "Foundation/NSThread.h"
#include "Foundation/NSTimer.h"
#include "Foundation/NSUserDefaults.h"

namespace qvcompat::foundation {

// Makes Foundation's classes and installs the CFString bridge; idempotent and thread-safe.
void load();

// Each file that includes this header loads Foundation before its own static objects are made, and
// pulls the loader into the link; the loader also runs ahead of every ordinary static initialiser of
// the program (FoundationLoader.cpp).
struct Loader {
    Loader() { load(); }
};
static const Loader s_loader;

}  // namespace qvcompat::foundation
