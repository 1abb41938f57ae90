// The USB device interface of the IOKit stand-in: one open libusb device handle.
#include "IOKit/usb/IOUSBLib.h"
#include "IOKit/standin/ObjectTable.h"
#include "IOKit/standin/UsbContext.h"
#include "IOKit/standin/UsbDeviceInterface.h"
#include "IOKit/standin/UsbErrors.h"
#include "IOKit/standin/UsbSettings.h"

#include <libusb.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <bitset>
#include <mutex>
#include <set>
#include <vector>

using namespace qvcompat::iokit;

namespace {

constexpr uint8_t kRecipientMask = 0x1F;
constexpr uint8_t kRecipientInterface = 0x01;
constexpr uint8_t kTypeMask = 0x60;
constexpr uint8_t kTypeStandard = 0x00;
constexpr uint8_t kGetDescriptor = 0x06;
constexpr uint8_t kDescriptorConfiguration = 0x02;
constexpr size_t kConfigurationHeaderLength = 9;

struct DeviceInterface;

// Every device interface alive, so that the end of the libusb context can close their handles.
std::mutex s_liveLock;
std::set<DeviceInterface*> s_live;

// Requests run under a UsbContextUse: the handle stays open while one is alive; once the context
// has ended (the use is empty) the handle is closed and must not be touched.
struct DeviceInterface {
    const IOUSBDeviceInterface* m_table;  // first, so that IOUSBDeviceInterface** points at the object
    std::atomic<ULONG> m_refs{1};
    libusb_device* m_device = nullptr;
    libusb_device_handle* m_handle = nullptr;
    libusb_device_descriptor m_descriptor{};

    std::mutex m_lock;                     // guards the two caches below
    std::vector<uint8_t> m_configuration;  // first configuration descriptor, read on first use
    std::bitset<256> m_claimed;

    static DeviceInterface* from(void* self) { return static_cast<DeviceInterface*>(self); }

    DeviceInterface(libusb_device* device, libusb_device_handle* handle) : m_device(device), m_handle(handle)
    {
        libusb_get_device_descriptor(device, &m_descriptor);
        std::lock_guard<std::mutex> lock(s_liveLock);
        s_live.insert(this);
    }

    ~DeviceInterface()
    {
        // An open handle on the list means the context has not ended: it ends only after
        // closeUsbDeviceInterfaces, which needs the list's lock.
        std::lock_guard<std::mutex> lock(s_liveLock);
        s_live.erase(this);
        if (m_handle)
            close();
    }

    // Lets go of the handle and the device: released interfaces, closed handle, no device reference.
    void close()
    {
        for (size_t i = 0; i < m_claimed.size(); ++i)
            if (m_claimed[i])
                libusb_release_interface(m_handle, static_cast<int>(i));  // may fail: the device may be gone
        m_claimed.reset();
        libusb_close(m_handle);
        libusb_unref_device(m_device);
        m_handle = nullptr;
        m_device = nullptr;
    }

    int transfer(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index, void* data, uint16_t length)
    {
        return libusb_control_transfer(m_handle, requestType, request, value, index, static_cast<unsigned char*>(data),
                                       length, static_cast<unsigned>(controlTransferTimeout().count()));
    }

    // usbfs wants an interface claimed before class or vendor requests reach it.
    void claimFor(const IOUSBDevRequest& request)
    {
        if ((request.bmRequestType & kRecipientMask) != kRecipientInterface ||
            (request.bmRequestType & kTypeMask) == kTypeStandard)
            return;
        const uint8_t interfaceNumber = request.wIndex & 0xFF;
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_claimed[interfaceNumber] && libusb_claim_interface(m_handle, interfaceNumber) == LIBUSB_SUCCESS)
            m_claimed[interfaceNumber] = true;
    }

    IOReturn readConfiguration()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_configuration.empty())
            return kIOReturnSuccess;
        uint8_t header[kConfigurationHeaderLength] = {};
        int result =
            transfer(LIBUSB_ENDPOINT_IN, kGetDescriptor, kDescriptorConfiguration << 8, 0, header, sizeof header);
        if (result < 0)
            return ioReturnFromLibusb(result);
        if (static_cast<size_t>(result) < kConfigurationHeaderLength || header[1] != kDescriptorConfiguration)
            return kIOReturnNotFound;
        const uint16_t total = static_cast<uint16_t>(header[2] | header[3] << 8);
        if (total < kConfigurationHeaderLength)
            return kIOReturnNotFound;
        std::vector<uint8_t> bytes(total, 0);
        result = transfer(LIBUSB_ENDPOINT_IN, kGetDescriptor, kDescriptorConfiguration << 8, 0, bytes.data(), total);
        if (result < 0)
            return ioReturnFromLibusb(result);
        // The descriptor handed out says how long it is: keep it to the bytes that arrived.
        bytes.resize(static_cast<size_t>(result));
        if (bytes.size() < kConfigurationHeaderLength)
            return kIOReturnNotFound;
        bytes[2] = static_cast<uint8_t>(bytes.size() & 0xFF);
        bytes[3] = static_cast<uint8_t>(bytes.size() >> 8);
        m_configuration = std::move(bytes);
        return kIOReturnSuccess;
    }
};

