// Events made by the tests: a run-time subclass of the platform's NSEvent whose answers come from a
// record the test fills, so that a view's handlers can be driven without a window system.
#pragma once

#include "GP/ClassFactory.h"
#include "GP/ObjcIvar.h"

#include <AppKit/NSEvent.h>
#include <CoreFoundation/CoreFoundation.h>

#include <string>

namespace QV::UIA::TEST {

struct tSyntheticEvent {
    NSEventType type = NSEventTypeLeftMouseDown;
    NSEventModifierFlags modifierFlags = 0;
    NSPoint locationInWindow{0, 0};
    NSInteger clickCount = 1;
    NSInteger buttonNumber = 0;
    CGFloat deltaX = 0;
    CGFloat deltaY = 0;
    unsigned short keyCode = 0;
    std::u16string characters;  // charactersIgnoringModifiers too
    bool isARepeat = false;
    id window = nil;
};

class SyntheticEvents {
public:
    // A new event (one reference, the caller's) answering from a copy of `record`.
    static id make(const tSyntheticEvent& record)
    {
        id event = objc::msgSend<id>(objc::msgSend<id>(eventClass(), objc::sel("alloc")), objc::sel("init"));
        GP::OBJC::setIvarPtr(event, "pRecord", reinterpret_cast<id>(new tSyntheticEvent(record)));
        return event;
    }

private:
    static tSyntheticEvent& of(id self)
    {
        return *reinterpret_cast<tSyntheticEvent*>(GP::OBJC::getIvarPtr(self, "pRecord"));
    }

    static id string(const std::u16string& text)
    {
        CFStringRef s = CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar*>(text.data()),
                                                     static_cast<CFIndex>(text.size()));
        return objc::msgSend<id>(reinterpret_cast<id>(const_cast<__CFString*>(s)), objc::sel("autorelease"));
    }

    static Class eventClass()
    {
        static objc_class* s_class = nullptr;
        static GP::OBJC::ClassFactory s_factory(s_class);
        if (!s_class && s_factory.generateUniqueClass("QVTestSyntheticEvent", "NSEvent")) {
            s_factory.addMemberVar("pRecord", sizeof(void*), 3, "^v");
            add(
                s_factory, "type", +[](id self, SEL) { return of(self).type; });
            add(
                s_factory, "modifierFlags", +[](id self, SEL) { return of(self).modifierFlags; });
            add(
                s_factory, "locationInWindow", +[](id self, SEL) { return of(self).locationInWindow; });
            add(
                s_factory, "clickCount", +[](id self, SEL) { return of(self).clickCount; });
            add(
                s_factory, "buttonNumber", +[](id self, SEL) { return of(self).buttonNumber; });
            add(
                s_factory, "deltaX", +[](id self, SEL) { return of(self).deltaX; });
            add(
                s_factory, "deltaY", +[](id self, SEL) { return of(self).deltaY; });
            add(
                s_factory, "keyCode", +[](id self, SEL) { return of(self).keyCode; });
            add(
                s_factory, "characters", +[](id self, SEL) { return string(of(self).characters); });
            add(
                s_factory, "charactersIgnoringModifiers", +[](id self, SEL) { return string(of(self).characters); });
            add(
                s_factory, "isARepeat", +[](id self, SEL) { return BOOL(of(self).isARepeat ? YES : NO); });
            add(
                s_factory, "window", +[](id self, SEL) { return of(self).window; });
            add(
                s_factory, "dealloc", +[](id self, SEL op) {
                    delete &of(self);
                    objc_super up{self, class_getSuperclass(s_class)};
                    objc::msgSendSuper<void>(&up, op);
                });
            s_factory.doRegister();
        }
        return s_class;
    }

    template <class Function>
    static void add(GP::OBJC::ClassFactory& factory, const char* selector, Function* function)
    {
        factory.addMethod(sel_registerName(selector), reinterpret_cast<IMP>(function), "");
    }
};

}  // namespace QV::UIA::TEST
