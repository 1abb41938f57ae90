// Scans and identities against simulated controllers, through the IOKit stand-in and libusb.
#include "DVK2/USBDevice.h"
#include "DVK2/USBDeviceDB.h"
#include "DVK2/USBDeviceFactory.h"

#include "qvsim/bus/FileAccess.h"
#include "qvsim/testing/SimulatedBusTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace QV::DVK2;
using QV::SIM::ControllerConfig;

class Scan : public QV::SIM::SimulatedBusTest {
protected:
    // The identity of every device a scan with `filter` reports, read with strings inside the
    // callback (handles are valid only while the scan holds them).
    std::vector<USBDeviceInfo> scan(const USBDeviceFilter& filter, bool* result = nullptr)
    {
        std::vector<USBDeviceInfo> found;
        USBDeviceFactory factory;
        factory.setCallbacks(
            [&](const USBDeviceOSHandle& handle, const USBDeviceFilter& reported) {
                EXPECT_EQ(reported.productId, filter.productId);
                USBDeviceInfo info;
                EXPECT_TRUE(reported.getDeviceInfoForOSHandle(handle, info, true));
                found.push_back(info);
            },
            {});
        const bool ok = factory.initWithDeviceFilter(filter, false);
        if (result)
            *result = ok;
        factory.deInit();
        return found;
    }

    static ControllerConfig withSerial(const char* serial)
    {
        ControllerConfig config;
        config.serialNumber = serial;
        return config;
    }
};

TEST_F(Scan, ReportsEveryMatchingControllerInOneCall)
{
    bool ok = false;
    EXPECT_TRUE(scan(USBDeviceDB::VardolinStudioDFU, &ok).empty());
    EXPECT_TRUE(ok) << "a scan that finds nothing still succeeds";

    plugController(withSerial("VDX0000000001"));
    ASSERT_EQ(scan(USBDeviceDB::VardolinStudioDFU).size(), 1u);

    plugController(withSerial("VDX0000000002"));
    std::vector<USBDeviceInfo> found = scan(USBDeviceDB::VardolinStudioDFU);
    ASSERT_EQ(found.size(), 2u);
    std::vector<std::string> serials{found[0].serialNumber, found[1].serialNumber};
    std::sort(serials.begin(), serials.end());
    EXPECT_EQ(serials, (std::vector<std::string>{"VDX0000000001", "VDX0000000002"}));
    EXPECT_EQ(found[0].manufacturer, "Orvendal");
    EXPECT_EQ(found[0].product, "Vardolin Studio");
    EXPECT_EQ(found[0].version, 0x0020);
}

