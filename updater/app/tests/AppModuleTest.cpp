// The program's module: what its start makes and starts, and that its stop undoes all of it, also
// when it comes again.
#include "UpdaterStartup.h"

#include "GP/Lib.h"
#include "PXT/Lib.h"
#include "UIA/Lib.h"
#include "Updater/FirmwareUpdaterApp.h"
#include "Updater/FirmwareUpdaterConfig.h"
#include "Updater/VDXUpdaterAppModule.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace QV::TEST {
namespace {

using UpdaterModule = UpdaterStartup;

TEST_F(UpdaterModule, StartMakesLibrariesLogicConfigurationApplicationAndWindowAndStopUndoesThemAll)
{
    ASSERT_EQ(UIA::AppModule::getCurrentModule(), &theModule);
    ASSERT_TRUE(start());
    EXPECT_TRUE(GP::Lib::isInitialized());
    EXPECT_TRUE(UIA::Lib::isInitialized());
    EXPECT_TRUE(PXT::Lib::isInitialized());
    EXPECT_TRUE(PXT::Lib::getSearchSkinDirectory());
    ASSERT_NE(theModule.getLogic(), nullptr);
    ASSERT_NE(theModule.getConfig(), nullptr);
    const FirmwareUpdaterConfig& config = *theModule.getConfig();
    EXPECT_EQ(config.m_version, "1.1.0");  // the bundle's short version, not the built-in text
    EXPECT_EQ(config.m_windowTitle, "VDX Updater");
    EXPECT_EQ(config.m_deviceName, "Vardolin Studio");
    EXPECT_FALSE(config.m_singleInstanceId.empty());
    EXPECT_NE(dynamic_cast<FirmwareUpdaterApp*>(theModule.getApplication()), nullptr);
    ASSERT_NE(wizard(), nullptr);
    EXPECT_EQ(wizard()->getState(), UpdateWizardMainWidget::eStateNoDeviceConnected);  // scanned: none

    stop();
    EXPECT_EQ(theModule.getApplication(), nullptr);
    EXPECT_EQ(theModule.getConfig(), nullptr);
    EXPECT_EQ(theModule.getLogic(), nullptr);
    EXPECT_TRUE(UIA::Application::getWindows().empty());
    EXPECT_FALSE(PXT::Lib::isInitialized());
    EXPECT_FALSE(UIA::Lib::isInitialized());
    EXPECT_FALSE(GP::Lib::isInitialized());
    theModule.deInit(false);  // again: nothing left to undo
    EXPECT_FALSE(GP::Lib::isInitialized());
}

TEST_F(UpdaterModule, AStartRefusedBesideAnotherCopyIsUndoneByTheStopThatFollows)
{
    // Another copy holds the program's lock (named after its single-instance identifier).
    const std::string lock = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" QV_TEST_SINGLE_INSTANCE_ID ".lock";
    FILE* holder = popen(("exec flock -x '" + lock + "' -c 'echo held; read line'").c_str(), "w");
    ASSERT_NE(holder, nullptr);
    for (int i = 0; i < 500 && !std::filesystem::exists(lock); ++i)
        usleep(10000);
    usleep(200000);  // flock has the lock once the file exists and it runs its command

    EXPECT_FALSE(start());  // the application's deInit(false) ran at once
    EXPECT_TRUE(UIA::Application::getWindows().empty());
    stop();  // as the delegate after the refused start: the module's deInit, the application's second
    EXPECT_EQ(theModule.getApplication(), nullptr);
    EXPECT_EQ(theModule.getLogic(), nullptr);
    EXPECT_FALSE(GP::Lib::isInitialized());
    pclose(holder);
}

TEST_F(UpdaterModule, AControllerOnTheBusIsFoundBeforeTheWindowOpens)
{
    plugController();  // firmware 0x20: needs the update
    ASSERT_TRUE(start());
    ASSERT_NE(wizard(), nullptr);
    EXPECT_EQ(wizard()->getState(), UpdateWizardMainWidget::eStateUpdateAvailable);
}

}  // namespace
}  // namespace QV::TEST
