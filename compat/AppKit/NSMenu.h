// AppKit stand-in: NSMenu, a list of menu items, shown over GTK: the application's main menu is a
// GtkMenuBar at the top of every window (above the content, which keeps its size: the bar is part of
// the frame), its items' submenus GtkMenus.
//
// Implements: -init, -initWithTitle:, -title, -setTitle:, -numberOfItems, -itemAtIndex:,
// -indexOfItem:, -indexOfItemWithTag:, -itemWithTag:, -addItem:, -insertItem:atIndex:,
// -removeItem:, -removeItemAtIndex:, -removeAllItems, -addItemWithTitle:action:keyEquivalent:,
// -insertItemWithTitle:action:keyEquivalent:atIndex:, -setSubmenu:forItem:, -supermenu, -delegate,
// -setDelegate: (not retained), -autoenablesItems, -setAutoenablesItems: (YES by default), -update,
// -performKeyEquivalent:.
// Enabling: with autoenablesItems, -update sets each item's enabled state: an item with a submenu
// is enabled; an item without action is disabled; otherwise the validator (the item's target, or
// the responder that would receive the action, NSMenuItem.h) decides by -validateMenuItem: when it
// implements it, else the item is enabled; an item whose action nobody receives is disabled.
// -update runs when a submenu opens (after its delegate's -menuWillOpen:) and before a key
// equivalent is performed.
// Delegate messages: -menuWillOpen: (the menu, as it opens), -menuDidClose:.
// Key equivalents: -performKeyEquivalent: looks for an item of the menu or of its submenus whose key
// equivalent and modifier mask match the key-down event (letters without regard to case, Shift
// taken from the mask or from an upper-case key equivalent), updates its menu and, when the item is
// enabled, sends its action and answers YES. Windows offer a key with Command held to their views
// first, then to the main menu, then to -keyDown: (NSWindow.h).
// Lacks: pop-up menus of their own (+popUpContextMenu:...), -cancelTracking, fonts, -menuBarHeight,
// the help menu's search, menus of the status bar.
// Deviations, each a Linux necessity:
// - There is no global menu bar: each window shows the main menu in a bar of its own. The first
//   item of the bar (the application menu) is titled with the bundle's CFBundleName when the bundle
//   has one.
// - An item whose submenu has no items is shown insensitive (GTK would open an empty menu).
#pragma once

#include "AppKit/NSMenuItem.h"

struct NSMenu : NSObject {};
