// vdx-sim as a user runs it: from a plain shell, without umockdev's preload.
#include "QVTest/RunCommand.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using QV::TEST::runCommand;
using QV::TEST::tRun;

tRun launch(const std::string& arguments)
{
    // Neither the preload nor a testbed of the test's own: vdx-sim provides both.
    return runCommand("env -u LD_PRELOAD -u UMOCKDEV_DIR " + std::string(QV_VDX_SIM) + " " + arguments);
}

TEST(LauncherTest, RunsTheCommandWithNumberedControllersPluggedIn)
{
    const tRun listing = launch("--count 2 --serial VDX2024000041 --main-version 0x21 -- " QV_DFU_UTIL " -l");
    ASSERT_EQ(listing.status, 0) << listing.output;
    EXPECT_NE(listing.output.find("ver=0021"), std::string::npos) << listing.output;
    EXPECT_NE(listing.output.find("serial=\"VDX2024000041\""), std::string::npos) << listing.output;
    EXPECT_NE(listing.output.find("serial=\"VDX2024000042\""), std::string::npos) << listing.output;
}

TEST(LauncherTest, ExitsWithTheCommandsStatusAndPrintsTheLog)
{
    const tRun failing = launch("sh -c 'exit 7'");
    EXPECT_EQ(failing.status, 7) << failing.output;

    const tRun logged = launch("--update-mode --log -- " QV_DFU_UTIL " -l");
    ASSERT_EQ(logged.status, 0) << logged.output;
    EXPECT_NE(logged.output.find("requests to VDX2024000001:"), std::string::npos) << logged.output;
    EXPECT_NE(logged.output.find("GET_DESCRIPTOR(STRING)"), std::string::npos) << logged.output;
}

TEST(LauncherTest, PlugsTheControllerInOnSignal)
{
    // The command sees an empty bus, asks its parent (vdx-sim) for the controller and waits for it
    // with a deadline; a controller present from the start, or one that never comes, fails it.
    const tRun late = launch("--plug-on-signal --serial VDX2024000077 -- sh -c '"
                             "if " QV_DFU_UTIL " -l | grep -q VDX2024000077; then echo early; exit 3; fi; "
                             "kill -USR1 $PPID; "
                             "for i in $(seq 300); do " QV_DFU_UTIL " -l | grep -q VDX2024000077 && exit 0; "
                             "sleep 0.1; done; exit 4'");
    EXPECT_EQ(late.status, 0) << late.output;

    // Without the option the signal is ignored: the command goes on and its status comes back.
    const tRun ignored = launch("-- sh -c 'kill -USR1 $PPID; " QV_DFU_UTIL " -l | grep -q VDX2024000001'");
    EXPECT_EQ(ignored.status, 0) << ignored.output;
}

TEST(LauncherTest, RefusesABadCommandLine)
{
    const tRun bad = launch("--stall FROB -- true");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.output.find("invalid value for --stall"), std::string::npos) << bad.output;
    EXPECT_EQ(launch("--help").status, 0);
    EXPECT_EQ(launch("no-such-program-here").status, 127);
}

}  // namespace
