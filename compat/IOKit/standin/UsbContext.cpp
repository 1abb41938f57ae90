#include "UsbContext.h"
#include "IOKit/standin/UsbSettings.h"

#include <atomic>
#include <cstdio>

namespace qvcompat::iokit {

namespace {
std::atomic<long> s_timeoutMs{5000};
}

libusb_context* usbContext()
{
    static libusb_context* s_context = [] {
        libusb_context* context = nullptr;
        const int result = libusb_init(&context);
        if (result != LIBUSB_SUCCESS) {
            std::fprintf(stderr, "IOKit stand-in: libusb_init failed: %s\n", libusb_error_name(result));
            return static_cast<libusb_context*>(nullptr);
        }
        return context;
    }();
    return s_context;
}

void setControlTransferTimeout(std::chrono::milliseconds timeout) { s_timeoutMs = static_cast<long>(timeout.count()); }

std::chrono::milliseconds controlTransferTimeout() { return std::chrono::milliseconds(s_timeoutMs.load()); }

}  // namespace qvcompat::iokit
