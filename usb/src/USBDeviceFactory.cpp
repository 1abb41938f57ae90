// Device scans. Every caller of this program scans "once": the present devices are reported
// inside initWithDeviceFilter and the scan ends before it returns.
#include "DVK2/USBDeviceFactory.h"

#include "DVK2/USBDevice.h"
#include "iokit/FX2Device.h"
#include "iokit/HIDDevice.h"
#include "iokit/USBDeviceFactoryOSImpl.h"

#include <utility>

namespace QV::DVK2 {

USBDeviceFactory::USBDeviceFactory() : m_impl(new OSImpl(*this)) {}

USBDeviceFactory::~USBDeviceFactory()
{
    deInit();
    delete m_impl;
}

void USBDeviceFactory::setCallbacks(Callback onDeviceAdded, Callback onDeviceRemoved)
{
    m_onDeviceAdded = std::move(onDeviceAdded);
    m_onDeviceRemoved = std::move(onDeviceRemoved);
}

bool USBDeviceFactory::initWithDeviceFilter(const USBDeviceFilter& filter, bool keepRunning)
{
    if (filter.ioClassName.empty())
        return false;
    if (m_running)
        deInit();
    m_refusedForRights = 0;
    const bool registered = m_impl->initWithDeviceFilter(filter);
    m_running = registered;
    // Without keepRunning the present devices have been reported by now; later arrivals would only
    // be seen by a run loop that nobody runs.
    if (!keepRunning)
        deInit();
    return registered;
}

void USBDeviceFactory::deInit()
{
    m_running = false;
    m_impl->deInit();
}

bool USBDeviceFactory::getDeviceInfoForOSHandleWithFilter(const USBDeviceOSHandle& handle,
                                                          const USBDeviceFilter& filter, USBDeviceInfo& info,
                                                          bool withStrings)
{
    switch (filter.deviceType) {
    case eUSBDeviceTypeUSB:
    case eUSBDeviceTypeDFU: return USBDevice::getDeviceInfoForOSHandle(handle, info, withStrings);
    case eUSBDeviceTypeTolvuAudio: return FX2Device::getDeviceInfoForOSHandle(handle, info, withStrings);
    case eUSBDeviceTypeHID: return HIDDevice::OSImpl::getHIDDeviceInfo(handle.service, info, withStrings);
    }
    return false;
}

}  // namespace QV::DVK2
