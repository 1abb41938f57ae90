// Registry properties of the IOKit stand-in. A HID service's identity is read from its USB
// device: the numbers from the device descriptor, the strings from its string descriptors. A USB
// device's own numbers (idVendor, idProduct, bcdDevice) come from its descriptor alone, so they
// can be read without opening the device.
#include "IOKit/IOKitLib.h"
#include "IOKit/standin/ObjectTable.h"
#include "IOKit/standin/UsbContext.h"
#include "IOKit/standin/UsbSettings.h"

#include <libusb.h>

#include <algorithm>
#include <string>
#include <vector>

using qvcompat::iokit::ObjectTable;

namespace {

constexpr uint16_t kEnglishUS = 0x0409;

void setNumber(CFMutableDictionaryRef dictionary, const char* key, SInt32 value)
{
    CFStringRef name = CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8);
    CFNumberRef number = CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value);
    CFDictionarySetValue(dictionary, name, number);
    CFRelease(number);
    CFRelease(name);
}

// A string descriptor as UTF-16, using only the bytes that arrived; false when there is none.
bool readString(libusb_device_handle* handle, uint8_t index, std::vector<UniChar>& text)
{
    if (index == 0)
        return false;
    unsigned char buffer[255] = {};
    const int got = libusb_get_string_descriptor(handle, index, kEnglishUS, buffer, sizeof buffer);
    if (got < 2 || buffer[1] != LIBUSB_DT_STRING)
        return false;
    const int length = std::min<int>(got, buffer[0]);
    text.clear();
    for (int i = 2; i + 1 < length; i += 2)
        text.push_back(static_cast<UniChar>(buffer[i] | buffer[i + 1] << 8));
    return true;
}

void setString(CFMutableDictionaryRef dictionary, const char* key, libusb_device_handle* handle, uint8_t index)
{
    std::vector<UniChar> text;
    if (!handle || !readString(handle, index, text))
        return;
    CFStringRef name = CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8);
    CFStringRef value =
        CFStringCreateWithCharacters(kCFAllocatorDefault, text.data(), static_cast<CFIndex>(text.size()));
    CFDictionarySetValue(dictionary, name, value);
    CFRelease(value);
    CFRelease(name);
}

}  // namespace

kern_return_t IORegistryEntryCreateCFProperties(io_service_t service, CFMutableDictionaryRef* properties,
                                                CFAllocatorRef, IOOptionBits)
{
    if (!properties)
        return kIOReturnBadArgument;
    *properties = nullptr;
    const qvcompat::iokit::UsbContextUse use;
    libusb_device* device = use ? ObjectTable::instance().deviceOf(service) : nullptr;
    if (!device)
        return kIOReturnNoDevice;
    libusb_device_descriptor descriptor{};
    libusb_get_device_descriptor(device, &descriptor);

    CFMutableDictionaryRef result = CFDictionaryCreateMutable(kCFAllocatorDefault, 6, &kCFTypeDictionaryKeyCallBacks,
                                                              &kCFTypeDictionaryValueCallBacks);
    setNumber(result, "VendorID", descriptor.idVendor);
    setNumber(result, "ProductID", descriptor.idProduct);
    setNumber(result, "VersionNumber", descriptor.bcdDevice);

    // Strings need the device open; without access the numbers still stand.
    libusb_device_handle* handle = nullptr;
    if (libusb_open(device, &handle) != LIBUSB_SUCCESS)
        handle = nullptr;
    setString(result, "Manufacturer", handle, descriptor.iManufacturer);
    setString(result, "Product", handle, descriptor.iProduct);
    setString(result, "SerialNumber", handle, descriptor.iSerialNumber);
    if (handle)
        libusb_close(handle);
    libusb_unref_device(device);
    *properties = result;
    return KERN_SUCCESS;
}

CFTypeRef IORegistryEntryCreateCFProperty(io_service_t service, CFStringRef key, CFAllocatorRef, IOOptionBits)
{
    if (!key)
        return nullptr;
    // The keys are ASCII names.
    std::string name;
    const CFIndex length = CFStringGetLength(key);
    std::vector<UniChar> characters(static_cast<std::size_t>(length));
    CFStringGetCharacters(key, CFRange{0, length}, characters.data());
    for (const UniChar c : characters)
        name.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    const qvcompat::iokit::UsbContextUse use;
    libusb_device* device = use ? ObjectTable::instance().deviceOf(service) : nullptr;
    if (!device)
        return nullptr;
    libusb_device_descriptor descriptor{};
    libusb_get_device_descriptor(device, &descriptor);
    libusb_unref_device(device);
    SInt32 value = 0;
    if (name == kUSBVendorID)
        value = descriptor.idVendor;
    else if (name == kUSBProductID)
        value = descriptor.idProduct;
    else if (name == kUSBDeviceReleaseNumber)
        value = descriptor.bcdDevice;
    else
        return nullptr;
    return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value);
}
