// Test hook of the IOKit stand-in: ending the libusb context before the process exits. Only test
// targets reach this header (through qv_compat_test_hooks).
#pragma once

namespace qvcompat::iokit {

// Ends the process-wide libusb context as the exit handler does (see IOKit/standin/UsbContext.h):
// later calls into the stand-in find no device. Once only.
void endUsbContext();

}  // namespace qvcompat::iokit
