// The DFU device against simulated controllers, through the IOKit stand-in and libusb: a device
// without a DFU interface, the reconnection without a serial number, and the manifestation of a
// controller that is not manifestation tolerant with other controllers on the bus.
#include "DVK2/DFUDevice.h"
#include "DVK2/Sleep.h"
#include "DVK2/USBDeviceDB.h"
#include "DVK2/USBDeviceFactory.h"

#include "qvsim/testing/SimulatedBusTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace QV::DVK2;
using namespace std::chrono_literals;
using QV::SIM::ControllerConfig;
using QV::SIM::eMode;
using QV::SIM::eOutcome;
using QV::SIM::tLoggedRequest;

constexpr uint8_t kCanDownload = 0x01;
constexpr uint16_t kApplicationProductId = 0x1300;
constexpr uint16_t kUpdateProductId = 0x1302;

USBDeviceFilter updateModeFilter()
{
    USBDeviceFilter filter = USBDeviceDB::VardolinStudioDFU;
    filter.productId = kUpdateProductId;
    return filter;
}

bool isStringRequest(const tLoggedRequest& entry) { return entry.setup[1] == 0x06 && entry.setup[3] == 0x03; }

class DFUDeviceOnTheBus : public QV::SIM::SimulatedBusTest {
protected:
    void SetUp() override
    {
        SimulatedBusTest::SetUp();
        setSleepFunction(
            [this](std::chrono::nanoseconds d) { advance(std::chrono::duration_cast<QV::SIM::Clock::Duration>(d)); });
    }

    void TearDown() override
    {
        setSleepFunction({});
        SimulatedBusTest::TearDown();
    }

    // Connects `device` to the controller with `serial` that `filter` finds; DFUDevice::connect's answer,
    // or false when there is none.
    static bool connectTo(DFUDevice& device, const std::string& serial,
                          const USBDeviceFilter& filter = USBDeviceDB::VardolinStudioDFU)
    {
        bool answer = false;
        USBDeviceFactory factory;
        factory.setCallbacks(
            [&](const USBDeviceOSHandle& handle, const USBDeviceFilter& reported) {
                USBDeviceInfo info;
                if (reported.getDeviceInfoForOSHandle(handle, info, true) && info.serialNumber == serial)
                    answer = device.connect(handle);
            },
            {});
        factory.initWithDeviceFilter(filter, false);
        return answer;
    }
};

TEST_F(DFUDeviceOnTheBus, ADeviceWithoutADfuInterfaceStaysConnectedWithoutDfu)
{
    ControllerConfig plain;
    plain.serialNumber = "PLAIN";
    plain.faults.noDfuRunTime = true;
    auto withoutDfu = plugController(plain);
    ControllerConfig dfu;
    dfu.serialNumber = "DFU";
    plugController(dfu);

    DFUDevice device;
    ASSERT_TRUE(connectTo(device, "DFU"));
    EXPECT_EQ(device.mode(), DFUDevice::eModeApplication);
    EXPECT_EQ(device.interfaceNumber(), 1);
    device.disconnect();
    EXPECT_FALSE(device.queryDFUInfo()) << "no configuration descriptor without a connection";
    EXPECT_EQ(device.mode(), DFUDevice::eModeApplication) << "fields unchanged";
    EXPECT_EQ(device.transferSize(), dfu.transferSize);

    EXPECT_FALSE(connectTo(device, "PLAIN"));
    EXPECT_TRUE(device.isConnected()) << "connected, only without a DFU interface";
    EXPECT_EQ(device.info().serialNumber, "PLAIN");
    for (int query = 0; query < 2; ++query) {
        SCOPED_TRACE(query == 0 ? "after connect" : "asked again");
        EXPECT_EQ(device.mode(), DFUDevice::eModeNone);
        EXPECT_EQ(device.attributes(), 0);
        EXPECT_EQ(device.detachTimeOut(), 0);
        EXPECT_EQ(device.transferSize(), 0);
        EXPECT_EQ(device.interfaceNumber(), 1) << "the last interface number is kept";
        EXPECT_TRUE(device.queryDFUInfo());
    }

    // Neither reset reaches a DFU interface: both are refused and the controller stays.
    EXPECT_FALSE(device.sendDFUDetach());
    EXPECT_FALSE(device.returnToAPPMode());
    EXPECT_EQ(withoutDfu->reenumerations(), 0u);
    DFU::GetStatus status;
    EXPECT_FALSE(device.writeImage(reinterpret_cast<const uint8_t*>("x"), 1, status));
    EXPECT_EQ(status.bStatus, DFU::eStatusErrWrite);
}

