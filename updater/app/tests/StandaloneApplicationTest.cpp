// The shared application's class: a key-up with Command goes straight to the key window, every other
// event through NSApplication's -sendEvent: (which hands it to the event's own window).
#include "Updater/CocoaStartup.h"

#include <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace QV::TEST {
namespace {

using objc::msgSend;

std::vector<std::string> g_received;  // "<window> <event type>"

// A stand-in event: what the application's -sendEvent: reads of it.
struct tFakeEvent {
    NSEventType type;
    NSEventModifierFlags flags;
    id window;
};
tFakeEvent g_event;

NSEventType eventType(id, SEL) { return g_event.type; }
NSEventModifierFlags eventFlags(id, SEL) { return g_event.flags; }
id eventWindow(id, SEL) { return g_event.window; }

void windowSendEvent(id self, SEL, id)
{
    g_received.push_back(std::string(object_getClassName(self)) + " " + std::to_string(g_event.type));
}

id g_keyWindow = nil;
id probeKeyWindow(id, SEL) { return g_keyWindow; }

Class defineClass(const char* name, Class superclass, std::initializer_list<std::pair<const char*, IMP>> methods)
{
    if (Class known = objc_getClass(name))
        return known;
    Class cls = objc_allocateClassPair(superclass, name, 0);
    for (auto& [selector, function] : methods)
        class_addMethod(cls, objc::sel(selector), function, "v@:@");
    objc_registerClassPair(cls);
    return cls;
}

TEST(StandaloneApplication, AKeyUpWithCommandGoesStraightToTheKeyWindow)
{
    Class eventClass = defineClass("QVAppTestEvent", objc_getClass("NSObject"),
                                   {{"type", reinterpret_cast<IMP>(&eventType)},
                                    {"modifierFlags", reinterpret_cast<IMP>(&eventFlags)},
                                    {"window", reinterpret_cast<IMP>(&eventWindow)}});
    Class keyWindowClass =
        defineClass("KeyWindow", objc_getClass("NSObject"), {{"sendEvent:", reinterpret_cast<IMP>(&windowSendEvent)}});
    Class eventWindowClass = defineClass("EventWindow", objc_getClass("NSObject"),
                                         {{"sendEvent:", reinterpret_cast<IMP>(&windowSendEvent)}});
    // An application of the program's class whose key window the test chooses.
    Class probeClass = defineClass("QVAppTestProbeApplication", COCOA::standaloneApplicationClass(),
                                   {{"keyWindow", reinterpret_cast<IMP>(&probeKeyWindow)}});
    id application = msgSend<id>(msgSend<id>(probeClass, objc::sel("alloc")), objc::sel("init"));
    id event = msgSend<id>(eventClass, objc::sel("new"));
    g_keyWindow = msgSend<id>(keyWindowClass, objc::sel("new"));
    id ownWindow = msgSend<id>(eventWindowClass, objc::sel("new"));

    constexpr NSEventType kKeyDown = 10, kKeyUp = 11;
    constexpr NSEventModifierFlags kCommand = 0x100000, kShift = 0x20000;
    struct Case {
        NSEventType type;
        NSEventModifierFlags flags;
        const char* receiver;
    } cases[] = {
        {kKeyUp, kCommand, "KeyWindow"},     {kKeyUp, kCommand | kShift, "KeyWindow"},
        {kKeyUp, kShift, "EventWindow"},     {kKeyUp, 0, "EventWindow"},
        {kKeyDown, kCommand, "EventWindow"}, {NSEventTypeLeftMouseDown, kCommand, "EventWindow"},
    };
    for (const Case& c : cases) {
        g_received.clear();
        g_event = {c.type, c.flags, ownWindow};
        msgSend<void, id>(application, objc::sel("sendEvent:"), event);
        EXPECT_EQ(g_received, std::vector<std::string>{std::string(c.receiver) + " " + std::to_string(c.type)})
            << c.type << " " << c.flags;
    }
    msgSend<void, id>(application, objc::sel("buttonPressed:"), nil);  // does nothing

    objc_release(ownWindow);
    objc_release(g_keyWindow);
    objc_release(event);
    objc_release(application);
}

}  // namespace
}  // namespace QV::TEST
