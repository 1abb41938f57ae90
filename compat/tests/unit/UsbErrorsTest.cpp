#include "IOKit/standin/UsbErrors.h"

#include <libusb.h>

#include <gtest/gtest.h>

namespace {

TEST(UsbErrors, LibusbCodesBecomeIOKitCodes)
{
    struct Case {
        int libusb;
        IOReturn expected;
    } cases[] = {
        {0, kIOReturnSuccess},
        {18, kIOReturnSuccess},  // a byte count
        {LIBUSB_ERROR_PIPE, kIOUSBPipeStalled},
        {LIBUSB_ERROR_TIMEOUT, kIOReturnTimeout},
        {LIBUSB_ERROR_NO_DEVICE, kIOReturnNoDevice},
        {LIBUSB_ERROR_ACCESS, kIOReturnNotPrivileged},
        {LIBUSB_ERROR_BUSY, kIOReturnExclusiveAccess},
        {LIBUSB_ERROR_OVERFLOW, kIOReturnOverrun},
        {LIBUSB_ERROR_OTHER, kIOReturnError},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qvcompat::iokit::ioReturnFromLibusb(c.libusb), c.expected) << c.libusb;
    EXPECT_EQ(static_cast<uint32_t>(kIOReturnTimeout), 0xE00002D6u);
    EXPECT_EQ(static_cast<uint32_t>(kIOUSBPipeStalled), 0xE000404Fu);
}

}  // namespace
