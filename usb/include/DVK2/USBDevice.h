// A USB device reached through the IOKit device interface: connect to a found device, read its
// identity and configuration descriptor, and send control transfers on its default pipe. Every
// operation holds the device's recursive lock for its whole run, so the main thread and the
// update worker can share one device object.
#pragma once

#include "DVK2/USBDeviceInfo.h"

#include <cstdint>

namespace QV::DVK2 {

class USBDevice {
public:
    class OSImpl;

    struct Request {
        uint8_t bmRequestType = 0;
        uint8_t bRequest = 0;
        uint16_t wValue = 0;
        uint16_t wIndex = 0;
        uint16_t wLength = 0;
        void* pData = nullptr;     // at least wLength bytes
        uint32_t transferred = 0;  // bytes actually moved; written only on success
    };

    // 0 success, an IOKit return code, or eStatusNotConnected.
    using Status = int32_t;
    static constexpr Status eStatusSuccess = 0;
    static constexpr Status eStatusNotConnected = 0x0BADBABE;

    USBDevice();
    virtual ~USBDevice();
    USBDevice(const USBDevice&) = delete;
    USBDevice& operator=(const USBDevice&) = delete;

    // Connects to a found device and reads its identity (strings included). A device that is
    // already connected releases its earlier connection first.
    bool connect(const USBDeviceOSHandle& handle);
    void disconnect();

    // The first configuration descriptor (owned by the connection), or null with length 0.
    const uint8_t* getConfigurationDescriptor(unsigned& length);

    virtual Status controlTransfer(Request& request);

    bool isConnected() const { return m_connected; }
    uint32_t handle() const { return m_handle; }
    // The identity read at the last connect; kept after a disconnect.
    const USBDeviceInfo& info() const { return m_info; }

    static bool getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings);
    static const char* statusAsString(Status status);

protected:
    // Runs inside connect's lock after a successful connection.
    virtual void postConnect();

    OSImpl* m_impl;
    bool m_connected = false;
    uint32_t m_handle = 0;
    USBDeviceInfo m_info;
};

}  // namespace QV::DVK2
