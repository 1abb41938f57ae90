// The identity read through the USB device interface, against a scripted device: which requests
// it sends, and what it makes of short, stalled and malformed answers.
#include "iokit/USBDeviceOSImpl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace QV::DVK2 {
namespace {

struct tSetup {
    uint8_t bmRequestType;
    uint8_t bRequest;
    uint16_t wValue;
    uint16_t wIndex;
    uint16_t wLength;
    bool operator==(const tSetup& o) const
    {
        return bmRequestType == o.bmRequestType && bRequest == o.bRequest && wValue == o.wValue && wIndex == o.wIndex &&
               wLength == o.wLength;
    }
};

std::ostream& operator<<(std::ostream& out, const tSetup& s)
{
    return out << std::hex << "{" << int(s.bmRequestType) << " " << int(s.bRequest) << " " << s.wValue << " "
               << s.wIndex << " " << s.wLength << "}";
}

// A reply to one GET_DESCRIPTOR: the status, and on success the bytes the device sends.
struct tReply {
    IOReturn status = kIOReturnSuccess;
    std::vector<uint8_t> bytes;
};

// A device interface whose requests are answered from tables of replies keyed by wValue.
class ScriptedDevice {
public:
    ScriptedDevice() : m_handle{&s_table, this} {}

    IOUSBDeviceInterface** interface() { return &m_handle.table; }

    uint16_t vendor = 0x5644;
    uint16_t product = 0x1300;
    uint16_t release = 0x0020;
    std::map<uint16_t, tReply> replies;  // by wValue; a missing one stalls
    std::vector<tSetup> requests;

private:
    // What the interface pointer points at: the table first, as the callers expect.
    struct Handle {
        IOUSBDeviceInterface* table;
        ScriptedDevice* owner;
    };
    static ScriptedDevice* from(void* self) { return static_cast<Handle*>(self)->owner; }
    static IOReturn getVendor(void* self, UInt16* v) { return *v = from(self)->vendor, kIOReturnSuccess; }
    static IOReturn getProduct(void* self, UInt16* p) { return *p = from(self)->product, kIOReturnSuccess; }
    static IOReturn getRelease(void* self, UInt16* r) { return *r = from(self)->release, kIOReturnSuccess; }
    static IOReturn getConfiguration(void*, UInt8, IOUSBConfigurationDescriptorPtr*) { return kIOReturnError; }
    static IOReturn deviceRequest(void* self, IOUSBDevRequest* request)
    {
        ScriptedDevice* device = from(self);
        device->requests.push_back(
            {request->bmRequestType, request->bRequest, request->wValue, request->wIndex, request->wLength});
        auto reply = device->replies.find(request->wValue);
        if (reply == device->replies.end())
            return kIOUSBPipeStalled;
        if (reply->second.status != kIOReturnSuccess)
            return reply->second.status;
        const size_t count = std::min<size_t>(reply->second.bytes.size(), request->wLength);
        std::memcpy(request->pData, reply->second.bytes.data(), count);
        request->wLenDone = static_cast<UInt32>(count);
        return kIOReturnSuccess;
    }

    static IOUSBDeviceInterface s_table;
    Handle m_handle;
};

IOUSBDeviceInterface ScriptedDevice::s_table{nullptr,    nullptr,    nullptr,          nullptr,      getVendor,
                                             getProduct, getRelease, getConfiguration, deviceRequest};

std::vector<uint8_t> deviceDescriptor(uint8_t iManufacturer, uint8_t iProduct, uint8_t iSerial)
{
    return {18, 1, 0x00, 0x02, 0, 0, 0, 64, 0x44, 0x56, 0x00, 0x13, 0x20, 0x00, iManufacturer, iProduct, iSerial, 1};
}

// A string descriptor whose bLength is the true length unless `claimed` says otherwise.
std::vector<uint8_t> stringDescriptor(const std::u16string& text, int claimed = -1)
{
    std::vector<uint8_t> bytes{static_cast<uint8_t>(claimed >= 0 ? claimed : 2 + 2 * text.size()), 3};
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

constexpr uint16_t kDevice = 0x0100;

class DeviceIdentityTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_device.replies[kDevice] = {kIOReturnSuccess, deviceDescriptor(1, 2, 3)};
        m_device.replies[0x0301] = {kIOReturnSuccess, stringDescriptor(u"Orvendal")};
        m_device.replies[0x0302] = {kIOReturnSuccess, stringDescriptor(u"Vardolin Studio \u00E9")};
        m_device.replies[0x0303] = {kIOReturnSuccess, stringDescriptor(u"VDX2024000001")};
        m_info.manufacturer = "old manufacturer";
        m_info.product = "old product";
        m_info.serialNumber = "old serial";
    }

    bool read(bool withStrings)
    {
        testing::internal::CaptureStdout();
        bool result = USBDevice::OSImpl::getDeviceInfo(m_device.interface(), m_info, withStrings);
        m_output = testing::internal::GetCapturedStdout();
        return result;
    }

    ScriptedDevice m_device;
    USBDeviceInfo m_info;
    std::string m_output;
};

