#include "Menus/CocoaMenu.h"

#include "GP/ClassFactory.h"
#include "GP/ObjcIvar.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/EventTarget.h"
#include "UIA/HMenu.h"

#include <AppKit/AppKit.h>

namespace QV::UIA::COCOA {

objc_class* Menu::s_pClass = nullptr;
objc_class* MenuItem::s_pClass = nullptr;

namespace {

using objc::msgSend;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};
const objc::Selector s_initWithUIAEventTarget{"initWithUIAEventTarget:"};
const objc::Selector s_processUIAEvent{"processUIAEvent:withData:"};
const objc::Selector s_setDelegate{"setDelegate:"};
const objc::Selector s_setTarget{"setTarget:"};
const objc::Selector s_setAction{"setAction:"};
const objc::Selector s_onItemClicked{"onItemClicked:"};
const objc::Selector s_supermenu{"supermenu"};
const objc::Selector s_menu{"menu"};
const objc::Selector s_tag{"tag"};

constexpr const char* kTargetVar = "pUIAEventTarget";

EventTarget* targetOf(id menu) { return reinterpret_cast<EventTarget*>(GP::OBJC::getIvarPtr(menu, kTargetVar)); }

// --- ComOrvendalCocoaMenu ---

id menuInitWithTarget(id self, SEL, EventTarget* target)
{
    objc_super up{self, class_getSuperclass(Menu::s_pClass)};
    self = objc::msgSendSuper<id>(&up, s_init);
    if (self)
        GP::OBJC::setIvarPtr(self, kTargetVar, reinterpret_cast<id>(target));
    return self;
}

id menuInit(id self, SEL op) { return menuInitWithTarget(self, op, nullptr); }

void menuSetTarget(id self, SEL, EventTarget* target)
{
    GP::OBJC::setIvarPtr(self, kTargetVar, reinterpret_cast<id>(target));
}

BOOL menuProcessEvent(id self, SEL, unsigned code, EventData* data)
{
    if (EventTarget* target = targetOf(self))
        return target->sendEvent(code, data) ? YES : NO;
    id supermenu = msgSend<id>(self, s_supermenu);
    if (!supermenu)
        return NO;
    return msgSend<BOOL, unsigned, EventData*>(supermenu, s_processUIAEvent, code, data);
}

void menuWillOpen(id self, SEL, id)
{
    HMenu opening(self);
    MenuEventData data;
    data.commandId = -1;
    data.menu = &opening;
    msgSend<BOOL, unsigned, EventData*>(self, s_processUIAEvent, eEventMenuOpen, &data);
}

// --- ComOrvendalCocoaMenuItem ---

id itemInit(id self, SEL)
{
    objc_super up{self, class_getSuperclass(MenuItem::s_pClass)};
    return objc::msgSendSuper<id>(&up, s_init);
}

void itemClicked(id self, SEL, id)
{
    const auto tag = static_cast<int>(msgSend<NSInteger>(self, s_tag));
    if (tag == 0)
        return;  // an item that opens a submenu
    CommandExecuteEventData data;
    data.commandId = tag;
    msgSend<BOOL, unsigned, EventData*>(msgSend<id>(self, s_menu), s_processUIAEvent, eEventCommandExecute, &data);
}

BOOL itemValidate(id self, SEL, id)
{
    const auto tag = static_cast<int>(msgSend<NSInteger>(self, s_tag));
    if (tag == 0)
        return YES;
    id menu = msgSend<id>(self, s_menu);
    HMenu itemMenu(menu);
    MenuEventData data;
    data.commandId = tag;
    data.menu = &itemMenu;
    if (!msgSend<BOOL, unsigned, EventData*>(menu, s_processUIAEvent, eEventCommandValidate, &data))
        return YES;
    return itemMenu.getItemEnabledId(tag) ? YES : NO;
}

struct ClassMaker {
    ClassMaker()
    {
        if (m_menu.generateUniqueClass("ComOrvendalCocoaMenu", "NSMenu")) {
            m_menu.addMemberVar(kTargetVar, sizeof(void*), 3, "^v");
            m_menu.addMethod(objc::sel("init"), reinterpret_cast<IMP>(&menuInit), "@@:@:");
            m_menu.addMethod(objc::sel("initWithUIAEventTarget:"), reinterpret_cast<IMP>(&menuInitWithTarget),
                             "@@:@:^:");
            m_menu.addMethod(objc::sel("setUIAEventTarget:"), reinterpret_cast<IMP>(&menuSetTarget), "v@:@:^:");
            m_menu.addMethod(objc::sel("processUIAEvent:withData:"), reinterpret_cast<IMP>(&menuProcessEvent),
                             "B@:@:I:^:");
            m_menu.addMethod(objc::sel("menuWillOpen:"), reinterpret_cast<IMP>(&menuWillOpen), "v@:@:^:");
            m_menu.doRegister();
        }
        if (m_item.generateUniqueClass("ComOrvendalCocoaMenuItem", "NSMenuItem")) {
            m_item.addMethod(objc::sel("init"), reinterpret_cast<IMP>(&itemInit), "@@:@:");
            m_item.addMethod(objc::sel("onItemClicked:"), reinterpret_cast<IMP>(&itemClicked), "v@:@:^:");
            m_item.addMethod(objc::sel("validateMenuItem:"), reinterpret_cast<IMP>(&itemValidate), "B@:@:^:");
            m_item.doRegister();
        }
    }

    GP::OBJC::ClassFactory m_menu{Menu::s_pClass};
    GP::OBJC::ClassFactory m_item{MenuItem::s_pClass};
};

const ClassMaker s_classMaker;

}  // namespace

id Menu::create(EventTarget* target)
{
    if (!s_pClass)
        return nil;
    id menu = msgSend<id>(s_pClass, s_alloc);
    menu = msgSend<id, EventTarget*>(menu, s_initWithUIAEventTarget, target);
    // Its own delegate, so that it hears menuWillOpen:.
    msgSend<void, id>(menu, s_setDelegate, menu);
    return menu;
}

bool Menu::processEvent(id menu, unsigned code, void* data)
{
    return msgSend<BOOL, unsigned, EventData*>(menu, s_processUIAEvent, code, static_cast<EventData*>(data)) == YES;
}

id MenuItem::create()
{
    if (!s_pClass)
        return nil;
    id item = msgSend<id>(msgSend<id>(s_pClass, s_alloc), s_init);
    msgSend<void, id>(item, s_setTarget, item);
    msgSend<void, SEL>(item, s_setAction, s_onItemClicked);
    return item;
}

}  // namespace QV::UIA::COCOA
