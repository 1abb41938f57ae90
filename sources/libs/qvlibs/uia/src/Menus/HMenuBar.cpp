#include "GP/NSStringRef.h"
#include "Menus/CocoaMenu.h"
#include "Menus/MenuStrings.h"
#include "UIA/Application.h"
#include "UIA/CommandIds.h"
#include "UIA/HMenu.h"

#include <AppKit/AppKit.h>

namespace QV::UIA {

namespace {

using objc::msgSend;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_initWithTitle{"initWithTitle:"};
const objc::Selector s_initWithTitleActionKey{"initWithTitle:action:keyEquivalent:"};
const objc::Selector s_addItem{"addItem:"};
const objc::Selector s_release{"release"};
const objc::Selector s_setTag{"setTag:"};
const objc::Selector s_setTarget{"setTarget:"};
const objc::Selector s_setSubmenu{"setSubmenu:"};
const objc::Selector s_setKeyEquivalent{"setKeyEquivalent:"};
const objc::Selector s_setKeyEquivalentModifierMask{"setKeyEquivalentModifierMask:"};
const objc::Selector s_separatorItem{"separatorItem"};
const objc::Selector s_sharedApplication{"sharedApplication"};
const objc::Selector s_setAppleMenu{"setAppleMenu:"};
const objc::Selector s_setServicesMenu{"setServicesMenu:"};
const objc::Selector s_performSelectorWithObject{"performSelector:withObject:"};

// The application menu, made once for the process.
id s_pApplicationMenu = nullptr;

id sharedApplication() { return msgSend<id>(objc_getClass("NSApplication"), s_sharedApplication); }

void addSeparator(id menu)
{
    msgSend<void, id>(menu, s_addItem, msgSend<id>(objc_getClass("NSMenuItem"), s_separatorItem));
}

// "%@ %@" of a title and the application's name; the title alone without a name.
std::string withName(const char* title, const std::string& name) { return name.empty() ? title : title + (" " + name); }

void addAndRelease(id menu, id item)
{
    msgSend<void, id>(menu, s_addItem, item);
    msgSend<void>(item, s_release);
}

// An item that sends the command through the menu's events.
void addCommand(id menu, const std::string& title, int command, const char* key)
{
    id item = COCOA::MenuItem::create();
    DETAIL::setMenuItemTitle(item, title);
    msgSend<void, NSInteger>(item, s_setTag, command);
    if (key) {
        GP::NSStringRef equivalent;
        equivalent.createWith(key, true);
        msgSend<void, id>(item, s_setKeyEquivalent, equivalent.get());
    }
    addAndRelease(menu, item);
}

// An item whose action the shared application handles itself.
id addApplicationAction(id menu, const std::string& title, const char* action, const char* key)
{
    GP::NSStringRef text;
    text.createWith(title, true);
    GP::NSStringRef equivalent;
    equivalent.createWith(key, true);
    id item = msgSend<id>(objc_getClass("NSMenuItem"), s_alloc);
    item = msgSend<id, id, SEL, id>(item, s_initWithTitleActionKey, text.get(), objc::sel(action), equivalent.get());
    msgSend<void, id>(item, s_setTarget, sharedApplication());
    addAndRelease(menu, item);
    return item;
}

id makeApplicationMenu()
{
    // The bundle carries no string table for these titles, so the English keys are shown.
    const std::string name = DETAIL::bundleName();
    id menu = COCOA::Menu::create(nullptr);
    if (!menu)
        return nil;
    DETAIL::setMenuTitle(menu, "Apple");

    addCommand(menu, withName("About", name), eCommandAbout, nullptr);
    addSeparator(menu);

    GP::NSStringRef servicesTitle;
    servicesTitle.createWith("Services", true);
    id services = msgSend<id, id>(msgSend<id>(objc_getClass("NSMenu"), s_alloc), s_initWithTitle, servicesTitle.get());
    id servicesItem = msgSend<id>(msgSend<id>(objc_getClass("NSMenuItem"), s_alloc), objc::sel("init"));
    DETAIL::setMenuItemTitle(servicesItem, "Services");
    msgSend<void, id>(servicesItem, s_setSubmenu, services);
    addAndRelease(menu, servicesItem);
    msgSend<void, id>(sharedApplication(), s_setServicesMenu, services);
    msgSend<void>(services, s_release);
    addSeparator(menu);

    addApplicationAction(menu, withName("Hide", name), "hide:", "h");
    id hideOthers = addApplicationAction(menu, "Hide Others", "hideOtherApplications:", "h");
    msgSend<void, NSUInteger>(hideOthers, s_setKeyEquivalentModifierMask,
                              NSEventModifierFlagCommand | NSEventModifierFlagOption);
    addApplicationAction(menu, "Show All", "unhideAllApplications:", "");
    addSeparator(menu);

    addCommand(menu, withName("Quit", name), eCommandQuit, "q");
    return menu;
}

}  // namespace

HMenu HMenuBar::getApplicationMenu()
{
    if (!s_pApplicationMenu)
        s_pApplicationMenu = makeApplicationMenu();
    return HMenu(s_pApplicationMenu);
}

void HMenuBar::create()
{
    Application* application = Application::getApplication();
    id bar = COCOA::Menu::create(application);
    if (!bar)
        return;
    DETAIL::setMenuTitle(bar, "MainMenu");
    id appMenu = getApplicationMenu().getMenu();
    id appleItem = msgSend<id>(msgSend<id>(objc_getClass("NSMenuItem"), s_alloc), objc::sel("init"));
    DETAIL::setMenuItemTitle(appleItem, "Apple");
    msgSend<void, id>(appleItem, s_setSubmenu, appMenu);
    addAndRelease(bar, appleItem);
    msgSend<void, SEL, id>(sharedApplication(), s_performSelectorWithObject, s_setAppleMenu, appMenu);
    m_pMenu = bar;
}

}  // namespace QV::UIA
