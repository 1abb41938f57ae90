// NSNotification: a name and a sender (see NSNotification.h).
//
// Implements: the notification object, with both values retained in its state.
// Lacks: see NSNotification.h.
// Deviations: see NSNotification.h.
#include "Foundation/NSNotification.h"

#include "Foundation/ClassDefinition.h"

namespace {

using objc::msgSend;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};

struct tNotification {
    tNotification() = default;
    tNotification(const tNotification&) = delete;
    tNotification& operator=(const tNotification&) = delete;
    ~tNotification()
    {
        objc_release(name);
        objc_release(object);
    }

    id name = nil;    // retained
    id object = nil;  // retained
};

using NotificationState = qvcompat::foundation::InstanceState<tNotification>;

id notificationWithName(id self, SEL, id name, id object)
{
    id notification = msgSend<id>(msgSend<id>(self, s_alloc), s_init);
    if (!notification)
        return nil;
    tNotification& state = NotificationState::of(notification);
    state.name = objc_retain(name);
    state.object = objc_retain(object);
    return objc_autorelease(notification);
}

id name(id self, SEL) { return NotificationState::of(self).name; }

id object(id self, SEL) { return NotificationState::of(self).object; }

}  // namespace

namespace qvcompat::foundation {

Class NSNotificationClass()
{
    static const Class s_class = ClassDefinition("NSNotification", NSObjectClass())
                                     .state<tNotification>()
                                     .classMethod("notificationWithName:object:", &notificationWithName, "@@:@@")
                                     .method("name", &name, "@@:")
                                     .method("object", &object, "@@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::foundation
