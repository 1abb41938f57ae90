#include "UIA/HMenu.h"

#include "GP/NSStringRef.h"
#include "Menus/CocoaMenu.h"
#include "Menus/MenuKeys.h"
#include "Menus/MenuStrings.h"
#include "UIA/CommandIds.h"
#include "UIA/KeyCodes.h"

#include <AppKit/AppKit.h>

namespace QV::UIA {

std::map<uint32_t, int> HMenu::s_mapCommandShortcuts;
bool HMenu::s_bInit = false;

namespace {

using objc::msgSend;

const objc::Selector s_numberOfItems{"numberOfItems"};
const objc::Selector s_insertItemAtIndex{"insertItem:atIndex:"};
const objc::Selector s_itemWithTag{"itemWithTag:"};
const objc::Selector s_isEnabled{"isEnabled"};
const objc::Selector s_setEnabled{"setEnabled:"};
const objc::Selector s_setTag{"setTag:"};
const objc::Selector s_setState{"setState:"};
const objc::Selector s_setSubmenu{"setSubmenu:"};
const objc::Selector s_setKeyEquivalent{"setKeyEquivalent:"};
const objc::Selector s_setKeyEquivalentModifierMask{"setKeyEquivalentModifierMask:"};
const objc::Selector s_separatorItem{"separatorItem"};
const objc::Selector s_release{"release"};

constexpr uint32_t kShortcutQuit = eModifierCommand | 'Q';
constexpr uint32_t kShortcutPreferences = eModifierCommand | ',';

int itemCount(id menu) { return static_cast<int>(msgSend<NSInteger>(menu, s_numberOfItems)); }

// Inserts the item (the menu retains it) and gives up the caller's reference.
void insertAndRelease(id menu, id item, int index)
{
    msgSend<void, id, NSInteger>(menu, s_insertItemAtIndex, item, index);
    msgSend<void>(item, s_release);
}

// An index the menu can take: a negative one, or one past the end, appends.
int insertionIndex(id menu, int pos)
{
    const int count = itemCount(menu);
    return (pos < 0 || pos > count) ? count : pos;
}

void setKeyEquivalent(id item, const DETAIL::tKeyEquivalent& key)
{
    GP::NSStringRef text;
    text.assign(DETAIL::nsStringOfCharacter(key.character), false);
    msgSend<void, id>(item, s_setKeyEquivalent, text.get());
    msgSend<void, NSUInteger>(item, s_setKeyEquivalentModifierMask, static_cast<NSUInteger>(key.modifierMask));
}

// The preferences item goes into the application menu, above a separator of its own.
void insertPreferences(const GP::CharSequence<char>& title)
{
    id appMenu = HMenuBar::getApplicationMenu().getMenu();
    if (!appMenu)
        return;
    id separator = msgSend<id>(objc_getClass("NSMenuItem"), s_separatorItem);
    msgSend<void, id, NSInteger>(appMenu, s_insertItemAtIndex, separator, 2);
    id item = COCOA::MenuItem::create();
    DETAIL::setMenuItemTitle(item, DETAIL::menuTitleOf(title));
    msgSend<void, NSInteger>(item, s_setTag, eCommandPreferences);
    setKeyEquivalent(item, DETAIL::keyEquivalentOf(kShortcutPreferences));
    insertAndRelease(appMenu, item, 2);
}

}  // namespace

int HMenu::getItemCount() const { return itemCount(m_pMenu); }

int HMenu::insertCommandAt(int pos, const GP::CharSequence<char>& title, int commandId, unsigned flags, unsigned key)
{
    if (!m_pMenu)
        return -1;
    const int index = insertionIndex(m_pMenu, pos);
    if (commandId == eCommandAbout || commandId == eCommandQuit) {
        // The application menu has both items; Quit's shortcut is the application's.
        s_mapCommandShortcuts[kShortcutQuit] = eCommandQuit;
        return index;
    }
    if (commandId == eCommandPreferences) {
        insertPreferences(title);
        s_mapCommandShortcuts[kShortcutPreferences] = eCommandPreferences;
        return index;
    }

    id item = COCOA::MenuItem::create();
    if (!item)
        return -1;
    DETAIL::setMenuItemTitle(item, DETAIL::menuTitleOf(title));
    msgSend<void, NSInteger>(item, s_setTag, commandId);
    msgSend<void, BOOL>(item, s_setEnabled, (flags & eMenuItemDisabled) ? NO : YES);
    msgSend<void, NSControlStateValue>(item, s_setState, (flags & eMenuItemChecked) ? NSOnState : NSOffState);
    if (key != 0) {
        setKeyEquivalent(item, DETAIL::keyEquivalentOf(key));
        s_mapCommandShortcuts[key] = commandId;
    }
    insertAndRelease(m_pMenu, item, index);
    return index;
}

int HMenu::insertSubMenuAt(int pos, const GP::CharSequence<char>& title, const HPopupMenu& submenu)
{
    if (!m_pMenu || !submenu.getMenu() || submenu.getItemCount() == 0)
        return -1;
    const std::string shown = DETAIL::menuTitleOf(title);
    id item = COCOA::MenuItem::create();
    if (!item)
        return -1;
    DETAIL::setMenuItemTitle(item, shown);
    DETAIL::setMenuTitle(submenu.getMenu(), shown);
    msgSend<void, id>(item, s_setSubmenu, submenu.getMenu());
    const int index = insertionIndex(m_pMenu, pos);
    insertAndRelease(m_pMenu, item, index);
    return index;
}

bool HMenu::getItemEnabledId(int commandId) const
{
    id item = msgSend<id, NSInteger>(m_pMenu, s_itemWithTag, commandId);
    return item && msgSend<BOOL>(item, s_isEnabled);
}

void HMenu::enableItemId(int commandId, bool enabled)
{
    id item = msgSend<id, NSInteger>(m_pMenu, s_itemWithTag, commandId);
    msgSend<void, BOOL>(item, s_setEnabled, enabled ? YES : NO);
}

void HPopupMenu::create(int) { m_pMenu = COCOA::Menu::create(nullptr); }

}  // namespace QV::UIA
