// Device scans: finds the devices that match a filter and reports each to a callback. With
// keepRunning false (every caller in this program) the present devices are reported
// synchronously, on the calling thread, and the scan ends before initWithDeviceFilter returns.
#pragma once

#include "DVK2/USBDeviceFilter.h"

#include <functional>

namespace QV::DVK2 {

class USBDeviceFactory {
public:
    class OSImpl;
    using Callback = std::function<void(const USBDeviceOSHandle&, const USBDeviceFilter&)>;

    USBDeviceFactory();
    virtual ~USBDeviceFactory();
    USBDeviceFactory(const USBDeviceFactory&) = delete;
    USBDeviceFactory& operator=(const USBDeviceFactory&) = delete;

    // An empty callback leaves that event unreported.
    void setCallbacks(Callback onDeviceAdded, Callback onDeviceRemoved);
    bool initWithDeviceFilter(const USBDeviceFilter& filter, bool keepRunning);
    void deInit();
    bool isRunning() const { return m_running; }
    // How many devices of the last scan carried the filter's ids but could not be used because
    // this user may not open them (on Linux: no udev rule for the device node). They were not
    // reported.
    unsigned refusedForLackOfRights() const { return m_refusedForRights; }

    static bool getDeviceInfoForOSHandleWithFilter(const USBDeviceOSHandle& handle, const USBDeviceFilter& filter,
                                                   USBDeviceInfo& info, bool withStrings);

private:
    friend class OSImpl;
    OSImpl* m_impl;
    bool m_running = false;
    unsigned m_refusedForRights = 0;
    Callback m_onDeviceAdded;
    Callback m_onDeviceRemoved;
};

}  // namespace QV::DVK2
