// NSWorkspace: the shared workspace and its mount notifications (see NSWorkspace.h).
//
// Implements: the immortal shared workspace with its own notification centre; the notifications are
// instances of a private subclass of NSNotification that adds -userInfo.
// Lacks: see NSWorkspace.h.
// Deviations: see NSWorkspace.h.
#include "AppKit/NSWorkspace.h"

#include "AppKit/AppKitClasses.h"
#include "AppKit/gtk/MountMonitor.h"

#include <Foundation/Bridge.h>
#include <Foundation/ClassDefinition.h>
#include <Foundation/Foundation.h>

#include <glib.h>

namespace {

using objc::msgSend;
using qvcompat::foundation::newString;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};
const objc::Selector s_notificationWithName{"notificationWithName:object:"};
const objc::Selector s_postNotification{"postNotification:"};

// ---- the notification: NSNotification with a user-info dictionary ----

struct tMountNotice {
    tMountNotice() = default;
    tMountNotice(const tMountNotice&) = delete;
    tMountNotice& operator=(const tMountNotice&) = delete;
    ~tMountNotice()
    {
        if (userInfo)
            CFRelease(userInfo);
    }

    CFDictionaryRef userInfo = nullptr;  // owned
};

using MountNoticeState = qvcompat::foundation::InstanceState<tMountNotice>;

CFDictionaryRef userInfo(id self, SEL) { return MountNoticeState::of(self).userInfo; }

Class mountNotificationClass()
{
    static const Class s_class = qvcompat::foundation::ClassDefinition("NSWorkspaceMountNotification",
                                                                       qvcompat::foundation::NSNotificationClass())
                                     .state<tMountNotice>()
                                     .method("userInfo", &userInfo, "^v@:")
                                     .registerClass();
    return s_class;
}

// ---- the workspace ----

id notificationCenterOf(id self, SEL);

id sharedWorkspace(id self, SEL)
{
    // Immortal, as on the platform.
    static const id s_workspace = msgSend<id>(msgSend<id>(self, s_alloc), s_init);
    return s_workspace;
}

void post(bool mounted, const std::string& mountPoint);

id notificationCenterOf(id, SEL)
{
    static const id s_center = [] {
        id center = msgSend<id>(msgSend<id>(qvcompat::foundation::NSNotificationCenterClass(), s_alloc), s_init);
        qvcompat::appkit::detail::startMountMonitor(&post);
        return center;
    }();
    return s_center;
}

// Sends the notification to the workspace's observers, on the calling thread (the main context's).
void post(bool mounted, const std::string& mountPoint)
{
    id workspace = sharedWorkspace(qvcompat::appkit::NSWorkspaceClass(), nullptr);
    id center = notificationCenterOf(workspace, nullptr);

    CFMutableDictionaryRef info = CFDictionaryCreateMutable(kCFAllocatorDefault, 2, &kCFTypeDictionaryKeyCallBacks,
                                                            &kCFTypeDictionaryValueCallBacks);
    if (CFStringRef path = CFStringCreateWithCString(kCFAllocatorDefault, mountPoint.c_str(), kCFStringEncodingUTF8)) {
        CFStringRef key = CFStringCreateWithCString(kCFAllocatorDefault, "NSDevicePath", kCFStringEncodingUTF8);
        CFDictionarySetValue(info, key, path);
        CFRelease(key);
        CFRelease(path);
    }
    if (CFURLRef url = CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault,
                                                               reinterpret_cast<const UInt8*>(mountPoint.data()),
                                                               static_cast<CFIndex>(mountPoint.size()), true)) {
        CFDictionarySetValue(info, NSWorkspaceVolumeURLKey, url);
        CFRelease(url);
    }

    void* pool = objc_autoreleasePoolPush();
    id notification =
        msgSend<id, id, id>(mountNotificationClass(), s_notificationWithName,
                            mounted ? NSWorkspaceDidMountNotification : NSWorkspaceDidUnmountNotification, workspace);
    MountNoticeState::of(notification).userInfo = info;  // owns the dictionary
    msgSend<void, id>(center, s_postNotification, notification);
    objc_autoreleasePoolPop(pool);
}

struct tNotice {
    bool mounted;
    std::string mountPoint;
};

gboolean postNotice(gpointer data)
{
    const auto* notice = static_cast<const tNotice*>(data);
    post(notice->mounted, notice->mountPoint);
    return G_SOURCE_REMOVE;
}

void deleteNotice(gpointer data) { delete static_cast<tNotice*>(data); }

}  // namespace

const NSNotificationName NSWorkspaceDidMountNotification = newString("NSWorkspaceDidMountNotification");
const NSNotificationName NSWorkspaceDidUnmountNotification = newString("NSWorkspaceDidUnmountNotification");
NSString* const NSWorkspaceVolumeURLKey = newString("NSWorkspaceVolumeURLKey");

namespace qvcompat::appkit {

Class NSWorkspaceClass()
{
    static const Class s_class = foundation::ClassDefinition("NSWorkspace", foundation::NSObjectClass())
                                     .classMethod("sharedWorkspace", &sharedWorkspace, "@@:")
                                     .method("notificationCenter", &notificationCenterOf, "@@:")
                                     .registerClass();
    return s_class;
}

// A test hook, declared in <StandInTestHooks/Workspace.h>.
void postWorkspaceMountNotice(bool mounted, const std::string& mountPoint)
{
    GSource* source = g_idle_source_new();
    g_source_set_callback(source, &postNotice, new tNotice{mounted, mountPoint}, &deleteNotice);
    g_source_attach(source, g_main_context_default());
    g_source_unref(source);
}

}  // namespace qvcompat::appkit
