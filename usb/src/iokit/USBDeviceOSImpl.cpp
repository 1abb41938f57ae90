#include "iokit/USBDeviceOSImpl.h"

#include "Utf16.h"

#include <IOKit/IOCFPlugIn.h>

#include <algorithm>
#include <cstdio>

namespace QV::DVK2 {
namespace {

constexpr uint8_t kRequestTypeStandardDeviceIn = 0x80;
constexpr uint8_t kRequestGetDescriptor = 6;
constexpr uint16_t kDeviceDescriptor = 0x0100;
constexpr uint16_t kStringDescriptor = 0x0300;
constexpr uint8_t kStringDescriptorType = 3;
constexpr uint32_t kDeviceDescriptorLength = 18;

// The fields of the standard device descriptor that name its strings.
constexpr size_t kIManufacturer = 14;
constexpr size_t kIProduct = 15;
constexpr size_t kISerialNumber = 16;

void readString(IOUSBDeviceInterface** device, uint8_t index, std::string& field)
{
    std::u16string text;
    if (index != 0 && USBDevice::OSImpl::getDescriptorString(device, index, text))
        field = utf16ToUtf8(text.data(), text.size());
    else
        field.clear();
}

}  // namespace

USBDevice::OSImpl::~OSImpl() { OSImpl::disconnect(); }

bool USBDevice::OSImpl::connect(unsigned service)
{
    IOUSBDeviceInterface** device = getUSBDeviceInterfaceFor(service);
    if (device == nullptr)
        return false;
    IOObjectRetain(service);
    m_device = device;
    m_service = service;
    return true;
}

void USBDevice::OSImpl::disconnect()
{
    if (m_service != 0) {
        IOObjectRelease(m_service);
        m_service = 0;
    }
    if (m_device != nullptr) {
        releaseDeviceInterface(m_device);
        m_device = nullptr;
    }
}

bool USBDevice::OSImpl::getDeviceInfo(USBDeviceInfo& info) const { return getDeviceInfo(m_device, info, true); }

IOUSBDeviceInterface** USBDevice::OSImpl::getUSBDeviceInterfaceFor(io_service_t service, IOReturn* failure)
{
    IOCFPlugInInterface** plugin = nullptr;
    SInt32 score = 0;
    kern_return_t result = IOCreatePlugInInterfaceForService(service, kIOUSBDeviceUserClientTypeID,
                                                             kIOCFPlugInInterfaceID, &plugin, &score);
    if (failure != nullptr)
        *failure = result;
    if (result != kIOReturnSuccess || plugin == nullptr)
        return nullptr;

    IOUSBDeviceInterface** device = nullptr;
    HRESULT queried = (*plugin)->QueryInterface(plugin, CFUUIDGetUUIDBytes(kIOUSBDeviceInterfaceID),
                                                reinterpret_cast<LPVOID*>(&device));
    (*plugin)->Release(plugin);
    if (queried != S_OK || device == nullptr) {
        printf("Couldn't create a USB device interface (%08x)\n", static_cast<unsigned>(queried));
        if (failure != nullptr)
            *failure = queried != S_OK ? static_cast<IOReturn>(queried) : kIOReturnError;
        return nullptr;
    }
    return device;
}

void USBDevice::OSImpl::releaseDeviceInterface(IOUSBDeviceInterface** device)
{
    if (device != nullptr)
        (*device)->Release(device);
}

bool USBDevice::OSImpl::getDeviceInfo(IOUSBDeviceInterface** device, USBDeviceInfo& info, bool withStrings)
{
    if (device == nullptr)
        return false;
    (*device)->GetDeviceVendor(device, &info.vendorId);
    (*device)->GetDeviceProduct(device, &info.productId);
    (*device)->GetDeviceReleaseNumber(device, &info.version);
    if (!withStrings)
        return true;

    // Zeroed, and only the bytes the device actually sent are read: the serial number found here
    // is the key by which the controller is found again.
    uint8_t descriptor[256] = {};
    IOUSBDevRequest request{
        kRequestTypeStandardDeviceIn, kRequestGetDescriptor, kDeviceDescriptor, 0, sizeof descriptor, descriptor, 0};
    IOReturn result = (*device)->DeviceRequest(device, &request);
    if (result != kIOReturnSuccess) {
        printf("getDeviceDescriptor() failed with status 0x%x (%s)\n", static_cast<unsigned>(result),
               statusAsString(result));
        return false;
    }
    if (request.wLenDone < kDeviceDescriptorLength || descriptor[0] < kDeviceDescriptorLength)
        return false;

    readString(device, descriptor[kIManufacturer], info.manufacturer);
    readString(device, descriptor[kIProduct], info.product);
    readString(device, descriptor[kISerialNumber], info.serialNumber);
    return true;
}

bool USBDevice::OSImpl::getDescriptorString(IOUSBDeviceInterface** device, uint8_t index, std::u16string& text)
{
    uint8_t descriptor[512] = {};
    IOUSBDevRequest request{kRequestTypeStandardDeviceIn,
                            kRequestGetDescriptor,
                            static_cast<UInt16>(kStringDescriptor | index),
                            0,
                            sizeof descriptor,
                            descriptor,
                            0};
    if ((*device)->DeviceRequest(device, &request) != kIOReturnSuccess)
        return false;
    // A descriptor may claim more than the device sent; only what was sent counts.
    const uint32_t length = std::min<uint32_t>({descriptor[0], request.wLenDone, sizeof descriptor});
    if (length < 2 || descriptor[1] != kStringDescriptorType)
        return false;
    text.clear();
    for (uint32_t offset = 2; offset + 1 < length; offset += 2)
        text += static_cast<char16_t>(descriptor[offset] | (descriptor[offset + 1] << 8));
    return true;
}

}  // namespace QV::DVK2
