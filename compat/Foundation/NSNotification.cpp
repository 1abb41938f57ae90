// NSNotification: a name and a sender (see NSNotification.h).
//
// Implements: the notification object, with both values retained in the ivars "name" and "object".
// Lacks: see NSNotification.h.
// Deviations: see NSNotification.h.
#include "Foundation/NSNotification.h"

#include "Foundation/ClassDefinition.h"

namespace {

using objc::msgSend;

Ivar ivar(const char* name) { return class_getInstanceVariable(qvcompat::foundation::NSNotificationClass(), name); }

id notificationWithName(id self, SEL, id name, id object)
{
    id notification = msgSend<id>(msgSend<id>(self, objc::sel("alloc")), objc::sel("init"));
    if (!notification)
        return nil;
    object_setIvar(notification, ivar("name"), objc_retain(name));
    object_setIvar(notification, ivar("object"), objc_retain(object));
    return objc_autorelease(notification);
}

id name(id self, SEL) { return object_getIvar(self, ivar("name")); }

id object(id self, SEL) { return object_getIvar(self, ivar("object")); }

void dealloc(id self, SEL op)
{
    objc_release(object_getIvar(self, ivar("name")));
    objc_release(object_getIvar(self, ivar("object")));
    objc_super up{self, class_getSuperclass(qvcompat::foundation::NSNotificationClass())};
    objc::msgSendSuper<void>(&up, op);
}

}  // namespace

namespace qvcompat::foundation {

Class NSNotificationClass()
{
    static const Class s_class = ClassDefinition("NSNotification", NSObjectClass())
                                     .ivar("name", sizeof(id), 3, "@")
                                     .ivar("object", sizeof(id), 3, "@")
                                     .classMethod("notificationWithName:object:", &notificationWithName, "@@:@@")
                                     .method("name", &name, "@@:")
                                     .method("object", &object, "@@:")
                                     .method("dealloc", &dealloc, "v@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::foundation
