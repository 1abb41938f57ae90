// NSMenu (NSMenu.h): the list of items, their enabling and the key equivalents.
#include "AppKit/standin/MenuState.h"

#include <Foundation/Bridge.h>

#include <algorithm>
#include <utility>

namespace qvcompat::appkit {

namespace {

const objc::Selector s_validateMenuItem{"validateMenuItem:"};
const objc::Selector s_menuWillOpen{"menuWillOpen:"};
const objc::Selector s_menuDidClose{"menuDidClose:"};
const objc::Selector s_charactersIgnoringModifiers{"charactersIgnoringModifiers"};
const objc::Selector s_modifierFlags{"modifierFlags"};
const objc::Selector s_type{"type"};

tMenu& state(id self) { return MenuState::of(self); }

id initWithTitle(id self, SEL, NSString* title)
{
    self = objc::msgSend<id>(self, objc::sel("init"));
    if (self) {
        objc_retain(title);
        objc_release(std::exchange(state(self).title, title));
    }
    return self;
}

NSString* title(id self, SEL)
{
    static NSString* const s_empty = foundation::newString("");  // immortal
    return state(self).title ? state(self).title : s_empty;
}

void setTitle(id self, SEL, NSString* text)
{
    objc_retain(text);
    objc_release(std::exchange(state(self).title, text));
}

NSInteger numberOfItems(id self, SEL) { return static_cast<NSInteger>(state(self).items.size()); }

id itemAtIndex(id self, SEL, NSInteger index)
{
    const std::vector<id>& items = state(self).items;
    return index >= 0 && index < static_cast<NSInteger>(items.size()) ? items[static_cast<size_t>(index)] : nil;
}

NSInteger indexOfItem(id self, SEL, id item)
{
    const std::vector<id>& items = state(self).items;
    const auto found = std::find(items.begin(), items.end(), item);
    return found == items.end() ? -1 : static_cast<NSInteger>(found - items.begin());
}

NSInteger indexOfItemWithTag(id self, SEL, NSInteger tag)
{
    const std::vector<id>& items = state(self).items;
    for (size_t i = 0; i < items.size(); ++i)
        if (MenuItemState::of(items[i]).tag == tag)
            return static_cast<NSInteger>(i);
    return -1;
}

id itemWithTag(id self, SEL op, NSInteger tag) { return itemAtIndex(self, op, indexOfItemWithTag(self, op, tag)); }

void insertItem(id self, SEL, id item, NSInteger index)
{
    std::vector<id>& items = state(self).items;
    // The platform raises for an item that belongs to a menu already or an index out of range.
    if (!item || MenuItemState::of(item).menu || index < 0 || index > static_cast<NSInteger>(items.size()))
        return;
    items.insert(items.begin() + index, objc_retain(item));
    setItemMenu(item, self);
    insertItemWidgets(self, item, index);
}

void addItem(id self, SEL op, id item) { insertItem(self, op, item, static_cast<NSInteger>(state(self).items.size())); }

void removeItemAtIndex(id self, SEL, NSInteger index)
{
    std::vector<id>& items = state(self).items;
    if (index < 0 || index >= static_cast<NSInteger>(items.size()))
        return;
    id item = items[static_cast<size_t>(index)];
    items.erase(items.begin() + index);
    removeItemWidgets(item);
    setItemMenu(item, nil);
    objc_release(item);
}

void removeItem(id self, SEL op, id item) { removeItemAtIndex(self, op, indexOfItem(self, op, item)); }

void removeAllItems(id self, SEL op)
{
    while (!state(self).items.empty())
        removeItemAtIndex(self, op, static_cast<NSInteger>(state(self).items.size()) - 1);
}

id newItem(NSString* title, SEL action, NSString* keyEquivalent)
{
    id item = objc::msgSend<id>(NSMenuItemClass(), objc::sel("alloc"));
    return objc::msgSend<id, NSString*, SEL, NSString*>(item, objc::sel("initWithTitle:action:keyEquivalent:"), title,
                                                        action, keyEquivalent);
}

id insertItemWithTitle(id self, SEL, NSString* title, SEL action, NSString* keyEquivalent, NSInteger index)
{
    id item = newItem(title, action, keyEquivalent);
    insertItem(self, nullptr, item, index);
    objc_release(item);  // the menu holds it
    return item;
}

id addItemWithTitle(id self, SEL op, NSString* title, SEL action, NSString* keyEquivalent)
{
    return insertItemWithTitle(self, op, title, action, keyEquivalent,
                               static_cast<NSInteger>(state(self).items.size()));
}

void setSubmenuForItem(id, SEL, id submenu, id item)
{
    if (item)
        objc::msgSend<void, id>(item, objc::sel("setSubmenu:"), submenu);
}

id supermenu(id self, SEL) { return state(self).supermenu; }
id delegate(id self, SEL) { return state(self).delegate; }
void setDelegate(id self, SEL, id value) { state(self).delegate = value; }
BOOL autoenablesItems(id self, SEL) { return state(self).autoenables; }
void setAutoenablesItems(id self, SEL, BOOL value) { state(self).autoenables = value; }
void update(id self, SEL) { updateMenu(self); }

// The item of the menu or of its submenus that the key-down event is the key equivalent of.
id itemForKey(id menu, const std::u16string& characters, NSEventModifierFlags flags)
{
    for (id item : std::vector<id>(state(menu).items)) {
        const tMenuItem& s = MenuItemState::of(item);
        if (s.submenu) {
            if (id found = itemForKey(s.submenu, characters, flags))
                return found;
        } else if (!s.separator && keyEquivalentMatches(s.keyEquivalent, s.keyMask, characters, flags)) {
            return item;
        }
    }
    return nil;
}

BOOL performKeyEquivalent(id self, SEL, NSEvent* event)
{
    if (!event || objc::msgSend<NSEventType>(event, s_type) != NSEventTypeKeyDown)
        return NO;
    const std::u16string characters = unitsOf(objc::msgSend<NSString*>(event, s_charactersIgnoringModifiers));
    const NSEventModifierFlags flags = objc::msgSend<NSEventModifierFlags>(event, s_modifierFlags);
    id item = itemForKey(self, characters, flags);
    if (!item)
        return NO;
    objc_retain(item);
    updateMenu(itemMenu(item));
    const bool done = performItemAction(item);
    objc_release(item);
    return done;
}

}  // namespace

tMenu::~tMenu()
{
    for (const tShell& shell : std::vector<tShell>(shells))
        gtk_widget_destroy(shell.widget);
    for (id item : items) {
        setItemMenu(item, nil);
        objc_release(item);
    }
    objc_release(title);
}

NSInteger itemCount(id menu) { return static_cast<NSInteger>(MenuState::of(menu).items.size()); }

id itemAt(id menu, NSInteger index) { return itemAtIndex(menu, nullptr, index); }

void updateMenu(id menu)
{
    if (!menu || !MenuState::of(menu).autoenables)
        return;
    for (id item : std::vector<id>(MenuState::of(menu).items)) {
        const tMenuItem& s = MenuItemState::of(item);
        if (s.separator)
            continue;
        bool enabled = s.submenu != nil;
        if (!s.submenu && s.action) {
            id validator = actionReceiver(item);
            enabled = validator && (!objc::respondsToSelector(validator, s_validateMenuItem) ||
                                    objc::msgSend<BOOL, id>(validator, s_validateMenuItem, item));
        }
        objc::msgSend<void, BOOL>(item, objc::sel("setEnabled:"), enabled);
    }
}

void menuWillOpen(id menu)
{
    objc_retain(menu);
    id delegate = MenuState::of(menu).delegate;
    if (delegate && objc::respondsToSelector(delegate, s_menuWillOpen))
        objc::msgSend<void, id>(delegate, s_menuWillOpen, menu);
    updateMenu(menu);
    objc_release(menu);
}

void menuDidClose(id menu)
{
    id delegate = MenuState::of(menu).delegate;
    if (delegate && objc::respondsToSelector(delegate, s_menuDidClose))
        objc::msgSend<void, id>(delegate, s_menuDidClose, menu);
}

Class NSMenuClass()
{
    static const Class s_class =
        foundation::ClassDefinition("NSMenu", foundation::NSObjectClass())
            .state<tMenu>()
            .method("initWithTitle:", &initWithTitle, "@@:@")
            .method("title", &title, "@@:")
            .method("setTitle:", &setTitle, "v@:@")
            .method("numberOfItems", &numberOfItems, "q@:")
            .method("itemAtIndex:", &itemAtIndex, "@@:q")
            .method("indexOfItem:", &indexOfItem, "q@:@")
            .method("indexOfItemWithTag:", &indexOfItemWithTag, "q@:q")
            .method("itemWithTag:", &itemWithTag, "@@:q")
            .method("addItem:", &addItem, "v@:@")
            .method("insertItem:atIndex:", &insertItem, "v@:@q")
            .method("removeItem:", &removeItem, "v@:@")
            .method("removeItemAtIndex:", &removeItemAtIndex, "v@:q")
            .method("removeAllItems", &removeAllItems, "v@:")
            .method("addItemWithTitle:action:keyEquivalent:", &addItemWithTitle, "@@:@:@")
            .method("insertItemWithTitle:action:keyEquivalent:atIndex:", &insertItemWithTitle, "@@:@:@q")
            .method("setSubmenu:forItem:", &setSubmenuForItem, "v@:@@")
            .method("supermenu", &supermenu, "@@:")
            .method("delegate", &delegate, "@@:")
            .method("setDelegate:", &setDelegate, "v@:@")
            .method("autoenablesItems", &autoenablesItems, "B@:")
            .method("setAutoenablesItems:", &setAutoenablesItems, "v@:B")
            .method("update", &update, "v@:")
            .method("performKeyEquivalent:", &performKeyEquivalent, "B@:@")
            .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
