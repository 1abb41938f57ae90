// What a device scan looks for.
#pragma once

#include "DVK2/USBDeviceInfo.h"

#include <string>

namespace QV::DVK2 {

struct USBDeviceFilter {
    eUSBDeviceType deviceType = eUSBDeviceTypeUSB;
    std::string identifier;   // a GUID in braces or one of the identifier strings; compared by nothing
    std::string ioClassName;  // IOKit class to match; a filter with an empty class is refused by scans
    uint16_t vendorId = 0;    // 0 = any
    uint16_t productId = 0;   // 0 = any

    // Reads the identity of a found device the way this filter's kind requires.
    bool getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings) const;
};

}  // namespace QV::DVK2
