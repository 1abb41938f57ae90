// USBDevice: the connection to one found device and the control transfers on its default pipe.
// Every operation holds the device lock (recursive: a derived device's postConnect transfers
// re-enter it).
#include "DVK2/USBDevice.h"

#include "iokit/USBDeviceOSImpl.h"

namespace QV::DVK2 {

USBDevice::USBDevice() : m_impl(new OSImpl) {}

USBDevice::~USBDevice() { delete m_impl; }

bool USBDevice::connect(const USBDeviceOSHandle& handle)
{
    std::lock_guard<std::recursive_mutex> lock(m_impl->lock());
    // A second connect must not leak or keep talking to the earlier device.
    if (m_connected || m_impl->device() != nullptr)
        disconnect();

    m_connected = m_impl->connect(handle.service);
    if (!m_connected)
        return false;
    m_handle = handle.service;
    // A fresh record: a failed read must not leave the previous device's strings behind. The
    // device stays connected either way (its default pipe works; only its identity is incomplete).
    USBDeviceInfo info;
    m_impl->getDeviceInfo(info);
    m_info = std::move(info);
    postConnect();
    return m_connected;
}

void USBDevice::disconnect()
{
    std::lock_guard<std::recursive_mutex> lock(m_impl->lock());
    m_handle = 0;
    m_connected = false;
    m_impl->disconnect();
}

const uint8_t* USBDevice::getConfigurationDescriptor(unsigned& length)
{
    std::lock_guard<std::recursive_mutex> lock(m_impl->lock());
    length = 0;
    IOUSBDeviceInterface** device = m_impl->device();
    if (device == nullptr)
        return nullptr;
    IOUSBConfigurationDescriptorPtr descriptor = nullptr;
    if ((*device)->GetConfigurationDescriptorPtr(device, 0, &descriptor) != kIOReturnSuccess || descriptor == nullptr)
        return nullptr;
    length = USBToHostWord(descriptor->wTotalLength);
    return reinterpret_cast<const uint8_t*>(descriptor);
}

USBDevice::Status USBDevice::controlTransfer(Request& request)
{
    std::lock_guard<std::recursive_mutex> lock(m_impl->lock());
    IOUSBDeviceInterface** device = m_impl->device();
    if (device == nullptr)
        return eStatusNotConnected;
    IOUSBDevRequest deviceRequest{
        request.bmRequestType, request.bRequest, request.wValue, request.wIndex, request.wLength, request.pData, 0};
    IOReturn result = (*device)->DeviceRequest(device, &deviceRequest);
    if (result == kIOReturnSuccess)
        request.transferred = deviceRequest.wLenDone;
    return result;
}

void USBDevice::postConnect() {}

bool USBDevice::getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings)
{
    IOUSBDeviceInterface** device = OSImpl::getUSBDeviceInterfaceFor(handle.service);
    if (device == nullptr)
        return false;
    bool result = OSImpl::getDeviceInfo(device, info, withStrings);
    OSImpl::releaseDeviceInterface(device);
    return result;
}

}  // namespace QV::DVK2
