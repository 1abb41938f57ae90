// The identity reader for HID services: the IOKit registry properties of the service, cached per
// service for the whole process (an entry is erased when a scan sees its service terminate).
#pragma once

#include "DVK2/USBDeviceInfo.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace QV::DVK2 {

extern std::map<uint32_t, USBDeviceInfo> s_mapHIDDeviceInfos;
extern std::mutex s_csHIDDeviceInfos;

class HIDDevice {
public:
    class OSImpl {
    public:
        // Ids, version and the three strings (always read: `withStrings` is not used). Absent or
        // mistyped properties leave their fields as they were. False when the service has no
        // properties. The registry is read without holding the cache lock.
        static bool getHIDDeviceInfo(unsigned service, USBDeviceInfo& info, bool withStrings);
    };
};

}  // namespace QV::DVK2
