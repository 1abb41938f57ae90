#include "UsbEnumeration.h"
#include "ObjectTable.h"
#include "UsbContext.h"

namespace qvcompat::iokit {

namespace {

constexpr uint8_t kHIDInterfaceClass = 3;

bool hasHIDInterface(libusb_device* device)
{
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS &&
        libusb_get_config_descriptor(device, 0, &config) != LIBUSB_SUCCESS)
        return false;
    bool found = false;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i)
        for (int a = 0; a < config->interface[i].num_altsetting && !found; ++a)
            found = config->interface[i].altsetting[a].bInterfaceClass == kHIDInterfaceClass;
    libusb_free_config_descriptor(config);
    return found;
}

}  // namespace

std::vector<libusb_device*> devicesOfClass(const std::string& className)
{
    std::vector<libusb_device*> result;
    UsbContextUse use;
    if (!use)
        return result;
    const bool allDevices = className == "IOUSBDevice";
    if (!allDevices && className != "IOHIDDevice")
        return result;

    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(use.context(), &list);
    if (count < 0)
        return result;
    std::vector<libusb_device*> present(list, list + count);
    for (libusb_device* device : present)
        if (allDevices || hasHIDInterface(device))
            result.push_back(libusb_ref_device(device));
    ObjectTable::instance().pruneServices(present);
    libusb_free_device_list(list, 1);
    return result;
}

}  // namespace qvcompat::iokit
