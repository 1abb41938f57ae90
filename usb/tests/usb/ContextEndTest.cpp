// The end of the IOKit stand-in's libusb context, as at the end of the process: devices that are
// still connected, a controller that left the bus, and one that comes back while the context ends.
// Each test runs in a process of its own; LeakSanitizer's check when that process exits is part of
// every test here: whatever the stand-in or libusb kept of a device would be reported then.
#include "DVK2/USBDevice.h"
#include "DVK2/USBDeviceDB.h"
#include "DVK2/USBDeviceFactory.h"

#include <StandInTestHooks/UsbContext.h>

#include "qvsim/testing/SimulatedBusTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

using namespace QV::DVK2;
using QV::SIM::ControllerConfig;

constexpr uint32_t kNoSuchDevice = 0xE00002C0;

class ContextEnd : public QV::SIM::SimulatedBusTest {
protected:
    // Connects `device` to the controller with `serial`, or to the first one for an empty serial.
    static bool connectTo(USBDevice& device, const std::string& serial = {})
    {
        USBDeviceFactory factory;
        factory.setCallbacks(
            [&](const USBDeviceOSHandle& handle, const USBDeviceFilter& filter) {
                USBDeviceInfo info;
                if (!device.isConnected() && filter.getDeviceInfoForOSHandle(handle, info, true) &&
                    (serial.empty() || info.serialNumber == serial))
                    device.connect(handle);
            },
            {});
        factory.initWithDeviceFilter(USBDeviceDB::VardolinStudioDFU, false);
        return device.isConnected();
    }

    static USBDevice::Status readAuxiliaryVersion(USBDevice& device)
    {
        uint8_t reply[2] = {};
        USBDevice::Request request;
        request.bmRequestType = 0xC0;
        request.bRequest = 0xB3;
        request.wIndex = 0x1D;
        request.wLength = sizeof reply;
        request.pData = reply;
        return device.controlTransfer(request);
    }

    // The XMOS reset into update mode on the DFU run-time interface: the controller leaves the bus.
    static USBDevice::Status resetIntoUpdateMode(USBDevice& device)
    {
        USBDevice::Request reset;
        reset.bmRequestType = 0x21;
        reset.bRequest = 0xF2;
        reset.wIndex = 1;
        return device.controlTransfer(reset);
    }
};

TEST_F(ContextEnd, DevicesStillConnectedAnswerNoDeviceAfterwards)
{
    plugController();
    USBDevice device;
    ASSERT_TRUE(connectTo(device));
    ASSERT_EQ(readAuxiliaryVersion(device), USBDevice::eStatusSuccess);

    qvcompat::iokit::endUsbContext();

    EXPECT_TRUE(device.isConnected()) << "the object keeps its connection until it is told";
    EXPECT_EQ(static_cast<uint32_t>(readAuxiliaryVersion(device)), kNoSuchDevice);
    unsigned length = 1;
    EXPECT_EQ(device.getConfigurationDescriptor(length), nullptr);
    USBDevice other;
    EXPECT_FALSE(connectTo(other)) << "a scan after the end finds nothing";
    device.disconnect();
    qvcompat::iokit::endUsbContext();  // a second end changes nothing
}

// A controller that leaves the bus after its last scan: its departure reaches libusb's event
// handling with the next transfer on any device, and from then on the stand-in's service is the
// only holder of the departed device. The context ends by itself as the process exits, as in the
// program, and must take the device with it.
TEST_F(ContextEnd, AControllerThatLeftIsFreedWhenTheProcessEnds)
{
    ControllerConfig leaving;
    leaving.serialNumber = "LEAVING";
    ControllerConfig staying;
    staying.serialNumber = "STAYING";
    plugController(leaving);
    plugController(staying);

    USBDevice device;
    USBDevice other;
    ASSERT_TRUE(connectTo(device, "LEAVING"));
    ASSERT_TRUE(connectTo(other, "STAYING"));
    ASSERT_EQ(resetIntoUpdateMode(device), USBDevice::eStatusSuccess);
    device.disconnect();
    advance(std::chrono::milliseconds(0));  // gone from the bus; back only after its delay

    EXPECT_EQ(readAuxiliaryVersion(other), USBDevice::eStatusSuccess);
    other.disconnect();
}

TEST_F(ContextEnd, TheControllerComesBackWhileTheContextEnds)
{
    auto controller = plugController();
    USBDevice device;
    ASSERT_TRUE(connectTo(device));
    ASSERT_EQ(resetIntoUpdateMode(device), USBDevice::eStatusSuccess);

    // The arrival and the end race; either order must leave nothing behind.
    std::thread arrival([&] { advance(controller->config().reenumerationDelay); });
    qvcompat::iokit::endUsbContext();
    arrival.join();

    EXPECT_EQ(static_cast<uint32_t>(readAuxiliaryVersion(device)), kNoSuchDevice);
    device.disconnect();
    USBDevice again;
    EXPECT_FALSE(connectTo(again));
}

}  // namespace
