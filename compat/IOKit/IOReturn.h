// IOKit return codes used by the program and by the stand-in's error translation.
#pragma once

#include "mach/mach.h"

typedef kern_return_t IOReturn;

// Codes are built as on the platform: system 0x38, sub-system 0, then the code.
constexpr IOReturn iokit_common_err(uint32_t code) { return static_cast<IOReturn>(0xE0000000u | code); }
constexpr IOReturn iokit_usb_err(uint32_t code) { return static_cast<IOReturn>(0xE0004000u | code); }

constexpr IOReturn kIOReturnSuccess = KERN_SUCCESS;
constexpr IOReturn kIOReturnError = iokit_common_err(0x2BC);
constexpr IOReturn kIOReturnNoMemory = iokit_common_err(0x2BD);
constexpr IOReturn kIOReturnNoResources = iokit_common_err(0x2BE);
constexpr IOReturn kIOReturnNoDevice = iokit_common_err(0x2C0);
constexpr IOReturn kIOReturnNotPrivileged = iokit_common_err(0x2C1);
constexpr IOReturn kIOReturnBadArgument = iokit_common_err(0x2C2);
constexpr IOReturn kIOReturnExclusiveAccess = iokit_common_err(0x2C5);
constexpr IOReturn kIOReturnUnsupported = iokit_common_err(0x2C7);
constexpr IOReturn kIOReturnInternalError = iokit_common_err(0x2C9);
constexpr IOReturn kIOReturnIOError = iokit_common_err(0x2CA);
constexpr IOReturn kIOReturnNotOpen = iokit_common_err(0x2CD);
constexpr IOReturn kIOReturnBusy = iokit_common_err(0x2D5);
constexpr IOReturn kIOReturnTimeout = iokit_common_err(0x2D6);
constexpr IOReturn kIOReturnNotAttached = iokit_common_err(0x2D9);
constexpr IOReturn kIOReturnOverrun = iokit_common_err(0x2E8);
constexpr IOReturn kIOReturnAborted = iokit_common_err(0x2EB);
constexpr IOReturn kIOReturnNotResponding = iokit_common_err(0x2ED);
constexpr IOReturn kIOReturnNotFound = iokit_common_err(0x2F0);
constexpr IOReturn kIOUSBPipeStalled = iokit_usb_err(0x4F);
constexpr IOReturn kIOUSBTransactionTimeout = iokit_usb_err(0x51);