TEST_F(Scan, FiltersByVendorAndProduct)
{
    ControllerConfig otherVendor = withSerial("OTHER");
    otherVendor.vendorId = static_cast<uint16_t>(USBDeviceDB::QVVendorId ^ 0x0101);
    plugController(otherVendor);
    ControllerConfig updateMode = withSerial("UPDATE");
    updateMode.initialMode = QV::SIM::eMode::Update;
    plugController(updateMode);
    plugController(withSerial("MINE"));

    struct Case {
        const char* what;
        USBDeviceFilter filter;
        size_t expected;
    } cases[] = {
        {"the controller's filter", USBDeviceDB::VardolinStudioDFU, 1},
        {"every device of the maker", USBDeviceDB::QVUSBDevices, 2},
        {"every USB device", USBDeviceDB::USBDevices, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scan(c.filter).size(), c.expected) << c.what;

    USBDeviceFilter noClass = USBDeviceDB::VardolinStudioDFU;
    noClass.ioClassName.clear();
    bool ok = true;
    EXPECT_TRUE(scan(noClass, &ok).empty());
    EXPECT_FALSE(ok);
}

// A controller whose device node this user may not open: a scan for it counts it and reports
// nothing; a scan for another product passes it over without opening it.
TEST_F(Scan, AControllerThisUserMayNotOpenIsCountedNotReported)
{
    auto controller = plugController(withSerial("REFUSED"));
    bus().setOpenRefused(*controller, true);
    struct WithoutRootFileAccess {  // root opens every node; an ordinary user has nothing to give up
        WithoutRootFileAccess() { EXPECT_TRUE(QV::SIM::setFileAccessOverride(false)); }
        ~WithoutRootFileAccess() { QV::SIM::setFileAccessOverride(true); }
    } user;

    USBDeviceFilter updateMode = USBDeviceDB::VardolinStudioDFU;
    updateMode.productId = 0x1302;
    struct Case {
        const char* what;
        USBDeviceFilter filter;
        bool refused;  // the node's open is refused
        size_t reported;
        unsigned counted;
    } cases[] = {
        {"its own filter", USBDeviceDB::VardolinStudioDFU, true, 0, 1},
        {"another product's filter", updateMode, true, 0, 0},
        {"its own filter, access given", USBDeviceDB::VardolinStudioDFU, false, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bus().setOpenRefused(*controller, c.refused);
        size_t reported = 0;
        USBDeviceFactory factory;
        factory.setCallbacks([&](const USBDeviceOSHandle&, const USBDeviceFilter&) { ++reported; }, {});
        EXPECT_TRUE(factory.initWithDeviceFilter(c.filter, false));
        EXPECT_EQ(reported, c.reported);
        EXPECT_EQ(factory.refusedForLackOfRights(), c.counted);
    }
}

TEST_F(Scan, IdentityWithAndWithoutStrings)
{
    plugController();
    std::vector<USBDeviceOSHandle> handles;
    USBDeviceFactory factory;
    factory.setCallbacks(
        [&](const USBDeviceOSHandle& handle, const USBDeviceFilter&) {
            USBDeviceInfo withoutStrings;
            withoutStrings.serialNumber = "untouched";
            ASSERT_TRUE(USBDevice::getDeviceInfoForOSHandle(handle, withoutStrings, false));
            EXPECT_EQ(withoutStrings.productId, 0x1300);
            EXPECT_EQ(withoutStrings.serialNumber, "untouched");

            USBDeviceInfo withStrings;
            ASSERT_TRUE(USBDevice::getDeviceInfoForOSHandle(handle, withStrings, true));
            EXPECT_EQ(withStrings.serialNumber, "VDX2024000001");
            handles.push_back(handle);
        },
        {});
    ASSERT_TRUE(factory.initWithDeviceFilter(USBDeviceDB::VardolinStudioDFU, false));
    EXPECT_EQ(handles.size(), 1u);
}

TEST_F(Scan, FaultyDescriptorsNeverInventAnIdentity)
{
    struct Case {
        const char* what;
        void (*fault)(ControllerConfig&);
        bool readSucceeds;
        const char* serial;
    } cases[] = {
        {"short device descriptor", [](ControllerConfig& c) { c.faults.deviceDescriptorLength = 8; }, false, ""},
        {"stalled string requests", [](ControllerConfig& c) { c.faults.stallStrings = true; }, true, ""},
        {"no strings at all", [](ControllerConfig& c) { c.faults.noStrings = true; }, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerConfig config;
        c.fault(config);
        auto controller = plugController(config);

        USBDevice device;
        int reported = 0;
        USBDeviceFactory factory;
        factory.setCallbacks(
            [&](const USBDeviceOSHandle& handle, const USBDeviceFilter&) {
                ++reported;
                USBDeviceInfo info;
                info.serialNumber = "stale";
                EXPECT_EQ(USBDevice::getDeviceInfoForOSHandle(handle, info, true), c.readSucceeds);
                if (c.readSucceeds) {
                    EXPECT_EQ(info.serialNumber, c.serial);
                }
                EXPECT_TRUE(device.connect(handle)) << "the default pipe works without an identity";
            },
            {});
        factory.initWithDeviceFilter(USBDeviceDB::VardolinStudioDFU, false);
        EXPECT_EQ(reported, 1);
        EXPECT_EQ(device.info().serialNumber, c.serial);
        EXPECT_EQ(device.info().productId, 0x1300);
        device.disconnect();
        bus().unplug(controller);
        ASSERT_TRUE(bus().waitSettled());
    }
}

}  // namespace
