// NSNotificationCenter: observers by name and sender, synchronous delivery (see NSNotification.h).
//
// Implements: a list of registrations in the centre's state, guarded by a mutex that is never held
// while an observer runs; a post takes the matching registrations first and, before each send, checks
// that the registration still exists.
// Lacks: see NSNotification.h.
// Deviations: see NSNotification.h.
#include "Foundation/NSNotification.h"

#include "Foundation/ClassDefinition.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

namespace {

using objc::msgSend;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};
const objc::Selector s_isEqualToString{"isEqualToString:"};
const objc::Selector s_name{"name"};
const objc::Selector s_object{"object"};
const objc::Selector s_notificationWithName{"notificationWithName:object:"};
const objc::Selector s_postNotification{"postNotification:"};

struct tRegistration {
    uint64_t serial;
    id observer;  // not retained
    SEL selector;
    id name;    // retained; nil matches every name
    id sender;  // compared by identity, not retained; nil matches every sender
};

struct tCenter {
    tCenter() = default;
    tCenter(const tCenter&) = delete;
    tCenter& operator=(const tCenter&) = delete;
    ~tCenter()
    {
        for (const tRegistration& registration : registrations)
            objc_release(registration.name);
    }

    std::mutex lock;
    uint64_t nextSerial = 1;
    std::vector<tRegistration> registrations;  // in the order added
};

tCenter* state(id self) { return &qvcompat::foundation::InstanceState<tCenter>::of(self); }

bool sameName(id a, id b) { return a == b || (a && b && msgSend<BOOL, id>(a, s_isEqualToString, b)); }

id defaultCenter(id self, SEL)
{
    // Immortal, as on the platform.
    static const id s_center = msgSend<id>(msgSend<id>(self, s_alloc), s_init);
    return s_center;
}

void addObserver(id self, SEL, id observer, SEL selector, id name, id sender)
{
    if (!observer || !selector)
        return;
    tCenter* center = state(self);
    std::lock_guard<std::mutex> guard(center->lock);
    center->registrations.push_back({center->nextSerial++, observer, selector, objc_retain(name), sender});
}

void removeObserverNamed(id self, SEL, id observer, id name, id sender)
{
    if (!observer)
        return;
    std::vector<id> names;
    {
        tCenter* center = state(self);
        std::lock_guard<std::mutex> guard(center->lock);
        auto& registrations = center->registrations;
        auto removed = std::stable_partition(registrations.begin(), registrations.end(), [&](const tRegistration& r) {
            return !(r.observer == observer && (!name || sameName(r.name, name)) && (!sender || r.sender == sender));
        });
        for (auto it = removed; it != registrations.end(); ++it)
            names.push_back(it->name);
        registrations.erase(removed, registrations.end());
    }
    for (id registeredName : names)
        objc_release(registeredName);
}

void removeObserver(id self, SEL op, id observer) { removeObserverNamed(self, op, observer, nil, nil); }

void postNotification(id self, SEL, id notification)
{
    if (!notification)
        return;
    id name = msgSend<id>(notification, s_name);
    id sender = msgSend<id>(notification, s_object);
    tCenter* center = state(self);
    std::vector<uint64_t> due;
    {
        std::lock_guard<std::mutex> guard(center->lock);
        for (const tRegistration& registration : center->registrations)
            if ((!registration.name || sameName(registration.name, name)) &&
                (!registration.sender || registration.sender == sender))
                due.push_back(registration.serial);
    }
    for (uint64_t serial : due) {
        id observer = nil;
        SEL selector = nullptr;
        {
            std::lock_guard<std::mutex> guard(center->lock);
            auto found = std::find_if(center->registrations.begin(), center->registrations.end(),
                                      [serial](const tRegistration& r) { return r.serial == serial; });
            if (found == center->registrations.end())
                continue;
            observer = found->observer;
            selector = found->selector;
        }
        msgSend<void, id>(observer, selector, notification);
    }
}

void postNotificationName(id self, SEL, id name, id sender)
{
    id notification =
        msgSend<id, id, id>(qvcompat::foundation::NSNotificationClass(), s_notificationWithName, name, sender);
    msgSend<void, id>(self, s_postNotification, notification);
}

}  // namespace

namespace qvcompat::foundation {

Class NSNotificationCenterClass()
{
    static const Class s_class = ClassDefinition("NSNotificationCenter", NSObjectClass())
                                     .state<tCenter>()
                                     .classMethod("defaultCenter", &defaultCenter, "@@:")
                                     .method("addObserver:selector:name:object:", &addObserver, "v@:@:@@")
                                     .method("removeObserver:", &removeObserver, "v@:@")
                                     .method("removeObserver:name:object:", &removeObserverNamed, "v@:@@@")
                                     .method("postNotification:", &postNotification, "v@:@")
                                     .method("postNotificationName:object:", &postNotificationName, "v@:@@")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::foundation
