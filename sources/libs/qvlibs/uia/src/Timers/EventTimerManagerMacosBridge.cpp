#include "Timers/EventTimerManagerMacosBridge.h"

#include "GP/ClassFactory.h"
#include "GP/ObjcIvar.h"

#include <Foundation/Foundation.h>

namespace QV::UIA {

namespace {

using objc::msgSend;

objc_class* s_callbackClass = nullptr;

// A new one-shot NSTimer of the object's interval, targeting its onTimer:, on the current run loop in
// the common modes; kept (unretained: the run loop holds it) in "timer".
void scheduleTimer(id self)
{
    void* pool = objc_autoreleasePoolPush();
    const NSTimeInterval interval = GP::OBJC::getIvarFloat(self, "interval");
    id timer = msgSend<id, NSTimeInterval, id, SEL, id, BOOL>(
        objc_getClass("NSTimer"), objc::sel("timerWithTimeInterval:target:selector:userInfo:repeats:"), interval, self,
        objc::sel("onTimer:"), nil, NO);
    GP::OBJC::setIvarPtr(self, "timer", timer);
    id runLoop = msgSend<id>(objc_getClass("NSRunLoop"), objc::sel("currentRunLoop"));
    msgSend<void, id, NSString*>(runLoop, objc::sel("addTimer:forMode:"), timer, NSRunLoopCommonModes);
    objc_autoreleasePoolPop(pool);
}

AbstractEventTimerManagerOsBridge* bridgeOf(id self)
{
    return reinterpret_cast<AbstractEventTimerManagerOsBridge*>(GP::OBJC::getIvarPtr(self, "bridge"));
}

// -initWithEventTimerManagerMacosBridge: takes the bridge and a pointer to the tick.
id initWithBridge(id self, SEL, AbstractEventTimerManagerOsBridge* bridge, const std::chrono::milliseconds* tick)
{
    objc_super up{self, class_getSuperclass(s_callbackClass)};
    self = objc::msgSendSuper<id>(&up, objc::sel("init"));
    if (!self)
        return nil;
    GP::OBJC::setIvarPtr(self, "bridge", reinterpret_cast<id>(bridge));
    GP::OBJC::setIvarFloat(self, "interval", static_cast<float>(tick->count()) / 1000.0f);
    scheduleTimer(self);
    return self;
}

// The next tick is scheduled one interval after this fire, before the subscribers run.
void onTimer(id self, SEL, id)
{
    AbstractEventTimerManagerOsBridge* bridge = bridgeOf(self);
    if (!bridge)
        return;
    msgSend<void>(GP::OBJC::getIvarPtr(self, "timer"), objc::sel("invalidate"));
    scheduleTimer(self);
    bridge->notifySubscribers();
}

void detach(id self, SEL)
{
    msgSend<void>(GP::OBJC::getIvarPtr(self, "timer"), objc::sel("invalidate"));
    GP::OBJC::setIvarPtr(self, "timer", nil);
    GP::OBJC::setIvarPtr(self, "bridge", nil);
}

// Made once while the library loads; disposed of at exit.
struct tCallbackClass {
    GP::OBJC::ClassFactory factory{s_callbackClass};

    tCallbackClass()
    {
        if (!factory.generateUniqueClass("ComOrvendalCocoaNSTimerCallback", "NSObject"))
            return;
        factory.addMemberVar("bridge", sizeof(void*), 3, "^v");
        factory.addMemberVar("timer", sizeof(void*), 3, "^v");
        factory.addMemberVar("interval", sizeof(float), 2, "f");
        factory.addMethod(sel_registerName("initWithEventTimerManagerMacosBridge:"),
                          reinterpret_cast<IMP>(&initWithBridge), "@@:@:^:^:");
        factory.addMethod(sel_registerName("detach"), reinterpret_cast<IMP>(&detach), "v@:@:");
        factory.addMethod(sel_registerName("onTimer:"), reinterpret_cast<IMP>(&onTimer), "v@:@:^:");
        factory.doRegister();
    }
};

const tCallbackClass s_callbackClassMade;

}  // namespace

EventTimerManagerMacosBridge::EventTimerManagerMacosBridge(EventTimerManager& manager)
    : AbstractEventTimerManagerOsBridge(manager)
{}

EventTimerManagerMacosBridge::~EventTimerManagerMacosBridge() { deinstall(); }

void EventTimerManagerMacosBridge::install(std::chrono::milliseconds tick)
{
    if (m_callback)
        return;
    id callback = msgSend<id>(s_callbackClass, objc::sel("alloc"));
    m_callback = msgSend<id, AbstractEventTimerManagerOsBridge*, const std::chrono::milliseconds*>(
        callback, objc::sel("initWithEventTimerManagerMacosBridge:"), this, &tick);
}

void EventTimerManagerMacosBridge::deinstall()
{
    if (!m_callback)
        return;
    id callback = m_callback;
    m_callback = nil;
    msgSend<void>(callback, objc::sel("detach"));
    msgSend<void>(callback, objc::sel("release"));
}

Class EventTimerManagerMacosBridge::getCallbackClass() { return s_callbackClass; }

}  // namespace QV::UIA
