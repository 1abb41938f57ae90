#include "UIA/AsyncEventTargetImpl.h"

#include "GP/ClassFactory.h"
#include "GP/NSStringRef.h"
#include "GP/ObjcIvar.h"
#include "UIA/EventData.h"
#include "UIA/EventTarget.h"

#include <Foundation/Foundation.h>

#include <atomic>
#include <map>
#include <mutex>

namespace QV::UIA {

namespace {

using objc::msgSend;

// ---- channel state ----

// The handle map, guarded by its lock, which is held while a target runs. Made on first use and never
// destroyed: targets forget their handles when they go, also during static initialisation and exit.
struct tHandles {
    std::recursive_mutex lock;
    std::map<unsigned, EventTarget*> targets;
    unsigned next = 1;
};

tHandles& handles()
{
    static auto* s_Handles = new tHandles;
    return *s_Handles;
}

std::atomic<bool> s_bAsyncNSNotificationsInitialized{false};
// Guards the dispatcher and the name, and is held for a whole post, so that a post and a stop never
// overlap: every object posted reaches the dispatcher. Recursive: a target may post or stop the
// channel from inside an event that a post on the main thread delivers.
std::recursive_mutex s_stateMutex;
id s_dispatcher = nil;
NSString* s_notificationName = nullptr;

objc_class* s_notificationClass = nullptr;
objc_class* s_dispatcherClass = nullptr;

// ---- ComOrvendalAsyncNotification ----

id initWithCodeAndDest(id self, SEL, uint32_t code, uint32_t dest)
{
    objc_super up{self, class_getSuperclass(s_notificationClass)};
    self = objc::msgSendSuper<id>(&up, objc::sel("init"));
    if (self) {
        GP::OBJC::setIvarUInt32(self, "theCode", code);
        GP::OBJC::setIvarUInt32(self, "theDest", dest);
    }
    return self;
}

// ---- ComOrvendalAsyncNotificationDispatcher ----

// Main thread. Takes over the poster's reference to the object, whatever happens.
void dispatchEventMethod(id, SEL, id object)
{
    if (s_bAsyncNSNotificationsInitialized && object)
        AsyncEventTargetImpl::dispatchEvent(GP::OBJC::getIvarUInt32(object, "theCode"),
                                            GP::OBJC::getIvarUInt32(object, "theDest"));
    objc_release(object);
}

// The poster's thread: hops to the main thread before any target code runs.
void receiveEvent(id self, SEL, id notification)
{
    id object = msgSend<id>(notification, objc::sel("object"));
    if (!object)
        return;
    if (!s_bAsyncNSNotificationsInitialized) {
        // Stopped: the object is dropped, with the reference its poster handed over.
        objc_release(object);
        return;
    }
    if (msgSend<BOOL>(objc_getClass("NSThread"), objc::sel("isMainThread")))
        msgSend<id, SEL, id>(self, objc::sel("performSelector:withObject:"), objc::sel("dispatchEvent:"), object);
    else
        msgSend<void, SEL, id, BOOL>(self, objc::sel("performSelectorOnMainThread:withObject:waitUntilDone:"),
                                     objc::sel("dispatchEvent:"), object, NO);
}

// Both classes are made once while the library loads and disposed of at exit.
struct tClasses {
    GP::OBJC::ClassFactory notificationFactory{s_notificationClass};
    GP::OBJC::ClassFactory dispatcherFactory{s_dispatcherClass};

