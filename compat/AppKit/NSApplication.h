// AppKit stand-in: NSApplication, the program's one application object, over GTK's main loop.
//
// Implements: +sharedApplication (made once, as an instance of the class it is sent to: a subclass
// made by the program is the application's class), the global NSApp, -delegate, -setDelegate: (not
// retained), -run, -stop:, -isRunning, -terminate:, -replyToApplicationShouldTerminate:,
// -sendEvent:, -mainMenu, -setMainMenu: (retained; every window shows it), -setAppleMenu: and
// -setServicesMenu: (kept), -servicesMenu, -keyWindow, -mainWindow, -isActive, -isHidden, -hide:,
// -unhide:, -hideOtherApplications:, -unhideAllApplications:, -validateMenuItem:.
// -run: sends the delegate -applicationWillFinishLaunching:, then -applicationDidFinishLaunching:
// (each followed by its notification), then runs the GLib default main context, on which GTK's
// events arrive, until -stop:. The performs and timers of the main run loop run there
// (-performSelector:withObject:afterDelay:, NSRunLoop.h).
// -terminate: asks the delegate -applicationShouldTerminate: (NSTerminateNow when it does not
// answer); NSTerminateCancel stops there, NSTerminateLater waits for
// -replyToApplicationShouldTerminate:; then the delegate receives -applicationWillTerminate: and
// NSApplicationWillTerminateNotification is posted, and the process ends with exit(0).
// From -run on, SIGTERM and SIGINT send -terminate: (nil sender) on the main loop, as the platform's
// quit request does; a signal that arrives while such a -terminate: is still being answered (a
// modal question) is dropped.
// -sendEvent: sends the event to its window's -sendEvent: (every window event goes through it, so
// that a subclass sees them first).
// Active: the application becomes active when one of its windows receives the keyboard focus, and
// inactive when the focus has left all of them (checked once the main loop is idle, so that focus
// going from one window to another does not count), with -applicationDidBecomeActive: and
// -applicationDidResignActive: to the delegate and their notifications.
// Lacks: modal sessions (-runModalForWindow:), -beginSheet..., the dock tile, the help menu,
// -orderFrontStandardAboutPanel:, -application:openFile: (no file manager sends it), user attention
// requests, -nextEventMatchingMask:..., -postEvent:atStart:, -windows.
// Deviations, each a Linux necessity:
// - -hide: iconifies the application's windows and -unhide: brings them back. The application is
//   hidden until -unhide: or until one of those windows is restored by other means (the task bar,
//   the window manager), so -hide: works again after that.
// - -hideOtherApplications: and -unhideAllApplications: have no counterpart (a program cannot hide
//   another's windows under X): they do nothing, and -validateMenuItem: disables their items.
// - The Services menu has no counterpart: -setServicesMenu: keeps the menu, nothing fills it.
#pragma once

#include "AppKit/NSMenu.h"
#include "AppKit/NSResponder.h"
#include "AppKit/NSWindow.h"

#include <Foundation/NSNotification.h>

struct NSApplication : NSResponder {};

// The shared application, nil until +sharedApplication made it.
extern NSApplication* NSApp;

typedef NSUInteger NSApplicationTerminateReply;
enum : NSApplicationTerminateReply {
    NSTerminateCancel = 0,
    NSTerminateNow = 1,
    NSTerminateLater = 2,
};

extern const NSNotificationName NSApplicationWillFinishLaunchingNotification;
extern const NSNotificationName NSApplicationDidFinishLaunchingNotification;
extern const NSNotificationName NSApplicationWillTerminateNotification;
extern const NSNotificationName NSApplicationDidBecomeActiveNotification;
extern const NSNotificationName NSApplicationDidResignActiveNotification;

// The delegate's messages, each sent when the delegate responds to it:
//   -applicationWillFinishLaunching:(NSNotification*), -applicationDidFinishLaunching:,
//   -applicationShouldTerminate:(NSApplication*) -> NSApplicationTerminateReply,
//   -applicationWillTerminate:, -applicationDidBecomeActive:, -applicationDidResignActive:.
