// The identity reader for USB audio devices behind the tolvu audio driver: one call into the
// driver's user client. No such driver exists on Linux, where opening the user client fails and
// the reader answers false.
#pragma once

#include "DVK2/USBDeviceInfo.h"

#include <IOKit/IOKitLib.h>

#include <cstdint>
#include <functional>

namespace QV::DVK2 {

// The 110-byte record that the driver returns. The texts are NUL-terminated when the driver
// behaves; they are read as at most 33 bytes either way.
#pragma pack(push, 1)
struct TolvuUSBDeviceInfo {
    uint16_t vendorId;
    uint16_t productId;
    char serialNumber[33];
    char product[33];
    char manufacturer[33];
    uint8_t reserved;
    uint16_t version;  // 0 while the driver has no information yet
    uint8_t unused[4];
};
#pragma pack(pop)
static_assert(sizeof(TolvuUSBDeviceInfo) == 110, "the driver's record is 110 bytes");

class FX2Device {
public:
    static bool getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings);

    class OSImpl {
    public:
        // One driver call into `record`. Blocks.
        using Call = std::function<kern_return_t(TolvuUSBDeviceInfo& record)>;

        // The GetDeviceInfo call (selector 3) on an open user client.
        static bool getTolvuUSBDeviceInfo(unsigned connection, TolvuUSBDeviceInfo& record);
        // Clears the version and calls; while the call succeeds with version 0, retries up to three
        // times after 100, 200 and 300 ms (through sleepFor). A failed call: false. Still no version
        // after the retries: true, with version 0.
        static bool readTolvuUSBDeviceInfo(const Call& call, TolvuUSBDeviceInfo& record);
        // Ids and version, and with strings the three texts, each read up to its first NUL and at
        // most its 33 bytes.
        static void toDeviceInfo(const TolvuUSBDeviceInfo& record, USBDeviceInfo& info, bool withStrings);
    };
};

}  // namespace QV::DVK2
