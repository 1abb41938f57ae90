#include "iokit/HIDDevice.h"

#include "iokit/CFStringUtil.h"

#include <IOKit/IOKitLib.h>

namespace QV::DVK2 {

std::map<uint32_t, USBDeviceInfo> s_mapHIDDeviceInfos;
std::mutex s_csHIDDeviceInfos;

namespace {

CFStringRef key(const char* name)
{
    return CFStringCreateWithCString(kCFAllocatorDefault, name, kCFStringEncodingUTF8);
}

// Reads a property with the key `name` when it has the type `typeId`.
CFTypeRef property(CFDictionaryRef properties, const char* name, CFTypeID typeId)
{
    CFStringRef keyString = key(name);
    if (keyString == nullptr)
        return nullptr;
    CFTypeRef value = CFDictionaryGetValue(properties, keyString);
    CFRelease(keyString);
    return value != nullptr && CFGetTypeID(value) == typeId ? value : nullptr;
}

void readNumber(CFDictionaryRef properties, const char* name, uint16_t& field)
{
    auto number = static_cast<CFNumberRef>(property(properties, name, CFNumberGetTypeID()));
    // Read wide: ids of 0x8000 and above do not fit a signed 16-bit read.
    SInt32 value = 0;
    if (number != nullptr && CFNumberGetValue(number, kCFNumberSInt32Type, &value))
        field = static_cast<uint16_t>(value);
}

void readString(CFDictionaryRef properties, const char* name, std::string& field)
{
    if (auto string = static_cast<CFStringRef>(property(properties, name, CFStringGetTypeID())))
        field = fromCFString(string);
}

}  // namespace

bool HIDDevice::OSImpl::getHIDDeviceInfo(unsigned service, USBDeviceInfo& info, bool /*withStrings*/)
{
    {
        std::lock_guard<std::mutex> lock(s_csHIDDeviceInfos);
        auto cached = s_mapHIDDeviceInfos.find(service);
        if (cached != s_mapHIDDeviceInfos.end()) {
            info = cached->second;
            return true;
        }
    }

    CFMutableDictionaryRef properties = nullptr;
    if (IORegistryEntryCreateCFProperties(service, &properties, kCFAllocatorDefault, 0) != kIOReturnSuccess ||
        properties == nullptr)
        return false;
    readNumber(properties, "VendorID", info.vendorId);
    readNumber(properties, "ProductID", info.productId);
    readNumber(properties, "VersionNumber", info.version);
    readString(properties, "Manufacturer", info.manufacturer);
    readString(properties, "Product", info.product);
    readString(properties, "SerialNumber", info.serialNumber);
    CFRelease(properties);

    std::lock_guard<std::mutex> lock(s_csHIDDeviceInfos);
    s_mapHIDDeviceInfos[service] = info;
    return true;
}

}  // namespace QV::DVK2
