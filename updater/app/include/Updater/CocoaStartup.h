// The two platform classes compiled into the program's start-up, made in the runtime when the
// program loads:
// - QVCocoaAppDelegate (an NSObject) bridges the shared application's life to the UI layer: it
//   starts the application module when the application will finish launching (and terminates the
//   application when that fails), answers whether the application may terminate through the
//   application's quit question, stops the module when the application terminates, and forwards
//   activation changes and file-open requests. Its one instance variable, isInitialized (BOOL), is
//   YES while the module runs.
// - QVCocoaStandaloneApplication (an NSApplication) is the class of the shared application: a key-up
//   with the Command modifier goes straight to the key window, every other event through
//   NSApplication's -sendEvent:; -buttonPressed: does nothing.
//
// Main thread only.
#pragma once

#include <objc/runtime.h>

namespace QV::COCOA {

// The registered classes (null when they could not be made).
Class appDelegateClass();
Class standaloneApplicationClass();

// The delegate's isInitialized.
bool isDelegateInitialized(id delegate);

}  // namespace QV::COCOA
