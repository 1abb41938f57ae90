// The IOKit side of USBDevice: the retained service and its device interface, the device lock, and
// the identity readers that the scans share.
#pragma once

#include "DVK2/USBDevice.h"

#include <IOKit/IOKitLib.h>
#include <IOKit/usb/IOUSBLib.h>

#include <mutex>
#include <string>

namespace QV::DVK2 {

class USBDevice::OSImpl {
public:
    OSImpl() = default;
    // Releases the service and interface still held; sends nothing to the device.
    virtual ~OSImpl();
    OSImpl(const OSImpl&) = delete;
    OSImpl& operator=(const OSImpl&) = delete;

    // Creates a device interface for `service` and retains the service. Fails without changing
    // anything; the caller releases an earlier connection first.
    virtual bool connect(unsigned service);
    // Releases the service and the interface and forgets both.
    virtual void disconnect();
    // The identity of the connected device, strings included.
    virtual bool getDeviceInfo(USBDeviceInfo& info) const;

    IOUSBDeviceInterface** device() const { return m_device; }
    std::recursive_mutex& lock() const { return m_lock; }

    // A device interface for a service (one reference for the caller), or null, with the reason in
    // `failure` when given (kIOReturnNotPrivileged: this user may not use the device). The device
    // is never opened: every request goes to its default pipe.
    static IOUSBDeviceInterface** getUSBDeviceInterfaceFor(io_service_t service, IOReturn* failure = nullptr);
    static void releaseDeviceInterface(IOUSBDeviceInterface** device);

    // Ids and release number; with strings also the manufacturer, product and serial number
    // (each emptied when the device has none or its read fails). Without strings the string fields
    // are left as they were. Blocks for the control requests.
    static bool getDeviceInfo(IOUSBDeviceInterface** device, USBDeviceInfo& info, bool withStrings);
    // String descriptor `index` in language 0 as UTF-16.
    static bool getDescriptorString(IOUSBDeviceInterface** device, uint8_t index, std::u16string& text);

private:
    io_service_t m_service = 0;
    IOUSBDeviceInterface** m_device = nullptr;
    mutable std::recursive_mutex m_lock;
};

}  // namespace QV::DVK2