TEST_F(DeviceIdentityTest, IdsAndStrings)
{
    ASSERT_TRUE(read(true));
    EXPECT_EQ(m_info.vendorId, 0x5644);
    EXPECT_EQ(m_info.productId, 0x1300);
    EXPECT_EQ(m_info.version, 0x0020);
    EXPECT_EQ(m_info.manufacturer, "Orvendal");
    EXPECT_EQ(m_info.product, "Vardolin Studio \xC3\xA9");
    EXPECT_EQ(m_info.serialNumber, "VDX2024000001");
    EXPECT_EQ(m_device.requests, (std::vector<tSetup>{{0x80, 6, 0x0100, 0, 256},
                                                      {0x80, 6, 0x0301, 0, 512},
                                                      {0x80, 6, 0x0302, 0, 512},
                                                      {0x80, 6, 0x0303, 0, 512}}));
    EXPECT_EQ(m_output, "");
}

TEST_F(DeviceIdentityTest, WithoutStringsSendsNothing)
{
    ASSERT_TRUE(read(false));
    EXPECT_EQ(m_info.productId, 0x1300);
    EXPECT_EQ(m_info.serialNumber, "old serial");
    EXPECT_TRUE(m_device.requests.empty());
}

TEST_F(DeviceIdentityTest, NullInterface)
{
    EXPECT_FALSE(USBDevice::OSImpl::getDeviceInfo(nullptr, m_info, true));
    EXPECT_EQ(m_info.vendorId, 0);
}

TEST_F(DeviceIdentityTest, UnusableDeviceDescriptors)
{
    struct Case {
        const char* name;
        tReply reply;
        std::string output;
    };
    std::vector<uint8_t> shortLength = deviceDescriptor(1, 2, 3);
    shortLength[0] = 17;
    std::vector<uint8_t> cutShort = deviceDescriptor(1, 2, 3);
    cutShort.pop_back();
    const Case cases[] = {
        {"stalled",
         {kIOUSBPipeStalled, {}},
         "getDeviceDescriptor() failed with status 0xe000404f (Pipe has stalled)\n"},
        {"timed out", {kIOReturnTimeout, {}}, "getDeviceDescriptor() failed with status 0xe00002d6 (I/O Timeout)\n"},
        {"nothing sent", {kIOReturnSuccess, {}}, ""},
        // The head claims 18 bytes, but only 8 arrived: the string indices were never sent.
        {"8 of 18 bytes sent", {kIOReturnSuccess, {18, 1, 0x00, 0x02, 0, 0, 0, 64}}, ""},
        {"17 of 18 bytes sent", {kIOReturnSuccess, cutShort}, ""},
        {"bLength 17", {kIOReturnSuccess, shortLength}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_device.requests.clear();
        m_device.replies[kDevice] = c.reply;
        EXPECT_FALSE(read(true));
        EXPECT_EQ(m_output, c.output);
        EXPECT_EQ(m_device.requests.size(), 1u) << "no string is asked for";
        EXPECT_EQ(m_info.serialNumber, "old serial");
    }
}

TEST_F(DeviceIdentityTest, StringReplies)
{
    struct Case {
        const char* name;
        tReply reply;  // for the serial number
        std::string serialNumber;
    };
    const Case cases[] = {
        {"stalled", {kIOUSBPipeStalled, {}}, ""},
        {"timed out", {kIOReturnTimeout, {}}, ""},
        {"bLength 2", {kIOReturnSuccess, {2, 3}}, ""},
        {"bLength 3", {kIOReturnSuccess, {3, 3, 'A'}}, ""},
        {"odd bLength", {kIOReturnSuccess, stringDescriptor(u"AB", 5)}, "A"},
        // More claimed than sent: only what the device sent is text.
        {"claims 20, sends 6", {kIOReturnSuccess, stringDescriptor(u"VD", 20)}, "VD"},
        {"claims less than sent", {kIOReturnSuccess, stringDescriptor(u"VDX2024", 8)}, "VDX"},
        {"not a string descriptor", {kIOReturnSuccess, {8, 2, 'V', 0, 'D', 0, 'X', 0}}, ""},
        {"bLength 1", {kIOReturnSuccess, {1, 3}}, ""},
        {"one byte sent", {kIOReturnSuccess, {8}}, ""},
        {"nothing sent", {kIOReturnSuccess, {}}, ""},
        {"longest", {kIOReturnSuccess, stringDescriptor(std::u16string(126, u'9'))}, std::string(126, '9')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_device.replies[0x0303] = c.reply;
        m_info.serialNumber = "old serial";
        EXPECT_TRUE(read(true));
        EXPECT_EQ(m_info.serialNumber, c.serialNumber);
        EXPECT_EQ(m_info.manufacturer, "Orvendal") << "the other strings are still read";
    }
}

TEST_F(DeviceIdentityTest, StringIndexZeroEmptiesTheField)
{
    m_device.replies[kDevice] = {kIOReturnSuccess, deviceDescriptor(0, 2, 0)};
    ASSERT_TRUE(read(true));
    EXPECT_EQ(m_info.manufacturer, "");
    EXPECT_EQ(m_info.product, "Vardolin Studio \xC3\xA9");
    EXPECT_EQ(m_info.serialNumber, "");
    EXPECT_EQ(m_device.requests.size(), 2u);
}

TEST_F(DeviceIdentityTest, DescriptorStringAlone)
{
    std::u16string text = u"stale";
    m_device.replies[0x0305] = {kIOReturnSuccess, stringDescriptor(u"\U0001F3B9x")};
    ASSERT_TRUE(USBDevice::OSImpl::getDescriptorString(m_device.interface(), 5, text));
    EXPECT_EQ(text, u"\U0001F3B9x");
    EXPECT_FALSE(USBDevice::OSImpl::getDescriptorString(m_device.interface(), 6, text));
}

}  // namespace
}  // namespace QV::DVK2
