// Creation of the USB device interface behind the plug-in's QueryInterface.
#pragma once

#include "IOKit/usb/IOUSBLib.h"

namespace qvcompat::iokit {

// Opens the service's device and wraps it in a device interface with one reference; null with
// `error` set when the service is not a present device or the device cannot be opened.
IOUSBDeviceInterface** createUsbDeviceInterface(io_service_t service, IOReturn& error);

// Closes the libusb handle of every device interface still alive, as the libusb context ends.
// The interfaces stay valid objects until their last release; their requests answer
// kIOReturnNoDevice from here on.
void closeUsbDeviceInterfaces();

}  // namespace qvcompat::iokit