    tClasses()
    {
        if (notificationFactory.generateUniqueClass("ComOrvendalAsyncNotification", "NSObject")) {
            notificationFactory.addMemberVar("theCode", sizeof(uint32_t), 2, "I");
            notificationFactory.addMemberVar("theDest", sizeof(uint32_t), 2, "I");
            notificationFactory.addMethod(sel_registerName("initWithCode:andDest:"),
                                          reinterpret_cast<IMP>(&initWithCodeAndDest), "@@:@:I:I:");
            notificationFactory.doRegister();
        }
        if (dispatcherFactory.generateUniqueClass("ComOrvendalAsyncNotificationDispatcher", "NSObject")) {
            dispatcherFactory.addMethod(sel_registerName("receiveEvent:"), reinterpret_cast<IMP>(&receiveEvent),
                                        "v@:@:^:");
            dispatcherFactory.addMethod(sel_registerName("dispatchEvent:"), reinterpret_cast<IMP>(&dispatchEventMethod),
                                        "v@:@:^:");
            dispatcherFactory.doRegister();
        }
    }
};

const tClasses s_classes;

id defaultCenter() { return msgSend<id>(objc_getClass("NSNotificationCenter"), objc::sel("defaultCenter")); }

}  // namespace

bool AsyncEventTargetImpl::init(bool platformOff)
{
    if (platformOff || !s_dispatcherClass)
        return true;
    std::lock_guard<std::recursive_mutex> guard(s_stateMutex);
    if (s_bAsyncNSNotificationsInitialized)
        return true;
    s_dispatcher = msgSend<id, SEL>(msgSend<id>(s_dispatcherClass, objc::sel("alloc")), objc::sel("performSelector:"),
                                    objc::sel("init"));
    s_notificationName =
        GP::NSStringRef::str2NSString(std::string(class_getName(s_dispatcherClass)) + "Notification", true);
    s_bAsyncNSNotificationsInitialized = true;
    msgSend<void, id, SEL, NSString*, id>(defaultCenter(), objc::sel("addObserver:selector:name:object:"), s_dispatcher,
                                          objc::sel("receiveEvent:"), s_notificationName, nil);
    return true;
}

void AsyncEventTargetImpl::deInit()
{
    std::lock_guard<std::recursive_mutex> guard(s_stateMutex);
    if (!s_bAsyncNSNotificationsInitialized)
        return;
    s_bAsyncNSNotificationsInitialized = false;
    msgSend<void, id>(defaultCenter(), objc::sel("removeObserver:"), s_dispatcher);
    objc_release(s_dispatcher);
    objc_release(s_notificationName);
    s_dispatcher = nil;
    s_notificationName = nullptr;
}

bool AsyncEventTargetImpl::dispatchEvent(unsigned code, unsigned handle)
{
    tHandles& map = handles();
    std::lock_guard<std::recursive_mutex> guard(map.lock);
    auto found = map.targets.find(handle);
    if (found == map.targets.end())
        return false;
    EventData emptyRecord;
    return found->second->sendEvent(code, &emptyRecord);
}

unsigned AsyncEventTargetImpl::registerTarget(EventTarget* target)
{
    if (!target)
        return 0;
    tHandles& map = handles();
    std::lock_guard<std::recursive_mutex> guard(map.lock);
    while (map.next == 0 || map.targets.count(map.next))  // wrapped after four billion: skip 0 and live ones
        ++map.next;
    const unsigned handle = map.next++;
    map.targets[handle] = target;
    return handle;
}

void AsyncEventTargetImpl::unregisterTarget(unsigned handle)
{
    tHandles& map = handles();
    std::lock_guard<std::recursive_mutex> guard(map.lock);
    map.targets.erase(handle);
}

void AsyncEventTargetImpl::forgetTarget(EventTarget* target)
{
    tHandles& map = handles();
    std::lock_guard<std::recursive_mutex> guard(map.lock);
    for (auto it = map.targets.begin(); it != map.targets.end();)
        it = it->second == target ? map.targets.erase(it) : std::next(it);
}

bool AsyncEventTargetImpl::postEvent(unsigned code, unsigned handle)
{
    std::lock_guard<std::recursive_mutex> guard(s_stateMutex);
    if (!s_bAsyncNSNotificationsInitialized)
        return false;
    void* pool = objc_autoreleasePoolPush();
    // The new object's reference goes to the dispatcher, which releases it.
    id object = msgSend<id, uint32_t, uint32_t>(msgSend<id>(s_notificationClass, objc::sel("alloc")),
                                                objc::sel("initWithCode:andDest:"), code, handle);
    msgSend<void, id, id>(defaultCenter(), objc::sel("postNotificationName:object:"), s_notificationName, object);
    objc_autoreleasePoolPop(pool);
    return true;
}

std::string AsyncEventTargetImpl::getNotificationName()
{
    std::lock_guard<std::recursive_mutex> guard(s_stateMutex);
    return s_notificationName ? msgSend<const char*>(s_notificationName, objc::sel("UTF8String")) : "";
}

}  // namespace QV::UIA
