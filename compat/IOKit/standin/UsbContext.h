// The process-wide libusb context under the IOKit stand-in.
#pragma once

#include <libusb.h>

namespace qvcompat::iokit {

// Created on first use. It is kept until the process ends: libusb devices and handles handed out
// as services and device interfaces may be used until then.
libusb_context* usbContext();

}  // namespace qvcompat::iokit
