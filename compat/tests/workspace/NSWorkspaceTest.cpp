#include "AppKit/AppKitClasses.h"
#include "AppKit/gtk/MountMonitor.h"
#include "AppKit/NSWorkspace.h"

#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/ClassDefinition.h>
#include <Foundation/Foundation.h>
#include <StandInTestHooks/Workspace.h>

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <string>
#include <thread>
#include <vector>

namespace {

using objc::msgSend;

// What an observer saw of one notification.
struct tSeen {
    std::string name;
    id sender = nil;
    bool hasDevicePath = false;
    std::string devicePath;
    std::string urlPath;
};

std::vector<tSeen> s_seen;

// A CFString is an NSString.
std::string utf8(CFStringRef string)
{
    return msgSend<const char*>(static_cast<id>(const_cast<void*>(static_cast<const void*>(string))),
                                objc::sel("UTF8String"));
}

void observe(id, SEL, id notification)
{
    tSeen seen;
    seen.name = msgSend<const char*>(msgSend<id>(notification, objc::sel("name")), objc::sel("UTF8String"));
    seen.sender = msgSend<id>(notification, objc::sel("object"));
    auto info = msgSend<CFDictionaryRef>(notification, objc::sel("userInfo"));
    CFStringRef key = CFStringCreateWithCString(kCFAllocatorDefault, "NSDevicePath", kCFStringEncodingUTF8);
    if (const void* path = CFDictionaryGetValue(info, key)) {
        seen.hasDevicePath = CFGetTypeID(path) == CFStringGetTypeID();
        seen.devicePath = utf8(static_cast<CFStringRef>(path));
    }
    CFRelease(key);
    const void* url = CFDictionaryGetValue(info, NSWorkspaceVolumeURLKey);
    UInt8 bytes[PATH_MAX];
    if (url && CFURLGetFileSystemRepresentation(static_cast<CFURLRef>(url), true, bytes, sizeof bytes))
        seen.urlPath = reinterpret_cast<const char*>(bytes);
    s_seen.push_back(seen);
}

Class observerClass()
{
    static const Class s_class =
        qvcompat::foundation::ClassDefinition("QVTestMountObserver", qvcompat::foundation::NSObjectClass())
            .method("observe:", &observe, "v@:@")
            .registerClass();
    return s_class;
}

bool runMainLoopUntil(size_t count)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (s_seen.size() < count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        if (!g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(NSWorkspace, SharedWorkspaceHasANotificationCentreOfItsOwn)
{
    id workspace = msgSend<id>(qvcompat::appkit::NSWorkspaceClass(), objc::sel("sharedWorkspace"));
    ASSERT_NE(workspace, nil);
    EXPECT_EQ(msgSend<id>(qvcompat::appkit::NSWorkspaceClass(), objc::sel("sharedWorkspace")), workspace);
    id center = msgSend<id>(workspace, objc::sel("notificationCenter"));
    ASSERT_NE(center, nil);
    EXPECT_EQ(msgSend<id>(workspace, objc::sel("notificationCenter")), center);
    EXPECT_NE(center, msgSend<id>(qvcompat::foundation::NSNotificationCenterClass(), objc::sel("defaultCenter")));
}

TEST(NSWorkspace, MountNoticesArriveOnTheMainLoopWithTheMountPoint)
{
    id workspace = msgSend<id>(qvcompat::appkit::NSWorkspaceClass(), objc::sel("sharedWorkspace"));
    id center = msgSend<id>(workspace, objc::sel("notificationCenter"));
    id observer = msgSend<id>(observerClass(), objc::sel("new"));
    for (NSString* name : {NSWorkspaceDidMountNotification, NSWorkspaceDidUnmountNotification})
        msgSend<void, id, SEL, id, id>(center, objc::sel("addObserver:selector:name:object:"), observer,
                                       objc::sel("observe:"), name, workspace);
    s_seen.clear();

    qvcompat::appkit::postWorkspaceMountNotice(true, "/media/me/STICK");
    qvcompat::appkit::postWorkspaceMountNotice(false, "/media/me/Fotos \xC3\x9C");
    qvcompat::appkit::postWorkspaceMountNotice(true, "/media/me/raw\xFF");
    EXPECT_TRUE(s_seen.empty()) << "posted through the main loop, not at once";
    ASSERT_TRUE(runMainLoopUntil(3));

    EXPECT_EQ(s_seen[0].name, "NSWorkspaceDidMountNotification");
    EXPECT_EQ(s_seen[0].sender, workspace);
    EXPECT_TRUE(s_seen[0].hasDevicePath);
    EXPECT_EQ(s_seen[0].devicePath, "/media/me/STICK");
    EXPECT_EQ(s_seen[0].urlPath, "/media/me/STICK");

    EXPECT_EQ(s_seen[1].name, "NSWorkspaceDidUnmountNotification");
    EXPECT_EQ(s_seen[1].devicePath, "/media/me/Fotos \xC3\x9C");
    EXPECT_EQ(s_seen[1].urlPath, "/media/me/Fotos \xC3\x9C");

    // Not UTF-8: no string can hold it, the URL keeps its bytes.
    EXPECT_FALSE(s_seen[2].hasDevicePath);
    EXPECT_EQ(s_seen[2].urlPath, "/media/me/raw\xFF");

    msgSend<void, id>(center, objc::sel("removeObserver:"), observer);
    qvcompat::appkit::postWorkspaceMountNotice(true, "/media/me/after");
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    EXPECT_EQ(s_seen.size(), 3u);
    objc_release(observer);
}

TEST(MountMonitor, TellsWhichMountPointsCameAndWent)
{
    struct Case {
        std::vector<std::string> before, after, added, removed;
    } cases[] = {
        {{"/", "/proc"}, {"/", "/proc", "/media/me/STICK"}, {"/media/me/STICK"}, {}},
        {{"/", "/media/me/STICK", "/mnt/nas"}, {"/", "/mnt/nas"}, {}, {"/media/me/STICK"}},
        {{"/", "/a"}, {"/", "/b", "/c"}, {"/b", "/c"}, {"/a"}},
        {{"/", "/a"}, {"/a", "/"}, {}, {}},
        {{}, {"/"}, {"/"}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> added{"stale"}, removed{"stale"};
        qvcompat::appkit::detail::diffMountPoints(c.before, c.after, added, removed);
        EXPECT_EQ(added, c.added);
        EXPECT_EQ(removed, c.removed);
    }
}

TEST(MountMonitor, ReadsTheProcessesMountTable)
{
    const std::vector<std::string> mountPoints = qvcompat::appkit::detail::currentMountPoints();
    EXPECT_NE(std::find(mountPoints.begin(), mountPoints.end(), "/"), mountPoints.end());
    for (size_t i = 0; i < mountPoints.size(); ++i)
        EXPECT_EQ(std::count(mountPoints.begin(), mountPoints.end(), mountPoints[i]), 1) << mountPoints[i];
}

}  // namespace
