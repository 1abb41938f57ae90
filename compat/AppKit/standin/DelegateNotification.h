// Posting a notification the way AppKit's objects do: the delegate hears it first through its own
// message (when it answers it), then the default notification centre posts it.
#pragma once

#include <Foundation/NSNotification.h>
#include <objc/runtime.h>

namespace qvcompat::appkit {

// Sends `delegateSelector` (one argument: the notification) to `delegate` when it answers it, then
// posts the notification named `name` with `sender` as its object. The notification lives in a pool
// of its own, so an object released when closed goes at once.
void notifyDelegateAndPost(id sender, id delegate, NSNotificationName name, const char* delegateSelector);

}  // namespace qvcompat::appkit
