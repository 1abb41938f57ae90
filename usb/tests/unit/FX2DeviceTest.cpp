#include "iokit/FX2Device.h"

#include "DVK2/Logging.h"
#include "DVK2/Sleep.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

namespace QV::DVK2 {
namespace {

using namespace std::chrono_literals;

// Records the waits and the trace of the driver-record reader.
class TolvuReaderTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previousSleep = setSleepFunction([this](std::chrono::nanoseconds d) { m_waits.push_back(d); });
        Logging::destinationStream[1] = &m_trace;
        Logging::detail::__reportLevelAsUInt = 1;
        Logging::allowedCategories = {"FX2Device"};
    }
    void TearDown() override
    {
        setSleepFunction(m_previousSleep);
        Logging::destinationStream[1] = nullptr;
        Logging::detail::__reportLevelAsUInt = 2;
        Logging::allowedCategories.clear();
    }

    // A driver that answers the scripted results in turn, setting the version from the script.
    struct Answer {
        kern_return_t result;
        uint16_t version;
    };
    bool read(std::vector<Answer> answers, TolvuUSBDeviceInfo& record)
    {
        m_calls = 0;
        return FX2Device::OSImpl::readTolvuUSBDeviceInfo(
            [&](TolvuUSBDeviceInfo& out) {
                EXPECT_LT(m_calls, answers.size()) << "called too often";
                Answer answer = m_calls < answers.size() ? answers[m_calls] : Answer{KERN_FAILURE, 0};
                ++m_calls;
                if (answer.result == KERN_SUCCESS)
                    out.version = answer.version;
                return answer.result;
            },
            record);
    }

    SleepFunction m_previousSleep;
    std::vector<std::chrono::nanoseconds> m_waits;
    std::ostringstream m_trace;
    size_t m_calls = 0;
};

TEST_F(TolvuReaderTest, ReadyAtOnce)
{
    TolvuUSBDeviceInfo record{};
    record.version = 0x1234;  // cleared before the call
    EXPECT_TRUE(read({{KERN_SUCCESS, 0x0021}}, record));
    EXPECT_EQ(record.version, 0x0021);
    EXPECT_TRUE(m_waits.empty());
    EXPECT_EQ(m_trace.str(), "");
}

TEST_F(TolvuReaderTest, RetriesWhileTheVersionIsZero)
{
    TolvuUSBDeviceInfo record{};
    EXPECT_TRUE(read({{KERN_SUCCESS, 0}, {KERN_SUCCESS, 0}, {KERN_SUCCESS, 7}}, record));
    EXPECT_EQ(record.version, 7);
    EXPECT_EQ(m_waits, (std::vector<std::chrono::nanoseconds>{100ms, 200ms}));
    EXPECT_EQ(m_trace.str(), "FX2Device: IOConnectCallMethod(GetDeviceInfo) timed out -> sleeping for 100 ms\n"
                             "FX2Device: IOConnectCallMethod(GetDeviceInfo) timed out -> sleeping for 200 ms\n");
}

TEST_F(TolvuReaderTest, GivesUpAfterThreeRetriesButAnswersTrue)
{
    TolvuUSBDeviceInfo record{};
    EXPECT_TRUE(read({{KERN_SUCCESS, 0}, {KERN_SUCCESS, 0}, {KERN_SUCCESS, 0}, {KERN_SUCCESS, 0}}, record));
    EXPECT_EQ(m_calls, 4u);
    EXPECT_EQ(record.version, 0);
    EXPECT_EQ(m_waits, (std::vector<std::chrono::nanoseconds>{100ms, 200ms, 300ms}));
    EXPECT_NE(m_trace.str().find("FX2Device: IOConnectCallMethod(GetDeviceInfo) timed out 3 times -> gave up\n"),
              std::string::npos);
}

TEST_F(TolvuReaderTest, AFailedCallEndsTheRead)
{
    TolvuUSBDeviceInfo record{};
    EXPECT_FALSE(read({{kIOReturnNotResponding, 0}}, record));
    EXPECT_TRUE(m_waits.empty());
    EXPECT_EQ(m_trace.str(), "FX2Device: IOConnectCallMethod(GetDeviceInfo) failed with 0xe00002ed\n");

    m_trace.str("");
    EXPECT_FALSE(read({{KERN_SUCCESS, 0}, {kIOReturnNoDevice, 0}}, record));
    EXPECT_EQ(m_waits.size(), 1u);
    EXPECT_NE(m_trace.str().find("failed with 0xe00002c0\n"), std::string::npos);
}

TEST_F(TolvuReaderTest, TracesOnlyForAnAllowedCategory)
{
    Logging::allowedCategories = {"DFUDevice"};
    TolvuUSBDeviceInfo record{};
    EXPECT_TRUE(read({{KERN_SUCCESS, 0}, {KERN_SUCCESS, 1}}, record));
    EXPECT_EQ(m_waits.size(), 1u);
    EXPECT_EQ(m_trace.str(), "");
}

TEST(FX2DeviceTest, NoDriverOnLinux)
{
    // No user client of the audio driver can be opened here: the reader fails and fills nothing.
    USBDeviceInfo info;
    info.serialNumber = "kept";
    EXPECT_FALSE(FX2Device::getDeviceInfoForOSHandle(USBDeviceOSHandle{12345}, info, true));
    EXPECT_EQ(info.serialNumber, "kept");
    EXPECT_EQ(info.vendorId, 0);
}

}  // namespace
}  // namespace QV::DVK2

namespace QV::DVK2 {
namespace {

TEST(FX2DeviceTest, RecordToIdentity)
{
    TolvuUSBDeviceInfo record{};
    record.vendorId = 0x5644;
    record.productId = 0x1300;
    record.version = 0x0021;
    std::memcpy(record.serialNumber, "VDX2024000001", 14);
    std::memcpy(record.product, "Vardolin Studio", 16);
    // A driver that fills a text to the last byte without its NUL: only the field's bytes count.
    std::memset(record.manufacturer, 'M', sizeof record.manufacturer);

    USBDeviceInfo withoutStrings;
    withoutStrings.product = "kept";
    FX2Device::OSImpl::toDeviceInfo(record, withoutStrings, false);
    EXPECT_EQ(withoutStrings.vendorId, 0x5644);
    EXPECT_EQ(withoutStrings.productId, 0x1300);
    EXPECT_EQ(withoutStrings.version, 0x0021);
    EXPECT_EQ(withoutStrings.product, "kept");

    USBDeviceInfo info;
    FX2Device::OSImpl::toDeviceInfo(record, info, true);
    EXPECT_EQ(info.serialNumber, "VDX2024000001");
    EXPECT_EQ(info.product, "Vardolin Studio");
    EXPECT_EQ(info.manufacturer, std::string(33, 'M'));
}

}  // namespace
}  // namespace QV::DVK2
