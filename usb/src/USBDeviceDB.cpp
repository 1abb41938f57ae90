// The device table of this program: the four generic filters and the Vardolin Studio's row. Every
// global lives in this one file so that they are constructed in the order written here (strings,
// generic filters, product filters, rows) before main runs.
#include "DVK2/USBDeviceDB.h"

#include "USBDeviceDBLookup.h"

#ifndef QV_USB_VENDOR_ID
#error "QV_USB_VENDOR_ID must be defined by the build (the maker's USB vendor id)"
#endif

namespace QV::DVK2::USBDeviceDB {
namespace {
constexpr const char* kUSBClass = "IOUSBDevice";
constexpr const char* kHIDClass = "IOHIDDevice";
constexpr uint16_t kVardolinStudioProductId = 0x1300;
}  // namespace

const std::string USBGUID = "usb-guid-magic";
const std::string HIDGUID = "hid-guid-magic";
const std::string QVDFUGUID = "qvdfu-guid-magic";
const std::string QViAPGUID = "qviap-guid-magic";
const std::string QVBulkDisplayGUID = "qvbd-guid-magic";

const uint16_t QVVendorId = QV_USB_VENDOR_ID;

const USBDeviceFilter USBDevices{eUSBDeviceTypeUSB, USBGUID, kUSBClass, 0, 0};
const USBDeviceFilter HIDDevices{eUSBDeviceTypeHID, HIDGUID, kHIDClass, 0, 0};
const USBDeviceFilter QVUSBDevices{eUSBDeviceTypeUSB, USBGUID, kUSBClass, QVVendorId, 0};
const USBDeviceFilter QVHIDDevices{eUSBDeviceTypeHID, HIDGUID, kHIDClass, QVVendorId, 0};

// Both filters carry the application-mode product id; the update mode's id is derived from it
// when the controller is reset into that mode.
const USBDeviceFilter VardolinStudioDFU{eUSBDeviceTypeDFU, "{6A1F3C2E-9B47-4D8A-A5E0-3C71D94B2F08}", kUSBClass,
                                        QVVendorId, kVardolinStudioProductId};
const USBDeviceFilter VardolinStudio{eUSBDeviceTypeHID, HIDGUID, kHIDClass, QVVendorId, kVardolinStudioProductId};

const std::vector<Entry> devices{
    {{"Vardolin Studio", "vdx", "Studio"}, {&VardolinStudioDFU, &VardolinStudio}, kVardolinStudioProductId},
};

const USBDeviceFilter* getDeviceFilter(uint16_t productId, eUSBDeviceType type)
{
    return findDeviceFilter(devices, productId, type);
}

const USBDeviceFilter* getDeviceFilter(uint16_t vendorId, uint16_t productId, eUSBDeviceType type)
{
    return findDeviceFilter(devices, vendorId, productId, type);
}

}  // namespace QV::DVK2::USBDeviceDB
