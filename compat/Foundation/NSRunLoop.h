// Foundation stand-in: run loops, and the NSObject messages that perform a selector later or on the
// main thread.
//
// Implements: +[NSRunLoop currentRunLoop], +mainRunLoop, -addTimer:forMode:; the modes
// NSDefaultRunLoopMode and NSRunLoopCommonModes; -[NSObject performSelectorOnMainThread:withObject:
// waitUntilDone:] and -[NSObject performSelector:withObject:afterDelay:].
// A run loop is a GLib main context: the main thread's is GLib's default context, which whoever runs
// the program's main loop (AppKit's application, a test) iterates with GLib; another thread's is its
// thread-default context (the default context when the thread pushed none). Whatever is scheduled on
// a run loop runs on the thread that iterates its context, inside an autorelease pool.
// Lacks: -run, -runMode:beforeDate:, -runUntilDate: (the loop is run with GLib), ports and input
// sources, -cancelPreviousPerformRequestsWithTarget:, performs with a list of modes.
// Deviations: modes are not told apart: a timer or perform runs whenever its context is iterated, also
// inside nested (modal) loops, in every mode, as if it had been added in the common modes; a nil mode
// schedules nothing (the platform raises). The main thread is the process's initial thread.
#pragma once

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

typedef NSString* NSRunLoopMode;

// Run-loop modes: NSStrings made before the program's static initialisers run (references, because
// the strings are made at run time, ahead of every ordinary static initialiser).
extern const NSRunLoopMode& NSDefaultRunLoopMode;
extern const NSRunLoopMode& NSRunLoopCommonModes;

struct NSRunLoop : NSObject {};
