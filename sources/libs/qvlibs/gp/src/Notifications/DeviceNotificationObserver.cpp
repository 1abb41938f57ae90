// The observer of the workspace's mount notifications: a run-time Cocoa class made while the program
// loads, and the one instance of it while the notices run.
#include "GP/ClassFactory.h"
#include "GP/DeviceNotification.h"
#include "GP/StringCF.h"
#include "Volumes/VolumeNames.h"

#include <AppKit/NSWorkspace.h>
#include <CoreFoundation/CoreFoundation.h>

#include <climits>

namespace QV::GP {

objc_class* QVDeviceNotificationListener::theClass = nullptr;
id QVDeviceNotificationListener::s_pNSListener = nil;

namespace {

using objc::msgSend;

id workspace() { return msgSend<id>(objc_getClass("NSWorkspace"), objc::sel("sharedWorkspace")); }

id workspaceCenter() { return msgSend<id>(workspace(), objc::sel("notificationCenter")); }

// The mount point a notification names: the volume URL's bytes, else "NSDevicePath" as UTF-8.
std::string mountPointOf(id notification)
{
    if (!objc::respondsToSelector(notification, objc::sel("userInfo")))
        return std::string();
    auto info = msgSend<CFDictionaryRef>(notification, objc::sel("userInfo"));
    if (!info)
        return std::string();
    const void* url = CFDictionaryGetValue(info, NSWorkspaceVolumeURLKey);
    UInt8 path[PATH_MAX];
    if (url && CFGetTypeID(url) == CFURLGetTypeID() &&
        CFURLGetFileSystemRepresentation(static_cast<CFURLRef>(url), true, path, sizeof path))
        return reinterpret_cast<const char*>(path);
    CFStringRef devicePathKey = CFStringCreateWithCString(kCFAllocatorDefault, "NSDevicePath", kCFStringEncodingUTF8);
    const void* devicePath = CFDictionaryGetValue(info, devicePathKey);
    CFRelease(devicePathKey);
    if (devicePath && CFGetTypeID(devicePath) == CFStringGetTypeID())
        return StringCF(static_cast<CFStringRef>(devicePath));
    return std::string();
}

void report(id notification, DeviceNotificationListener::eState state)
{
    const std::string mountPoint = mountPointOf(notification);
    DeviceNotification::onVolumeChanged(state, DETAIL::volumeNameOfMountPoint(mountPoint));
}

id initObserver(id self, SEL op)
{
    objc_super up{self, class_getSuperclass(QVDeviceNotificationListener::theClass)};
    self = objc::msgSendSuper<id>(&up, op);
    if (!self)
        return nil;
    id center = workspaceCenter();
    msgSend<void, id, SEL, id, id>(center, objc::sel("addObserver:selector:name:object:"), self,
                                   objc::sel("onDeviceDidMount:"), NSWorkspaceDidMountNotification, workspace());
    msgSend<void, id, SEL, id, id>(center, objc::sel("addObserver:selector:name:object:"), self,
                                   objc::sel("onDeviceDidUnmount:"), NSWorkspaceDidUnmountNotification, workspace());
    return self;
}

void deallocObserver(id self, SEL op)
{
    msgSend<void, id>(workspaceCenter(), objc::sel("removeObserver:"), self);
    objc_super up{self, class_getSuperclass(QVDeviceNotificationListener::theClass)};
    objc::msgSendSuper<void>(&up, op);
}

void onDeviceDidMount(id, SEL, id notification) { report(notification, DeviceNotificationListener::eStateMounted); }

void onDeviceDidUnmount(id, SEL, id notification) { report(notification, DeviceNotificationListener::eStateUnmounted); }

// Makes the class while the program loads; the factory disposes of it at exit.
struct ObserverClass {
    ObserverClass()
    {
        OBJC::ClassFactory& factory = QVDeviceNotificationListener::s_theClassFactory;
        if (factory.generateUniqueClass("ComOrvendalCocoaDeviceNotificationListener", "NSObject")) {
            factory.addMethod(objc::sel("init"), reinterpret_cast<IMP>(&initObserver), "@@:@:");
            factory.addMethod(objc::sel("dealloc"), reinterpret_cast<IMP>(&deallocObserver), "v@:@:");
            factory.addMethod(objc::sel("onDeviceDidMount:"), reinterpret_cast<IMP>(&onDeviceDidMount), "v@:@:^:");
            factory.addMethod(objc::sel("onDeviceDidUnmount:"), reinterpret_cast<IMP>(&onDeviceDidUnmount), "v@:@:^:");
            factory.doRegister();
        }
    }
};

}  // namespace

OBJC::ClassFactory QVDeviceNotificationListener::s_theClassFactory(QVDeviceNotificationListener::theClass);

namespace {
const ObserverClass s_observerClass;
}  // namespace

bool DeviceNotification::initOS()
{
    if (!QVDeviceNotificationListener::theClass)
        return false;
    if (!QVDeviceNotificationListener::s_pNSListener)
        QVDeviceNotificationListener::s_pNSListener =
            msgSend<id>(msgSend<id>(QVDeviceNotificationListener::theClass, objc::sel("alloc")), objc::sel("init"));
    return QVDeviceNotificationListener::s_pNSListener != nil;
}

void DeviceNotification::deInitOS()
{
    msgSend<void>(QVDeviceNotificationListener::s_pNSListener, objc::sel("release"));
    QVDeviceNotificationListener::s_pNSListener = nil;
}

}  // namespace QV::GP
