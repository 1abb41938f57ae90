// AppKit stand-in: the shared workspace and its mount notifications, over GIO's mount monitor.
//
// Implements: +[NSWorkspace sharedWorkspace], -notificationCenter (a centre of its own, as on the
// platform), and the notifications NSWorkspaceDidMountNotification and
// NSWorkspaceDidUnmountNotification, sent by the workspace with a user-info dictionary that holds the
// mount point as "NSDevicePath" (an NSString) and as NSWorkspaceVolumeURLKey (a file CFURL). Read
// the dictionary with CFDictionaryGetValue: it is a CFDictionary.
// The mount table is watched from the first -notificationCenter on: every mount point that appears
// in it or leaves it is posted, unmounts before mounts, on the default GLib main context (the main
// thread's loop), so observers run there.
// Lacks: every other workspace operation and notification; -userInfo of notifications other than
// the workspace's.
// Deviations: every mount of the process's mount table counts (the platform posts only for the
// volumes it shows; the receiver decides here); a path that is not valid UTF-8 has no
// "NSDevicePath", only the URL, which keeps its bytes.
#pragma once

#include "Foundation/NSNotification.h"

struct NSWorkspace : NSObject {};

extern const NSNotificationName NSWorkspaceDidMountNotification;
extern const NSNotificationName NSWorkspaceDidUnmountNotification;
extern NSString* const NSWorkspaceVolumeURLKey;
