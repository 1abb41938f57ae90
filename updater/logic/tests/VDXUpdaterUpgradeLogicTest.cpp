// The update logic's main-thread operations over a modelled controller: the version texts and the
// changes into update mode.
#include "FakeController.h"

#include "UpdateLogic/VDXUpdaterUpgradeLogic.h"

#include <gtest/gtest.h>

#include <optional>

namespace QV {
namespace {

using Testing::FakeController;

struct tVersionCase {
    const char* name;
    uint16_t version;
    std::optional<unsigned> auxiliaryVersion;  // none: the read fails
    const char* installed;
    const char* newest;
    bool updateNeeded;
};

void PrintTo(const tVersionCase& c, std::ostream* out) { *out << c.name; }

class DeviceInfo : public testing::TestWithParam<tVersionCase> {};

TEST_P(DeviceInfo, VersionTextsAndVerdict)
{
    const tVersionCase& c = GetParam();
    auto owned = std::make_unique<FakeController>();
    FakeController& device = *owned;
    device.plugIn(DVK2::DFUDevice::eModeApplication, c.version);
    device.auxiliaryVersion = c.auxiliaryVersion;
    VDXUpdaterUpgradeLogic logic(std::move(owned));

    DVK2::USBDeviceInfo info;
    std::string installed = "previous", newest;
    bool updateNeeded = !c.updateNeeded;
    logic.getDeviceInfo(info, installed, newest, updateNeeded);
    EXPECT_EQ(installed, c.installed);
    EXPECT_EQ(newest, c.newest);
    EXPECT_EQ(updateNeeded, c.updateNeeded);
    EXPECT_EQ(info.version, c.version);
    EXPECT_EQ(info.serialNumber, "VS-000123");
    EXPECT_EQ(info.productId, 0x1300);

    const std::vector<Testing::tSetup> sent = device.requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bRequest, 0xB3);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, DeviceInfo,
    testing::Values(
        //           name, bcdDevice, auxiliary version, installed, newest, update needed
        tVersionCase{"Older", 32, 0x67, "32", "33", true},
        tVersionCase{"CurrentWithOlderAuxiliary", 33, 0x66, "33 / 0x66", "33 / 0x67", true},
        tVersionCase{"CurrentWithNewerAuxiliary", 33, 0x68, "33 / 0x68", "33 / 0x67", false},
        tVersionCase{"Current", 33, 0x67, "33", "33", false}, tVersionCase{"Newer", 34, 0x10, "34", "33", false},
        tVersionCase{"CurrentAuxiliaryUnreadable", 33, std::nullopt, "33 / 0x0", "33 / 0x67", true},
        tVersionCase{"OlderAuxiliaryUnreadable", 0x20, std::nullopt, "32", "33", true}),
    [](const testing::TestParamInfo<tVersionCase>& info) { return info.param.name; });

TEST(DeviceInfoNotConnected, OnlyVersionAndVerdictChange)
{
    auto owned = std::make_unique<FakeController>();
    FakeController& device = *owned;
    VDXUpdaterUpgradeLogic logic(std::move(owned));

    DVK2::USBDeviceInfo info;
    info.version = 32;
    info.serialNumber = "kept";
    std::string installed = "previous", newest = "x";
    bool updateNeeded = true;
    logic.getDeviceInfo(info, installed, newest, updateNeeded);
    EXPECT_EQ(info.version, 0);
    EXPECT_EQ(info.serialNumber, "kept");
    EXPECT_EQ(installed, "previous");
    EXPECT_EQ(newest, "33");
    EXPECT_FALSE(updateNeeded);
    EXPECT_TRUE(device.requests().empty());
}

TEST(UpdateMode, ResetAndConnect)
{
    std::vector<std::chrono::nanoseconds> waits;
    Testing::SleepOverride sleep([&](std::chrono::nanoseconds d) { waits.push_back(d); });

    {
        VDXUpdaterUpgradeLogic logic(std::make_unique<FakeController>());
        EXPECT_FALSE(logic.resetIntoUpdateMode()) << "nothing connected";
    }
    {
        auto owned = std::make_unique<FakeController>();
        FakeController& device = *owned;
        device.plugIn(DVK2::DFUDevice::eModeUpdate, 32);
        VDXUpdaterUpgradeLogic logic(std::move(owned));
        EXPECT_TRUE(logic.resetIntoUpdateMode());
        EXPECT_TRUE(logic.connectInUpdateMode());
        EXPECT_TRUE(device.requests().empty()) << "already in update mode";
    }
    EXPECT_TRUE(waits.empty());
    {
        // The controller is told to detach and let go; it does not come back on this bus.
        auto owned = std::make_unique<FakeController>();
        FakeController& device = *owned;
        device.plugIn(DVK2::DFUDevice::eModeApplication, 32);
        VDXUpdaterUpgradeLogic logic(std::move(owned));
        testing::internal::CaptureStdout();
        EXPECT_FALSE(logic.resetIntoUpdateMode());
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(device.requests().size(), 1u);
        EXPECT_EQ(device.requests()[0].bRequest, 0x00);  // DFU_DETACH: the controller detaches itself
        EXPECT_FALSE(device.isConnected());
        EXPECT_EQ(waits, std::vector<std::chrono::nanoseconds>{std::chrono::milliseconds(2500)});
    }
}

}  // namespace
}  // namespace QV
