#include "GP/ClassFactory.h"
#include "Updater/CocoaStartup.h"

#include <AppKit/AppKit.h>

namespace QV::COCOA {

namespace {

constexpr NSEventType kKeyUp = 11;
constexpr NSEventModifierFlags kCommand = 0x100000;

objc_class* s_pApplicationClass = nullptr;

void sendEvent(id self, SEL op, id event)
{
    // The platform keeps a key-up with Command from the key window; the window's view needs it.
    if (event && objc::msgSend<NSEventType>(event, objc::sel("type")) == kKeyUp &&
        (objc::msgSend<NSEventModifierFlags>(event, objc::sel("modifierFlags")) & kCommand)) {
        objc::msgSend<void, id>(objc::msgSend<id>(self, objc::sel("keyWindow")), op, event);
        return;
    }
    objc_super up{self, class_getSuperclass(s_pApplicationClass)};
    objc::msgSendSuper<void, id>(&up, op, event);
}

void buttonPressed(id, SEL, id) {}

struct ApplicationMaker {
    ApplicationMaker()
    {
        if (!m_factory.generateUniqueClass("QVCocoaStandaloneApplication", "NSApplication"))
            return;
        m_factory.addMethod(sel_registerName("sendEvent:"), reinterpret_cast<IMP>(&sendEvent), "v@:@");
        m_factory.addMethod(sel_registerName("buttonPressed:"), reinterpret_cast<IMP>(&buttonPressed), "v@:@");
        m_factory.doRegister();
    }
    GP::OBJC::ClassFactory m_factory{s_pApplicationClass};
};

const ApplicationMaker s_applicationMaker;

}  // namespace

Class standaloneApplicationClass() { return s_pApplicationClass; }

}  // namespace QV::COCOA
