// The plain records by which the USB library names devices.
#pragma once

#include <cstdint>
#include <string>

namespace QV::DVK2 {

// The identity a device reports. Strings are UTF-8 and empty when the device has none or when
// they were not asked for.
struct USBDeviceInfo {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;  // bcdDevice as reported
    std::string manufacturer;
    std::string product;
    std::string serialNumber;  // the key by which a device is found again after re-enumerating
};

// One device found by a scan: an IOKit service handle. A plain value that owns nothing; the scan
// that produced it holds the reference.
struct USBDeviceOSHandle {
    uint32_t service = 0;
};

// The kind of a filter, which decides how a found device's identity is read.
enum eUSBDeviceType : uint32_t {
    eUSBDeviceTypeUSB = 0,         // plain USB device
    eUSBDeviceTypeTolvuAudio = 1,  // USB audio device behind the tolvu audio driver
    eUSBDeviceTypeHID = 2,         // HID device
    eUSBDeviceTypeDFU = 3,         // USB device with a firmware-update (DFU) interface
};

}  // namespace QV::DVK2
