#include "UsbErrors.h"

#include <libusb.h>

#include <cstdio>

namespace qvcompat::iokit {

IOReturn ioReturnFromLibusb(int libusbError)
{
    if (libusbError >= 0)
        return kIOReturnSuccess;
    switch (libusbError) {
    case LIBUSB_ERROR_IO: return kIOReturnIOError;
    case LIBUSB_ERROR_INVALID_PARAM: return kIOReturnBadArgument;
    case LIBUSB_ERROR_ACCESS: return kIOReturnNotPrivileged;
    case LIBUSB_ERROR_NO_DEVICE: return kIOReturnNoDevice;
    case LIBUSB_ERROR_NOT_FOUND: return kIOReturnNotFound;
    case LIBUSB_ERROR_BUSY: return kIOReturnExclusiveAccess;
    case LIBUSB_ERROR_TIMEOUT: return kIOReturnTimeout;
    case LIBUSB_ERROR_OVERFLOW: return kIOReturnOverrun;
    case LIBUSB_ERROR_PIPE: return kIOUSBPipeStalled;
    case LIBUSB_ERROR_INTERRUPTED: return kIOReturnAborted;
    case LIBUSB_ERROR_NO_MEM: return kIOReturnNoMemory;
    case LIBUSB_ERROR_NOT_SUPPORTED: return kIOReturnUnsupported;
    default:
        std::fprintf(stderr, "IOKit stand-in: unexpected libusb error %d (%s)\n", libusbError,
                     libusb_error_name(libusbError));
        return kIOReturnError;
    }
}

}  // namespace qvcompat::iokit
