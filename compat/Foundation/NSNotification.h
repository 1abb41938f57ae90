// Foundation stand-in: notifications and notification centres.
//
// Implements: +[NSNotification notificationWithName:object:], -name, -object (both retained by the
// notification); +[NSNotificationCenter defaultCenter], centres of one's own (+alloc/-init, +new),
// -addObserver:selector:name:object:, -removeObserver:, -removeObserver:name:object:,
// -postNotification:, -postNotificationName:object:.
// Delivery is synchronous, on the posting thread, to the matching observers in the order they were
// added, each by a message send of its selector with the notification. A nil name or object in a
// registration matches every name or sender; names match by their characters, senders by identity.
// Observers are not retained (remove them before they go). An observer removed while a notification is
// being delivered, by an earlier observer or another thread, no longer receives it; one added meanwhile
// receives only later notifications. Centres may be used from any thread.
// Lacks: user info dictionaries, block observers, notification queues, distributed notifications.
// Deviations: none known besides the missing pieces.
#pragma once

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

typedef NSString* NSNotificationName;

struct NSNotification : NSObject {};

struct NSNotificationCenter : NSObject {};