HRESULT queryInterface(void*, REFIID, LPVOID* ppv)
{
    if (ppv)
        *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG addRef(void* self) { return ++DeviceInterface::from(self)->m_refs; }

ULONG release(void* self)
{
    DeviceInterface* device = DeviceInterface::from(self);
    const ULONG refs = --device->m_refs;
    if (refs == 0)
        delete device;
    return refs;
}

IOReturn getDeviceVendor(void* self, UInt16* vendor)
{
    if (!vendor)
        return kIOReturnBadArgument;
    *vendor = DeviceInterface::from(self)->m_descriptor.idVendor;
    return kIOReturnSuccess;
}

IOReturn getDeviceProduct(void* self, UInt16* product)
{
    if (!product)
        return kIOReturnBadArgument;
    *product = DeviceInterface::from(self)->m_descriptor.idProduct;
    return kIOReturnSuccess;
}

IOReturn getDeviceReleaseNumber(void* self, UInt16* release)
{
    if (!release)
        return kIOReturnBadArgument;
    *release = DeviceInterface::from(self)->m_descriptor.bcdDevice;
    return kIOReturnSuccess;
}

IOReturn getConfigurationDescriptorPtr(void* self, UInt8 configIndex, IOUSBConfigurationDescriptorPtr* desc)
{
    if (!desc)
        return kIOReturnBadArgument;
    *desc = nullptr;
    if (configIndex != 0)
        return kIOReturnNotFound;  // the program reads only the first configuration
    DeviceInterface* device = DeviceInterface::from(self);
    UsbContextUse use;
    if (!use)
        return kIOReturnNoDevice;
    const IOReturn result = device->readConfiguration();
    if (result != kIOReturnSuccess)
        return result;
    *desc = reinterpret_cast<IOUSBConfigurationDescriptorPtr>(device->m_configuration.data());
    return kIOReturnSuccess;
}

IOReturn deviceRequest(void* self, IOUSBDevRequest* request)
{
    if (!request || (request->wLength && !request->pData))
        return kIOReturnBadArgument;
    DeviceInterface* device = DeviceInterface::from(self);
    UsbContextUse use;
    if (!use)
        return kIOReturnNoDevice;
    device->claimFor(*request);
    const int result = device->transfer(request->bmRequestType, request->bRequest, request->wValue, request->wIndex,
                                        request->pData, request->wLength);
    if (result < 0)
        return ioReturnFromLibusb(result);
    request->wLenDone = static_cast<UInt32>(result);
    return kIOReturnSuccess;
}

const IOUSBDeviceInterface s_deviceTable{nullptr,
                                         queryInterface,
                                         addRef,
                                         release,
                                         getDeviceVendor,
                                         getDeviceProduct,
                                         getDeviceReleaseNumber,
                                         getConfigurationDescriptorPtr,
                                         deviceRequest};

}  // namespace

namespace qvcompat::iokit {

IOUSBDeviceInterface** createUsbDeviceInterface(io_service_t service, IOReturn& error)
{
    UsbContextUse use;
    libusb_device* usbDevice = use ? ObjectTable::instance().deviceOf(service) : nullptr;
    if (!usbDevice) {
        error = kIOReturnNoDevice;
        return nullptr;
    }
    libusb_device_handle* handle = nullptr;
    const int opened = libusb_open(usbDevice, &handle);
    if (opened != LIBUSB_SUCCESS) {
        // The one failure a user can mend (a udev rule): say which node refused, as the system does.
        if (opened == LIBUSB_ERROR_ACCESS)
            std::fprintf(stderr, "%s: cannot open the USB device /dev/bus/usb/%03u/%03u: %s\n",
                         program_invocation_short_name, libusb_get_bus_number(usbDevice),
                         libusb_get_device_address(usbDevice), std::strerror(EACCES));
        libusb_unref_device(usbDevice);
        error = ioReturnFromLibusb(opened);
        return nullptr;
    }
    auto* device = new DeviceInterface(usbDevice, handle);
    device->m_table = &s_deviceTable;
    error = kIOReturnSuccess;
    return reinterpret_cast<IOUSBDeviceInterface**>(device);
}

void closeUsbDeviceInterfaces()
{
    std::lock_guard<std::mutex> lock(s_liveLock);
    for (DeviceInterface* device : s_live)
        if (device->m_handle)
            device->close();
}

}  // namespace qvcompat::iokit
