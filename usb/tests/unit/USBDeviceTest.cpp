// A USBDevice that was never connected (or whose device is gone) answers without touching USB.
#include "DVK2/USBDevice.h"
#include "DVK2/USBDeviceDB.h"
#include "DVK2/USBDeviceFactory.h"

#include <gtest/gtest.h>

namespace QV::DVK2 {
namespace {

TEST(USBDeviceTest, NeverConnected)
{
    USBDevice device;
    EXPECT_FALSE(device.isConnected());
    EXPECT_EQ(device.handle(), 0u);

    uint8_t buffer[4] = {};
    USBDevice::Request request;
    request.bmRequestType = 0xC0;
    request.bRequest = 0xB3;
    request.wLength = sizeof buffer;
    request.pData = buffer;
    request.transferred = 77;
    const USBDevice::Status status = device.controlTransfer(request);
    EXPECT_EQ(status, 0x0BADBABE);
    EXPECT_EQ(status, USBDevice::eStatusNotConnected);
    EXPECT_STREQ(USBDevice::statusAsString(status), "device not connected");
    EXPECT_EQ(request.transferred, 77u) << "written only on success";

    unsigned length = 1234;
    EXPECT_EQ(device.getConfigurationDescriptor(length), nullptr);
    EXPECT_EQ(length, 0u);

    device.disconnect();  // harmless
    EXPECT_FALSE(device.isConnected());
}

TEST(USBDeviceTest, ConnectToAMissingServiceFails)
{
    USBDevice device;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(device.connect(USBDeviceOSHandle{0}));
    EXPECT_FALSE(device.connect(USBDeviceOSHandle{0x7FFFFFF0}));
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(device.isConnected());
    EXPECT_EQ(device.handle(), 0u);
    USBDevice::Request request;
    EXPECT_EQ(device.controlTransfer(request), USBDevice::eStatusNotConnected);

    USBDeviceInfo info;
    EXPECT_FALSE(USBDevice::getDeviceInfoForOSHandle(USBDeviceOSHandle{0x7FFFFFF0}, info, true));
}

TEST(USBDeviceFactoryTest, EmptyClassNameIsRefused)
{
    USBDeviceFactory factory;
    int reports = 0;
    factory.setCallbacks([&](const USBDeviceOSHandle&, const USBDeviceFilter&) { ++reports; }, {});
    USBDeviceFilter filter = USBDeviceDB::VardolinStudioDFU;
    filter.ioClassName.clear();
    EXPECT_FALSE(factory.initWithDeviceFilter(filter, false));
    EXPECT_FALSE(factory.initWithDeviceFilter(filter, true));
    EXPECT_FALSE(factory.isRunning());
    EXPECT_EQ(reports, 0);
    factory.deInit();  // harmless without a scan
}

TEST(USBDeviceFactoryTest, ReaderOfAnUnknownKind)
{
    USBDeviceFilter filter = USBDeviceDB::VardolinStudioDFU;
    filter.deviceType = static_cast<eUSBDeviceType>(9);
    USBDeviceInfo info;
    EXPECT_FALSE(USBDeviceFactory::getDeviceInfoForOSHandleWithFilter(USBDeviceOSHandle{1}, filter, info, true));
}

}  // namespace
}  // namespace QV::DVK2