TEST_F(DFUDeviceOnTheBus, AControllerWithoutASerialNumberIsFoundAgainByItsProductId)
{
    ControllerConfig config;
    config.faults.noStrings = true;
    auto controller = plugController(config);

    DFUDevice device;
    ASSERT_TRUE(connectTo(device, ""));
    EXPECT_TRUE(device.info().serialNumber.empty());
    ASSERT_TRUE(device.sendDFUDetach());
    ASSERT_TRUE(device.reconnectInDFUMode());
    EXPECT_EQ(device.mode(), DFUDevice::eModeUpdate);
    EXPECT_EQ(device.info().productId, kUpdateProductId);
    EXPECT_EQ(controller->mode(), eMode::Update);
}

TEST_F(DFUDeviceOnTheBus, ReconnectWithoutASerialNumberTakesTheFirstDeviceOnly)
{
    ControllerConfig config;
    config.initialMode = eMode::Update;
    config.faults.noStrings = true;
    plugController(config);
    plugController(config);

    struct Case {
        const char* what;
        std::string serial;
        bool connects;
    } cases[] = {
        {"no serial number: the first device found", "", true},
        {"a serial number none of them has", "VDX2024000001", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DFUDevice device;
        std::vector<uint32_t> reported;
        USBDeviceFactory factory;
        factory.setCallbacks(
            [&](const USBDeviceOSHandle& handle, const USBDeviceFilter& filter) {
                reported.push_back(handle.service);
                reconnect(handle, filter, &device, c.serial);
            },
            {});
        ASSERT_TRUE(factory.initWithDeviceFilter(updateModeFilter(), false));
        ASSERT_EQ(reported.size(), 2u);
        EXPECT_EQ(device.isConnected(), c.connects);
        if (c.connects) {
            EXPECT_EQ(device.handle(), reported.front()) << "the first match wins";
            EXPECT_EQ(device.mode(), DFUDevice::eModeUpdate);
        }
    }
}

// The controller comes back in application mode by itself; the scans of the manifestation phase
// must take it, and only it, by its product id and serial number. Another controller arrives
// during the manifestation wait, so that it is reported before the updated one; a third one has
// the updated one's serial number under another product.
TEST_F(DFUDeviceOnTheBus, ANonTolerantManifestationFindsItsOwnController)
{
    const std::vector<uint8_t> image(5000, 0x5A);
    ControllerConfig mine;
    mine.serialNumber = "MINE";
    mine.initialMode = eMode::Update;
    mine.dfuAttributes = kCanDownload;  // not tolerant, no detach of its own
    mine.expectedMainImage = image;
    auto updated = plugController(mine);
    ControllerConfig other;
    other.serialNumber = "OTHER";
    ControllerConfig otherProduct;
    otherProduct.serialNumber = "MINE";
    otherProduct.productId = 0x1400;
    plugController(otherProduct);

    DFUDevice device;
    ASSERT_TRUE(connectTo(device, "MINE", updateModeFilter()));
    ASSERT_EQ(device.attributes() & DFU::kAttributeManifestationTolerant, 0);

    std::shared_ptr<QV::SIM::ControllerModel> late;
    setSleepFunction([&](std::chrono::nanoseconds d) {
        advance(std::chrono::duration_cast<QV::SIM::Clock::Duration>(d));
        if (d == 10s && !late)
            late = plugController(other);  // after the updated one is back: listed first by the scan
    });

    DFU::GetStatus status;
    ASSERT_TRUE(device.writeImage(image.data(), static_cast<uint32_t>(image.size()), status));
    EXPECT_EQ(status.bState, DFU::eStateManifestWaitReset);
    ASSERT_TRUE(device.isConnected());
    EXPECT_EQ(device.info().serialNumber, "MINE");
    EXPECT_EQ(device.info().productId, kApplicationProductId);
    EXPECT_EQ(device.info().version, 0x0021) << "the updated controller, with its new firmware";
    EXPECT_EQ(device.mode(), DFUDevice::eModeApplication);
    EXPECT_EQ(updated->mode(), eMode::Application);

    ASSERT_TRUE(late);
    const std::vector<tLoggedRequest> log = late->requestLog();
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), isStringRequest))
        << "the other controller was looked at, and passed over";
    EXPECT_TRUE(device.returnToAPPMode()) << "already in application mode: nothing to send";
}

}  // namespace
