// Key events for tests: objects of a run-time class that answer the messages the UI layer sends to a
// platform key event (-charactersIgnoringModifiers, -keyCode, -modifierFlags) with fixed values.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/Foundation.h>
#include <objc/message.h>
#include <objc/runtime.h>

#include <string>

namespace QV::UIA::TEST {

struct tFakeKeyEvent {
    std::u16string characters;  // characters ignoring modifiers
    unsigned short keyCode = 0;
    unsigned long modifierFlags = 0;
};

// Owns one fake event and the string it answers.
class FakeKeyEvent {
public:
    explicit FakeKeyEvent(const tFakeKeyEvent& values) : m_values(values)
    {
        m_characters = CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar*>(values.characters.data()),
                                                    CFIndex(values.characters.size()));
        m_event = objc::msgSend<id>(objc::msgSend<id>(eventClass(), objc::sel("alloc")), objc::sel("init"));
        object_setIvar(m_event, class_getInstanceVariable(eventClass(), "values"), reinterpret_cast<id>(this));
    }
    ~FakeKeyEvent()
    {
        objc_release(m_event);
        CFRelease(m_characters);
    }
    FakeKeyEvent(const FakeKeyEvent&) = delete;
    FakeKeyEvent& operator=(const FakeKeyEvent&) = delete;

    struct NSEvent* get() const { return reinterpret_cast<struct NSEvent*>(m_event); }

private:
    static FakeKeyEvent& of(id self)
    {
        return *reinterpret_cast<FakeKeyEvent*>(
            object_getIvar(self, class_getInstanceVariable(eventClass(), "values")));
    }
    static id characters(id self, SEL) { return (id)(of(self).m_characters); }
    static unsigned short keyCode(id self, SEL) { return of(self).m_values.keyCode; }
    static unsigned long modifierFlags(id self, SEL) { return of(self).m_values.modifierFlags; }

    static Class eventClass()
    {
        static const Class s_class = [] {
            Class made = objc_allocateClassPair(objc_getClass("NSObject"), "QVTestKeyEvent", 0);
            class_addIvar(made, "values", sizeof(void*), 3, "^v");
            objc::addMethod(made, sel_registerName("charactersIgnoringModifiers"), &characters, "@@:");
            objc::addMethod(made, sel_registerName("keyCode"), &keyCode, "S@:");
            objc::addMethod(made, sel_registerName("modifierFlags"), &modifierFlags, "Q@:");
            objc_registerClassPair(made);
            return made;
        }();
        return s_class;
    }

    tFakeKeyEvent m_values;
    CFStringRef m_characters = nullptr;
    id m_event = nil;
};

}  // namespace QV::UIA::TEST
