// libusb codes to IOKit return codes, translated in one place.
#pragma once

#include "IOKit/IOReturn.h"

namespace qvcompat::iokit {

// `libusbError` is a negative libusb_error; 0 and positive values (byte counts) are success.
IOReturn ioReturnFromLibusb(int libusbError);

}  // namespace qvcompat::iokit
