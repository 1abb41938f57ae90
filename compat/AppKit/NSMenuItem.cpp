// NSMenuItem (NSMenuItem.h): the item's properties, its action and who receives it.
#include "AppKit/standin/MenuState.h"

#include <Foundation/Bridge.h>

#include <utility>

namespace qvcompat::appkit {

namespace {

const objc::Selector s_performSelectorWithObject{"performSelector:withObject:"};
const objc::Selector s_firstResponder{"firstResponder"};
const objc::Selector s_nextResponder{"nextResponder"};
const objc::Selector s_delegate{"delegate"};
const objc::Selector s_keyWindow{"keyWindow"};

tMenuItem& state(id self) { return MenuItemState::of(self); }

template <typename T>
void retainInto(T*& slot, T* value)
{
    objc_retain(value);
    objc_release(std::exchange(slot, value));
}

id initWithTitle(id self, SEL, NSString* title, SEL action, NSString* keyEquivalent)
{
    self = objc::msgSend<id>(self, objc::sel("init"));
    if (!self)
        return nil;
    tMenuItem& item = state(self);
    retainInto(item.title, title);
    item.action = action;
    item.keyEquivalent = unitsOf(keyEquivalent);
    return self;
}

id separatorItem(id self, SEL)
{
    id item = objc::msgSend<id>(objc::msgSend<id>(self, objc::sel("alloc")), objc::sel("init"));
    state(item).separator = true;
    state(item).enabled = false;
    return objc::msgSend<id>(item, objc::sel("autorelease"));
}

NSString* title(id self, SEL)
{
    static NSString* const s_empty = foundation::newString("");  // immortal
    return state(self).title ? state(self).title : s_empty;
}

void setTitle(id self, SEL, NSString* text)
{
    retainInto(state(self).title, text);
    refreshItemWidgets(self, true);
}

NSInteger tag(id self, SEL) { return state(self).tag; }
void setTag(id self, SEL, NSInteger value) { state(self).tag = value; }
id target(id self, SEL) { return state(self).target; }
void setTarget(id self, SEL, id value) { state(self).target = value; }
SEL action(id self, SEL) { return state(self).action; }
void setAction(id self, SEL, SEL value) { state(self).action = value; }

NSString* keyEquivalent(id self, SEL)
{
    const std::u16string& units = state(self).keyEquivalent;
    CFStringRef text = CFStringCreateWithCharacters(kCFAllocatorDefault, reinterpret_cast<const UniChar*>(units.data()),
                                                    static_cast<CFIndex>(units.size()));
    return static_cast<NSString*>(objc::msgSend<id>(foundation::asObject(text), objc::sel("autorelease")));
}

void setKeyEquivalent(id self, SEL, NSString* value)
{
    state(self).keyEquivalent = unitsOf(value);
    refreshItemWidgets(self, true);
}

NSEventModifierFlags keyEquivalentModifierMask(id self, SEL) { return state(self).keyMask; }

void setKeyEquivalentModifierMask(id self, SEL, NSEventModifierFlags mask)
{
    state(self).keyMask = mask & NSEventModifierFlagDeviceIndependentFlagsMask;
    refreshItemWidgets(self, true);
}

BOOL isEnabled(id self, SEL) { return state(self).enabled; }

void setEnabled(id self, SEL, BOOL enabled)
{
    if (state(self).enabled == static_cast<bool>(enabled))
        return;
    state(self).enabled = enabled;
    refreshItemWidgets(self, false);
}

NSControlStateValue stateValue(id self, SEL) { return state(self).state; }

void setState(id self, SEL, NSControlStateValue value)
{
    if (state(self).state == value)
        return;
    state(self).state = value;
    refreshItemWidgets(self, true);
}

id submenu(id self, SEL) { return state(self).submenu; }

void setSubmenu(id self, SEL, id menu)
{
    tMenuItem& item = state(self);
    if (item.submenu == menu)
        return;
    if (item.submenu)
        MenuState::of(item.submenu).supermenu = nil;
    retainInto(item.submenu, menu);
    if (menu)
        MenuState::of(menu).supermenu = item.menu;
    refreshItemWidgets(self, true);
}

BOOL hasSubmenu(id self, SEL) { return state(self).submenu != nil; }
id menu(id self, SEL) { return state(self).menu; }
BOOL isSeparatorItem(id self, SEL) { return state(self).separator; }
id representedObject(id self, SEL) { return state(self).representedObject; }
void setRepresentedObject(id self, SEL, id value) { retainInto(state(self).representedObject, value); }

// The first object of the responder chain that answers `action`, AppKit's order for a nil target:
// the key window's first responder and the responders after it, the key window, its delegate, the
// application, the application's delegate.
id responderFor(SEL action)
{
    id app = NSApp;
    id window = app ? objc::msgSend<id>(app, s_keyWindow) : nil;
    if (window) {
        for (id responder = objc::msgSend<id>(window, s_firstResponder); responder;
             responder = objc::msgSend<id>(responder, s_nextResponder))
            if (objc::respondsToSelector(responder, action))
                return responder;
        if (objc::respondsToSelector(window, action))
            return window;
        id delegate = objc::msgSend<id>(window, s_delegate);
        if (delegate && objc::respondsToSelector(delegate, action))
            return delegate;
    }
    if (app && objc::respondsToSelector(app, action))
        return app;
    id delegate = app ? objc::msgSend<id>(app, s_delegate) : nil;
    return delegate && objc::respondsToSelector(delegate, action) ? delegate : nil;
}

}  // namespace

tMenuItem::~tMenuItem()
{
    for (GtkWidget* widget : std::vector<GtkWidget*>(widgets))
        gtk_widget_destroy(widget);
    if (submenu)
        MenuState::of(submenu).supermenu = nil;
    objc_release(title);
    objc_release(submenu);
    objc_release(representedObject);
}

std::u16string unitsOf(NSString* string)
{
    if (!string)
        return std::u16string();
    CFStringRef text = foundation::asCF<CFStringRef>(string);
    std::u16string units(static_cast<size_t>(CFStringGetLength(text)), u'\0');
    CFStringGetCharacters(text, CFRangeMake(0, static_cast<CFIndex>(units.size())),
                          reinterpret_cast<UniChar*>(units.data()));
    return units;
}

std::string utf8Of(NSString* string)
{
    const char* text = string ? objc::msgSend<const char*>(string, objc::sel("UTF8String")) : nullptr;
    return text ? text : "";
}

void setItemMenu(id item, id menu)
{
    tMenuItem& state = MenuItemState::of(item);
    state.menu = menu;
    if (state.submenu)
        MenuState::of(state.submenu).supermenu = menu;
}

id itemMenu(id item) { return MenuItemState::of(item).menu; }
bool itemIsSeparator(id item) { return MenuItemState::of(item).separator; }
bool itemIsEnabled(id item) { return MenuItemState::of(item).enabled; }

id actionReceiver(id item)
{
    const tMenuItem& state = MenuItemState::of(item);
    if (!state.action)
        return nil;
    if (state.target)
        return objc::respondsToSelector(state.target, state.action) ? state.target : nil;
    return responderFor(state.action);
}

bool performItemAction(id item)
{
    const tMenuItem& state = MenuItemState::of(item);
    if (!state.enabled || state.separator || state.submenu)
        return false;
    id receiver = actionReceiver(item);
    if (!receiver)
        return false;
    objc_retain(item);
    objc::msgSend<id, SEL, id>(receiver, s_performSelectorWithObject, state.action, item);
    objc_release(item);
    return true;
}

Class NSMenuItemClass()
{
    static const Class s_class = foundation::ClassDefinition("NSMenuItem", foundation::NSObjectClass())
                                     .state<tMenuItem>()
                                     .classMethod("separatorItem", &separatorItem, "@@:")
                                     .method("initWithTitle:action:keyEquivalent:", &initWithTitle, "@@:@:@")
                                     .method("title", &title, "@@:")
                                     .method("setTitle:", &setTitle, "v@:@")
                                     .method("tag", &tag, "q@:")
                                     .method("setTag:", &setTag, "v@:q")
                                     .method("target", &target, "@@:")
                                     .method("setTarget:", &setTarget, "v@:@")
                                     .method("action", &action, ":@:")
                                     .method("setAction:", &setAction, "v@::")
                                     .method("keyEquivalent", &keyEquivalent, "@@:")
                                     .method("setKeyEquivalent:", &setKeyEquivalent, "v@:@")
                                     .method("keyEquivalentModifierMask", &keyEquivalentModifierMask, "Q@:")
                                     .method("setKeyEquivalentModifierMask:", &setKeyEquivalentModifierMask, "v@:Q")
                                     .method("isEnabled", &isEnabled, "B@:")
                                     .method("setEnabled:", &setEnabled, "v@:B")
                                     .method("state", &stateValue, "q@:")
                                     .method("setState:", &setState, "v@:q")
                                     .method("submenu", &submenu, "@@:")
                                     .method("setSubmenu:", &setSubmenu, "v@:@")
                                     .method("hasSubmenu", &hasSubmenu, "B@:")
                                     .method("menu", &menu, "@@:")
                                     .method("isSeparatorItem", &isSeparatorItem, "B@:")
                                     .method("representedObject", &representedObject, "@@:")
                                     .method("setRepresentedObject:", &setRepresentedObject, "v@:@")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
