// Matching dictionaries and notifications of the IOKit stand-in.
#include "IOKit/IOKitLib.h"
#include "CoreFoundation/CFRuntime.h"
#include "IOKit/standin/ObjectTable.h"
#include "IOKit/standin/UsbContext.h"
#include "IOKit/standin/UsbEnumeration.h"

#include <cstring>
#include <string>

using qvcompat::iokit::ObjectTable;

struct IONotificationPort {
    CFRunLoopSourceRef source = qvcompat::cf::createRunLoopSource();
};

namespace {

CFStringRef providerClassKey()
{
    static const CFStringRef s_key =
        CFStringCreateWithCString(kCFAllocatorDefault, kIOProviderClassKey, kCFStringEncodingUTF8);
    return s_key;
}

std::string providerClassOf(CFDictionaryRef matching)
{
    const void* value = CFDictionaryGetValue(matching, providerClassKey());
    if (!value || CFGetTypeID(value) != CFStringGetTypeID())
        return {};
    CFStringRef name = static_cast<CFStringRef>(value);
    const UniChar* chars = CFStringGetCharactersPtr(name);
    std::string result;
    for (CFIndex i = 0; i < CFStringGetLength(name); ++i)
        result.push_back(chars[i] < 0x80 ? static_cast<char>(chars[i]) : '?');  // class names are ASCII
    return result;
}

}  // namespace

CFMutableDictionaryRef IOServiceMatching(const char* className)
{
    if (!className)
        return nullptr;
    CFStringRef name = CFStringCreateWithCString(kCFAllocatorDefault, className, kCFStringEncodingUTF8);
    if (!name)
        return nullptr;
    CFMutableDictionaryRef matching = CFDictionaryCreateMutable(kCFAllocatorDefault, 1, &kCFTypeDictionaryKeyCallBacks,
                                                                &kCFTypeDictionaryValueCallBacks);
    CFDictionarySetValue(matching, providerClassKey(), name);
    CFRelease(name);
    return matching;
}

IONotificationPortRef IONotificationPortCreate(mach_port_t) { return new IONotificationPort; }

void IONotificationPortDestroy(IONotificationPortRef port)
{
    if (!port)
        return;
    CFRelease(port->source);
    delete port;
}

CFRunLoopSourceRef IONotificationPortGetRunLoopSource(IONotificationPortRef port)
{
    return port ? port->source : nullptr;
}

kern_return_t IOServiceAddMatchingNotification(IONotificationPortRef port, const char* notificationType,
                                               CFDictionaryRef matching, IOServiceMatchingCallback, void*,
                                               io_iterator_t* iterator)
{
    if (!matching)
        return kIOReturnBadArgument;
    const std::string className = providerClassOf(matching);
    CFRelease(matching);  // consumed, as on the platform
    if (!port || !notificationType || !iterator)
        return kIOReturnBadArgument;

    std::vector<io_service_t> services;
    if (std::strcmp(notificationType, kIOFirstMatchNotification) == 0) {
        const qvcompat::iokit::UsbContextUse use;
        for (libusb_device* device : qvcompat::iokit::devicesOfClass(className)) {
            services.push_back(ObjectTable::instance().retainServiceFor(device));
            libusb_unref_device(device);
        }
    } else if (std::strcmp(notificationType, kIOTerminatedNotification) != 0) {
        return kIOReturnUnsupported;
    }
    *iterator = ObjectTable::instance().createIterator(std::move(services));
    return KERN_SUCCESS;
}
