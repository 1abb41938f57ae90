#include "DVK2/USBDeviceDB.h"

#include "USBDeviceDBLookup.h"

#include <gtest/gtest.h>

#include <regex>

namespace QV::DVK2 {
namespace {

using namespace USBDeviceDB;

constexpr uint16_t kStudio = 0x1300;
constexpr uint16_t kStudioUpdateMode = 0x1302;
constexpr auto kAny = eUSBDeviceTypeUSB;
constexpr auto kTolvu = eUSBDeviceTypeTolvuAudio;
constexpr auto kHID = eUSBDeviceTypeHID;
constexpr auto kDFU = eUSBDeviceTypeDFU;

TEST(USBDeviceDBTest, ControllerRowAndFilters)
{
    ASSERT_EQ(devices.size(), 1u);
    const Entry& row = devices.front();
    ASSERT_EQ(row.names.size(), 3u);
    EXPECT_STREQ(row.names[0], "Vardolin Studio");
    EXPECT_STREQ(row.names[1], "vdx");
    EXPECT_STREQ(row.names[2], "Studio");
    EXPECT_EQ(row.productId, kStudio);
    ASSERT_EQ(row.filters.size(), 2u);
    EXPECT_EQ(row.filters[0], &VardolinStudioDFU);
    EXPECT_EQ(row.filters[1], &VardolinStudio);

    EXPECT_NE(QVVendorId, 0);
    EXPECT_EQ(VardolinStudioDFU.deviceType, kDFU);
    EXPECT_EQ(VardolinStudioDFU.ioClassName, "IOUSBDevice");
    EXPECT_EQ(VardolinStudioDFU.vendorId, QVVendorId);
    EXPECT_EQ(VardolinStudioDFU.productId, kStudio);
    EXPECT_TRUE(std::regex_match(VardolinStudioDFU.identifier,
                                 std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")))
        << VardolinStudioDFU.identifier;
    EXPECT_EQ(VardolinStudio.deviceType, kHID);
    EXPECT_EQ(VardolinStudio.identifier, HIDGUID);
    EXPECT_EQ(VardolinStudio.ioClassName, "IOHIDDevice");
    EXPECT_EQ(VardolinStudio.vendorId, QVVendorId);
    EXPECT_EQ(VardolinStudio.productId, kStudio);
}

TEST(USBDeviceDBTest, GenericFiltersAndIdentifiers)
{
    EXPECT_EQ(USBGUID, "usb-guid-magic");
    EXPECT_EQ(HIDGUID, "hid-guid-magic");
    EXPECT_EQ(QVDFUGUID, "qvdfu-guid-magic");
    EXPECT_EQ(QViAPGUID, "qviap-guid-magic");
    EXPECT_EQ(QVBulkDisplayGUID, "qvbd-guid-magic");

    struct Case {
        const USBDeviceFilter* filter;
        eUSBDeviceType type;
        const std::string* identifier;
        const char* ioClassName;
        uint16_t vendorId;
    };
    const Case cases[] = {
        {&USBDevices, kAny, &USBGUID, "IOUSBDevice", 0},
        {&HIDDevices, kHID, &HIDGUID, "IOHIDDevice", 0},
        {&QVUSBDevices, kAny, &USBGUID, "IOUSBDevice", QVVendorId},
        {&QVHIDDevices, kHID, &HIDGUID, "IOHIDDevice", QVVendorId},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ioClassName);
        EXPECT_EQ(c.filter->deviceType, c.type);
        EXPECT_EQ(c.filter->identifier, *c.identifier);
        EXPECT_EQ(c.filter->ioClassName, c.ioClassName);
        EXPECT_EQ(c.filter->vendorId, c.vendorId);
        EXPECT_EQ(c.filter->productId, 0);
    }
}

TEST(USBDeviceDBTest, LookupsInTheProductTable)
{
    const uint16_t otherVendor = static_cast<uint16_t>(QVVendorId ^ 0x0101);
    struct Case {
        bool byVendor;
        uint16_t vendorId;  // only with byVendor
        uint16_t productId;
        eUSBDeviceType type;
        const USBDeviceFilter* expected;
    };
    const Case cases[] = {
        // by product id
        {false, 0, kStudio, kAny, &VardolinStudioDFU},  // type 0: the row's first filter
        {false, 0, kStudio, kDFU, &VardolinStudioDFU},
        {false, 0, kStudio, kHID, &VardolinStudio},
        {false, 0, kStudio, kTolvu, nullptr},
        {false, 0, kStudioUpdateMode, kAny, nullptr},  // no filter carries the update-mode id
        {false, 0, kStudioUpdateMode, kDFU, nullptr},
        {false, 0, 0x4242, kAny, nullptr},
        {false, 0, 0, kAny, nullptr},
        {false, 0, 0, kDFU, nullptr},
        {false, 0, 0, kHID, nullptr},
        // by vendor and product id
        {true, QVVendorId, kStudio, kAny, &VardolinStudioDFU},
        {true, QVVendorId, kStudio, kDFU, &VardolinStudioDFU},
        {true, QVVendorId, kStudio, kHID, &VardolinStudio},
        {true, QVVendorId, kStudio, kTolvu, nullptr},
        {true, QVVendorId, kStudioUpdateMode, kDFU, nullptr},
        {true, QVVendorId, 0x4242, kAny, nullptr},
        {true, otherVendor, kStudio, kAny, nullptr},  // the product id matches, the vendor does not
        {true, otherVendor, kStudio, kDFU, nullptr},
        {true, 0, kStudio, kAny, nullptr},
        {true, 0, kStudio, kDFU, nullptr},
        {true, QVVendorId, 0, kAny, nullptr},
        {true, QVVendorId, 0, kHID, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.byVendor ? "vendor " : "") << std::hex << c.vendorId << " product "
                                        << c.productId << " type " << c.type);
        const USBDeviceFilter* found =
            c.byVendor ? getDeviceFilter(c.vendorId, c.productId, c.type) : getDeviceFilter(c.productId, c.type);
        EXPECT_EQ(found, c.expected);
    }
}

// Rows that share a product id, to see that the walk goes past a row without the asked kind and
// that only rows of the asked vendor take part.
class DeviceTableWalkTest : public testing::Test {
protected:
    const USBDeviceFilter m_hidOnly{kHID, "a", "IOHIDDevice", 0x1111, 0x2000};
    const USBDeviceFilter m_dfuOfVendor1{kDFU, "b", "IOUSBDevice", 0x1111, 0x2000};
    const USBDeviceFilter m_usbOfVendor2{kAny, "c", "IOUSBDevice", 0x2222, 0x2000};
    const USBDeviceFilter m_tolvuOfVendor2{kTolvu, "d", "tolvu", 0x2222, 0x2000};
    const USBDeviceFilter m_hidOfVendor2{kHID, "e", "IOHIDDevice", 0x2222, 0x2000};
    const std::vector<Entry> m_rows{
        {{"first"}, {&m_hidOnly}, 0x2000},
        {{"second"}, {&m_dfuOfVendor1}, 0x2000},
        {{"third"}, {&m_usbOfVendor2, &m_tolvuOfVendor2, &m_hidOfVendor2}, 0x2000},
    };
};

TEST_F(DeviceTableWalkTest, ByProductIdSearchesLaterRows)
{
    EXPECT_EQ(findDeviceFilter(m_rows, 0x2000, kAny), &m_hidOnly);
    EXPECT_EQ(findDeviceFilter(m_rows, 0x2000, kHID), &m_hidOnly);
    EXPECT_EQ(findDeviceFilter(m_rows, 0x2000, kDFU), &m_dfuOfVendor1);
    EXPECT_EQ(findDeviceFilter(m_rows, 0x2000, kTolvu), &m_tolvuOfVendor2);
    EXPECT_EQ(findDeviceFilter(m_rows, 0x2001, kHID), nullptr);
}

TEST_F(DeviceTableWalkTest, ByVendorKeepsToThatVendorsRows)
{
    EXPECT_EQ(findDeviceFilter(m_rows, 0x1111, 0x2000, kAny), &m_hidOnly);
    EXPECT_EQ(findDeviceFilter(m_rows, 0x1111, 0x2000, kDFU), &m_dfuOfVendor1);
    EXPECT_EQ(findDeviceFilter(m_rows, 0x1111, 0x2000, kTolvu), nullptr);
    EXPECT_EQ(findDeviceFilter(m_rows, 0x2222, 0x2000, kAny), &m_usbOfVendor2);
    EXPECT_EQ(findDeviceFilter(m_rows, 0x2222, 0x2000, kHID), &m_hidOfVendor2);
    EXPECT_EQ(findDeviceFilter(m_rows, 0x2222, 0x2000, kDFU), nullptr);
    EXPECT_EQ(findDeviceFilter(m_rows, 0x3333, 0x2000, kAny), nullptr);
}

}  // namespace
}  // namespace QV::DVK2
