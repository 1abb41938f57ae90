#pragma once

#include "qvsim/model/ControllerModel.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace QV::SIM {

// What one enumerated controller looks like in sysfs and udev: the attributes libusb and udev read
// on Linux and the properties of its uevents.
struct tSysfsEntry {
    std::string name;                                             // sysfs name, "<bus>-<port>"
    std::string devNode;                                          // "/dev/bus/usb/BBB/DDD"
    std::vector<std::pair<std::string, std::string>> attributes;  // text; values end with a newline
    std::vector<std::pair<std::string, std::string>> properties;
    std::vector<std::uint8_t> descriptors;  // the binary "descriptors" attribute
};

tSysfsEntry makeSysfsEntry(const tUsbIdentity& identity, unsigned bus, unsigned port, unsigned deviceNumber);

}  // namespace QV::SIM
