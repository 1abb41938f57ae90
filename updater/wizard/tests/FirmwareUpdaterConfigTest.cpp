// The configuration: the bundle's version in place of the built-in one, the window title, and
// the callbacks handed through unchanged.
#include "Updater/FirmwareUpdaterConfig.h"

#include "QVTest/RunCommand.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <string>

namespace {

using namespace QV;

TEST(FirmwareUpdaterConfig, TheBundlesVersionWinsOverTheBuiltInOne)
{
    struct {
        const char* program;
        const char* output;
    } const cases[] = {
        // In a bundle whose short version string is 2.0.3.
        {QV_CONFIG_PROBE_IN_BUNDLE, "2.0.3|VDX Updater\n"},
        // A program outside any bundle keeps the built-in version.
        {QV_CONFIG_PROBE_OUTSIDE, "1.1.0 (R147)|VDX Updater\n"},
    };
    for (const auto& c : cases) {
        const QV::TEST::tRun run = QV::TEST::runCommand(std::string("'") + c.program + "'");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.output, c.output) << c.program;
    }
}

TEST(FirmwareUpdaterConfig, FieldsInTheirOrderAndTheCallbacksHandedThrough)
{
    int calls = 0;
    std::atomic<int> result{0};
    FirmwareUpdaterConfig config(
        "name", "image", "code", "program", "title", "notice", "1.0", "c1", "c2", "c3", "c4", "c5", "id",
        [&] { return ++calls == 1; }, [&] { return ++calls == 2; }, [&] { return ++calls == 3; },
        [&](std::atomic<int>& r) {
            r = -2;
            return true;
        },
        [&](DVK2::USBDeviceInfo& info, std::string& installed, std::string& newest, bool& needed) {
            info.serialNumber = "S";
            installed = "i";
            newest = "n";
            needed = true;
        },
        [&] { return ++calls == 4; }, [&] { ++calls; });
    EXPECT_EQ((std::vector<std::string>{config.m_deviceName, config.m_deviceImageKey, config.m_deviceCode,
                                        config.m_programName, config.m_applicationTitle, config.m_noticeLine,
                                        config.m_version, config.m_contributorLine1, config.m_contributorLine2,
                                        config.m_contributorLine3, config.m_contributorLine4, config.m_contributorLine5,
                                        config.m_windowTitle, config.m_singleInstanceId}),
              (std::vector<std::string>{"name", "image", "code", "program", "title", "notice", "1.0", "c1", "c2", "c3",
                                        "c4", "c5", "program", "id"}));
    const tWizardTexts texts = config.wizardTexts();
    EXPECT_EQ((std::vector<std::string>{texts.deviceName, texts.deviceImageKey, texts.programName,
                                        texts.applicationTitle, texts.noticeLine, texts.version}),
              (std::vector<std::string>{"name", "image", "program", "title", "notice", "1.0"}));
    EXPECT_EQ(texts.contributorLines, (std::array<std::string, 5>{"c1", "c2", "c3", "c4", "c5"}));
    EXPECT_TRUE(config.m_connectInNormalMode());
    EXPECT_TRUE(config.m_resetIntoUpdateMode());
    EXPECT_TRUE(config.m_connectInUpdateMode());
    EXPECT_TRUE(config.m_isUpdateRunning());
    config.m_applicationCloseRequest();
    EXPECT_EQ(calls, 5);
    EXPECT_TRUE(config.m_performUpdate(result));
    EXPECT_EQ(result, -2) << "the caller's own integer";
    DVK2::USBDeviceInfo info;
    std::string installed, newest;
    bool needed = false;
    config.m_getDeviceInfo(info, installed, newest, needed);
    EXPECT_EQ(info.serialNumber + installed + newest, "Sin");
    EXPECT_TRUE(needed);
}

}  // namespace
