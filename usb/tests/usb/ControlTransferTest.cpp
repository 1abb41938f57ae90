// Control transfers on a connected controller, and what happens when it goes away.
#include "DVK2/USBDevice.h"
#include "DVK2/USBDeviceDB.h"
#include "DVK2/USBDeviceFactory.h"

#include "qvsim/testing/SimulatedBusTest.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace QV::DVK2;
using namespace std::chrono_literals;
using QV::SIM::ControllerConfig;
using QV::SIM::tRequestMatch;

class ControlTransfer : public QV::SIM::SimulatedBusTest {
protected:
    // Connects `device` to the first controller the controller's filter finds.
    static bool connectFirst(USBDevice& device, const USBDeviceFilter& filter = USBDeviceDB::VardolinStudioDFU)
    {
        USBDeviceFactory factory;
        factory.setCallbacks(
            [&](const USBDeviceOSHandle& handle, const USBDeviceFilter&) {
                if (!device.isConnected())
                    device.connect(handle);
            },
            {});
        factory.initWithDeviceFilter(filter, false);
        return device.isConnected();
    }

    static USBDevice::Status readAuxiliaryVersion(USBDevice& device, unsigned& version, uint32_t& transferred)
    {
        uint8_t reply[2] = {};
        USBDevice::Request request;
        request.bmRequestType = 0xC0;
        request.bRequest = 0xB3;
        request.wIndex = 0x1D;
        request.wLength = 2;
        request.pData = reply;
        request.transferred = 0xFFFF;
        const USBDevice::Status status = device.controlTransfer(request);
        transferred = request.transferred;
        version = reply[0] | reply[1] << 8;
        return status;
    }
};

TEST_F(ControlTransfer, SucceedsStallsAndNeedsAConnection)
{
    ControllerConfig config;
    config.faults.stall.push_back(tRequestMatch{0xC0, 0xB3, 2});
    plugController(config);

    USBDevice device;
    unsigned version = 0;
    uint32_t transferred = 0;
    EXPECT_EQ(readAuxiliaryVersion(device, version, transferred), USBDevice::eStatusNotConnected);
    EXPECT_EQ(transferred, 0xFFFFu) << "a failed transfer leaves the count alone";
    EXPECT_STREQ(USBDevice::statusAsString(USBDevice::eStatusNotConnected), "device not connected");
    unsigned length = 1;
    EXPECT_EQ(device.getConfigurationDescriptor(length), nullptr);
    EXPECT_EQ(length, 0u);

    ASSERT_TRUE(connectFirst(device));
    EXPECT_EQ(device.info().serialNumber, "VDX2024000001");
    ASSERT_EQ(readAuxiliaryVersion(device, version, transferred), USBDevice::eStatusSuccess);
    EXPECT_EQ(version, 0x66u);
    EXPECT_EQ(transferred, 2u);

    const USBDevice::Status stalled = readAuxiliaryVersion(device, version, transferred);
    EXPECT_EQ(static_cast<uint32_t>(stalled), 0xE000404Fu);
    EXPECT_STREQ(USBDevice::statusAsString(stalled), "Pipe has stalled");

    EXPECT_NE(device.getConfigurationDescriptor(length), nullptr);
    EXPECT_GT(length, 9u);

    device.disconnect();
    EXPECT_EQ(readAuxiliaryVersion(device, version, transferred), USBDevice::eStatusNotConnected);
    EXPECT_EQ(device.info().serialNumber, "VDX2024000001") << "the identity survives the disconnect";
}

TEST_F(ControlTransfer, UnpluggedMidSessionFailsWithoutHanging)
{
    auto controller = plugController();
    USBDevice device;
    ASSERT_TRUE(connectFirst(device));
    bus().unplug(controller);
    ASSERT_TRUE(bus().waitSettled());

    unsigned version = 0;
    uint32_t transferred = 0;
    const USBDevice::Status status = readAuxiliaryVersion(device, version, transferred);
    EXPECT_EQ(static_cast<uint32_t>(status), 0xE00002C0u);
    EXPECT_STREQ(USBDevice::statusAsString(status), "no such device");
    EXPECT_TRUE(device.isConnected()) << "the object keeps its connection until it is told";
}

TEST_F(ControlTransfer, ASecondConnectReleasesTheFirst)
{
    ControllerConfig first;
    first.serialNumber = "FIRST";
    ControllerConfig second;
    second.serialNumber = "SECOND";
    plugController(first);
    plugController(second);

    USBDevice device;
    std::vector<USBDeviceOSHandle> seen;
    USBDeviceFactory factory;
    factory.setCallbacks(
        [&](const USBDeviceOSHandle& handle, const USBDeviceFilter&) {
            EXPECT_TRUE(device.connect(handle));
            seen.push_back(handle);
        },
        {});
    factory.initWithDeviceFilter(USBDeviceDB::VardolinStudioDFU, false);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(device.handle(), seen[1].service);
    unsigned version = 0;
    uint32_t transferred = 0;
    EXPECT_EQ(readAuxiliaryVersion(device, version, transferred), USBDevice::eStatusSuccess);
}

TEST_F(ControlTransfer, AReenumeratedControllerIsSeenByTheNextScan)
{
    auto controller = plugController();
    USBDevice device;
    ASSERT_TRUE(connectFirst(device));
    const uint32_t before = device.handle();

    // The XMOS reset into update mode, on the DFU run-time interface.
    USBDevice::Request reset;
    reset.bmRequestType = 0x21;
    reset.bRequest = 0xF2;
    reset.wIndex = 1;
    ASSERT_EQ(device.controlTransfer(reset), USBDevice::eStatusSuccess);
    device.disconnect();
    advance(controller->config().reenumerationDelay + 10ms);

    USBDeviceFilter updateMode = USBDeviceDB::VardolinStudioDFU;
    updateMode.productId = 0x1302;
    USBDevice again;
    ASSERT_TRUE(connectFirst(again, updateMode));
    EXPECT_NE(again.handle(), before);
    EXPECT_EQ(again.info().productId, 0x1302);
    EXPECT_EQ(again.info().serialNumber, "VDX2024000001");
    EXPECT_FALSE(connectFirst(device)) << "nothing is left in application mode";
}

}  // namespace
