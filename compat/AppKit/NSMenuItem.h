// AppKit stand-in: NSMenuItem, one command of a menu, shown as a GtkMenuItem in every menu bar made
// of its menu (NSMenu.h).
//
// Implements: +separatorItem, -init (an empty title, no action), -initWithTitle:action:keyEquivalent:,
// -title, -setTitle:, -tag, -setTag:, -target, -setTarget: (not retained), -action, -setAction:,
// -keyEquivalent, -setKeyEquivalent:, -keyEquivalentModifierMask, -setKeyEquivalentModifierMask:
// (Command by default), -isEnabled, -setEnabled:, -state, -setState:, -submenu, -setSubmenu:
// (retained; the submenu's -supermenu becomes the item's menu), -hasSubmenu, -menu, -isSeparatorItem,
// -representedObject, -setRepresentedObject: (retained).
// The action is sent as -performSelector:withObject: with the item as argument: to the target, or,
// for a nil target, to the first of the key window's responder chain, the key window, its delegate,
// the application and the application's delegate that responds to it.
// Lacks: images, attributed titles, alternates, indentation, views, tool tips, mnemonics.
// Deviations, each a Linux necessity:
// - Key equivalents are shown with Ctrl for Command, Alt for Option and Super for Control; the
//   function-key characters (NSF1FunctionKey...) are shown as GDK's keys of the same name.
// - The state NSControlStateValueMixed shows as a check mark drawn inconsistent.
#pragma once

#include "AppKit/NSEvent.h"

struct NSMenu;

typedef NSInteger NSControlStateValue;
constexpr NSControlStateValue NSControlStateValueMixed = -1;
constexpr NSControlStateValue NSControlStateValueOff = 0;
constexpr NSControlStateValue NSControlStateValueOn = 1;
constexpr NSControlStateValue NSMixedState = NSControlStateValueMixed;
constexpr NSControlStateValue NSOffState = NSControlStateValueOff;
constexpr NSControlStateValue NSOnState = NSControlStateValueOn;

struct NSMenuItem : NSObject {};

// A validator (the target of an item's action) answers -validateMenuItem: (BOOL, the item as
// argument) when it implements it; NSMenu asks it whenever it enables its items (NSMenu.h).
