// Which libusb devices a matching class stands for.
#pragma once

#include <libusb.h>

#include <string>
#include <vector>

namespace qvcompat::iokit {

// The devices libusb lists now that belong to `className` ("IOUSBDevice": every device;
// "IOHIDDevice": devices whose active configuration has a HID interface; any other class:
// none), each with a libusb reference for the caller, who holds a UsbContextUse while it keeps them.
// None once the libusb context has ended.
std::vector<libusb_device*> devicesOfClass(const std::string& className);

}  // namespace qvcompat::iokit
