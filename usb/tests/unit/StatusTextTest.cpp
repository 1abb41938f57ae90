#include "DVK2/USBDevice.h"

#include <IOKit/IOReturn.h>

#include <gtest/gtest.h>

namespace QV::DVK2 {
namespace {

TEST(StatusTextTest, KnownAndUnknownCodes)
{
    struct Case {
        uint32_t status;
        const char* text;
    };
    const Case cases[] = {
        {0, "success"},
        {0x0BADBABE, "device not connected"},
        {0xFFFFFFFF, "(Minus One: -1)"},
        {0xE0000001, "kIOReturnInvalid: should never be seen"},
        {0xE00002BC, "general error"},
        {0xE00002C0, "no such device"},
        {0xE00002CA, "General I/O error"},
        {0xE00002D6, "I/O Timeout"},
        {0xE00002F0, "data was not found"},
        {0xE0004001, "Pipe stall, bad CRC"},
        {0xE000400E, "Transaction not sent"},
        {0xE000400F, "Transaction not sent"},
        {0xE000404F, "Pipe has stalled"},
        {0xE0004051, "Transaction timed out"},
        {0xE0004061, "Pipe ref not recognized"},
        // Gaps between listed codes and their neighbours are not listed.
        {0xE00002CB, "unknown"},
        {0xE00002DC, "unknown"},
        {0xE00002F1, "unknown"},
        {0xE0004000, "unknown"},
        {0xE0004004, "unknown"},
        {0xE0004062, "unknown"},
        {0xE0000000, "unknown"},
        {1, "unknown"},
        {0x0BADBABF, "unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.status);
        EXPECT_STREQ(USBDevice::statusAsString(static_cast<USBDevice::Status>(c.status)), c.text);
    }
}

TEST(StatusTextTest, StandInCodesHaveTexts)
{
    // The codes the IOKit stand-in reports for transfers must read as the platform's.
    EXPECT_STREQ(USBDevice::statusAsString(kIOUSBPipeStalled), "Pipe has stalled");
    EXPECT_STREQ(USBDevice::statusAsString(kIOReturnTimeout), "I/O Timeout");
    EXPECT_STREQ(USBDevice::statusAsString(kIOReturnNoDevice), "no such device");
    EXPECT_STREQ(USBDevice::statusAsString(USBDevice::eStatusNotConnected), "device not connected");
    EXPECT_STREQ(USBDevice::statusAsString(-1), "(Minus One: -1)");
}

}  // namespace
}  // namespace QV::DVK2
