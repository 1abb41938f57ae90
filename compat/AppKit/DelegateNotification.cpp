#include "AppKit/standin/DelegateNotification.h"

#include <Foundation/ClassDefinition.h>
#include <objc/message.h>

namespace qvcompat::appkit {

void notifyDelegateAndPost(id sender, id delegate, NSNotificationName name, const char* delegateSelector)
{
    void* pool = objc_autoreleasePoolPush();
    id notification = objc::msgSend<id, id, id>(foundation::NSNotificationClass(),
                                                objc::sel("notificationWithName:object:"), name, sender);
    const SEL op = objc::sel(delegateSelector);
    if (delegate && objc::respondsToSelector(delegate, op))
        objc::msgSend<void, id>(delegate, op, notification);
    id center = objc::msgSend<id>(foundation::NSNotificationCenterClass(), objc::sel("defaultCenter"));
    objc::msgSend<void, id>(center, objc::sel("postNotification:"), notification);
    objc_autoreleasePoolPop(pool);
}

}  // namespace qvcompat::appkit
