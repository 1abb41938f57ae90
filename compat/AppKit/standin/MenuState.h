// Inside the AppKit stand-in: the C++ state of NSMenu and NSMenuItem (NSMenu.cpp, NSMenuItem.cpp,
// MenuGtk.cpp).
#pragma once

#include "AppKit/standin/Application.h"

#include <Foundation/ClassDefinition.h>

#include <string>
#include <vector>

namespace qvcompat::appkit {

struct tMenuItem {
    tMenuItem() = default;
    tMenuItem(const tMenuItem&) = delete;
    tMenuItem& operator=(const tMenuItem&) = delete;
    ~tMenuItem();

    NSString* title = nil;  // retained
    SEL action = nullptr;
    id target = nil;  // not retained
    NSInteger tag = 0;
    std::u16string keyEquivalent;
    NSEventModifierFlags keyMask = NSEventModifierFlagCommand;
    bool enabled = true;
    bool separator = false;
    NSControlStateValue state = NSControlStateValueOff;
    id submenu = nil;                 // retained
    id menu = nil;                    // not retained: the menu that holds the item
    id representedObject = nil;       // retained
    std::vector<GtkWidget*> widgets;  // its GtkMenuItems, one per shell showing its menu
};

struct tMenu {
    tMenu() = default;
    tMenu(const tMenu&) = delete;
    tMenu& operator=(const tMenu&) = delete;
    ~tMenu();

    NSString* title = nil;  // retained
    std::vector<id> items;  // retained
    id supermenu = nil;     // not retained
    id delegate = nil;      // not retained
    bool autoenables = true;
    struct tShell {
        GtkWidget* widget;
        GtkAccelGroup* accelGroup;  // not owned: the window's
    };
    std::vector<tShell> shells;  // the GtkMenuBars and GtkMenus showing the menu
};

using MenuItemState = foundation::InstanceState<tMenuItem>;
using MenuState = foundation::InstanceState<tMenu>;

// The item's menu changes (nil: it leaves its menu); its submenu's supermenu follows.
void setItemMenu(id item, id menu);
// UTF-16 of an NSString (empty for nil) and back.
std::u16string unitsOf(NSString* string);
std::string utf8Of(NSString* string);

}  // namespace qvcompat::appkit
