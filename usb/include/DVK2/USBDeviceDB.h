// The device table: the filters of every product the library knows, one row per product. Built
// before main runs and never changed afterwards; the returned pointers live as long as the program.
#pragma once

#include "DVK2/USBDeviceFilter.h"

#include <vector>

namespace QV::DVK2::USBDeviceDB {

extern const std::string USBGUID;
extern const std::string HIDGUID;
extern const std::string QVDFUGUID;
extern const std::string QViAPGUID;
extern const std::string QVBulkDisplayGUID;

// The maker's USB vendor id (a build setting).
extern const uint16_t QVVendorId;

extern const USBDeviceFilter USBDevices;
extern const USBDeviceFilter HIDDevices;
extern const USBDeviceFilter QVUSBDevices;
extern const USBDeviceFilter QVHIDDevices;

extern const USBDeviceFilter VardolinStudioDFU;
extern const USBDeviceFilter VardolinStudio;

struct Entry {
    std::vector<const char*> names;               // display name first, then short names
    std::vector<const USBDeviceFilter*> filters;  // never empty
    uint16_t productId = 0;                       // application-mode product id, the key of every lookup
};

extern const std::vector<Entry> devices;

// Type 0 stands for a row's first filter, whatever its kind.
const USBDeviceFilter* getDeviceFilter(uint16_t productId, eUSBDeviceType type);
const USBDeviceFilter* getDeviceFilter(uint16_t vendorId, uint16_t productId, eUSBDeviceType type);

}  // namespace QV::DVK2::USBDeviceDB
