// The platform's menu classes of this system, built at run time from AppKit's:
// ComOrvendalCocoaMenu (an NSMenu with an event target, its own delegate) and
// ComOrvendalCocoaMenuItem (an NSMenuItem that is its own target and turns its action and its
// validation into events sent through its menu).
//
// Main thread only.
#pragma once

#include <objc/runtime.h>

namespace QV::UIA {

class EventTarget;

namespace COCOA {

struct Menu {
    // A new menu (owned by the caller) whose events go to `target`, or climb to its supermenu when
    // the target is null. Nil when the class could not be made.
    static id create(EventTarget* target);
    // Sends an event to the menu's target, or to its supermenu's when it has none; false when no
    // menu up the chain has a target.
    static bool processEvent(id menu, unsigned code, void* data);

    static objc_class* s_pClass;
};

struct MenuItem {
    // A new command item (owned by the caller), its own target with the action onItemClicked:.
    static id create();

    static objc_class* s_pClass;
};

}  // namespace COCOA
}  // namespace QV::UIA
