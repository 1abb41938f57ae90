// Inside the AppKit stand-in: what the application, its menus and cursors (NSApplication, NSMenu,
// NSMenuItem, NSCursor) share with one another and with the windowing classes.
#pragma once

#include "AppKit/NSApplication.h"
#include "AppKit/NSCursor.h"

#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace qvcompat::appkit {

struct tWindow;

Class NSApplicationClass();
Class NSMenuClass();
Class NSMenuItemClass();
Class NSCursorClass();
// Makes all of the above (for the AppKit loader).
void loadApplication();

// ---- The windows of the application (NSApplication.cpp) -------------------------------------------

// Every NSWindow between its -init... and its -dealloc, in the order they were made (not retained).
const std::vector<id>& applicationWindows();
void noteWindowMade(id window);
void noteWindowGone(id window);
// The key window changed (or went): the application becomes active, or resigns once idle.
void noteKeyWindowChanged();
// The window is no longer iconified: when -hide: had iconified it, the application is not hidden.
void noteWindowRestored(id window);
// The window system's events go through the application's -sendEvent: (the window's without one).
void sendWindowEvent(id window, NSEvent* event);
// Offers a key-down event to the main menu's key equivalents; YES when an item took it.
bool performMainMenuKeyEquivalent(NSEvent* event);
// From now on SIGTERM and SIGINT send -terminate: to the shared application on the main loop
// (TerminationSignals.cpp); once per process.
void watchTerminationSignals();

// ---- GTK (MenuGtk.cpp, NSCursor.cpp) ------------------------------------------------------------------

// Gives a new GtkWindow what the application shows in every window: the main menu's bar with its
// key equivalents' accel group, and the current cursor over the content.
void decorateGtkWindow(tWindow& window);
// Shows the main menu (nil: none) in the bar of every window.
void showMainMenuInWindows(id menu);
// Shows `menu` in `shell` (a GtkMenuBar or a GtkMenu) with the accel group its items' key
// equivalents go to (may be null); the shell follows the menu's changes until it is destroyed.
void showMenuIn(id menu, GtkWidget* shell, GtkAccelGroup* accelGroup);
// The item's widgets follow a change of its title, key equivalent, state or submenu (`rebuild`) or
// of its enabled state only.
void refreshItemWidgets(id item, bool rebuild);
// The menu's shells gain the item at `index`, or lose it.
void insertItemWidgets(id menu, id item, NSInteger index);
void removeItemWidgets(id item);
// The widgets of a menu or item that goes away.
void forgetMenuWidgets(id menu);

// The GdkCursor of a cursor (made on first use, owned by the cursor); null without a display.
GdkCursor* gdkCursorOf(id cursor);
// The window's content shows the application's current cursor once realised.
void decorateWithCursor(tWindow& window);

// ---- Menus (NSMenu.cpp, NSMenuItem.cpp) ---------------------------------------------------------------

// Sets the enabled state of the menu's items from their validators (NSMenu.h), when it autoenables.
void updateMenu(id menu);
// The menu opens: its delegate's -menuWillOpen:, then its items' validation.
void menuWillOpen(id menu);
void menuDidClose(id menu);
// Sends the item's action (when it has one and is enabled); answers whether it was sent.
bool performItemAction(id item);
// The object that receives the item's action: its target, else the responder chain's (nil: none).
id actionReceiver(id item);
NSInteger itemCount(id menu);
id itemAt(id menu, NSInteger index);
id itemMenu(id item);
bool itemIsSeparator(id item);
bool itemIsEnabled(id item);
// The title shown in a menu bar: the application menu is titled with the bundle's name.
std::string itemLabel(id item, bool inMenuBar);

// ---- Key equivalents (KeyEquivalents.cpp: plain functions) -----------------------------------------

// GDK's accelerator for a key equivalent (the first character) and modifier mask: keyval 0 when
// there is none. An upper-case letter implies Shift.
struct tAccelerator {
    unsigned keyval = 0;
    GdkModifierType modifiers = GdkModifierType(0);
};
tAccelerator acceleratorFor(const std::u16string& keyEquivalent, NSEventModifierFlags mask);

// Whether a key-down event (its characters ignoring modifiers and its flags) matches an item's key
// equivalent and mask: letters without regard to case, Shift from the mask or an upper-case letter;
// Command, Option and Control exactly.
bool keyEquivalentMatches(const std::u16string& keyEquivalent, NSEventModifierFlags mask,
                          const std::u16string& eventCharacters, NSEventModifierFlags eventFlags);

}  // namespace qvcompat::appkit
