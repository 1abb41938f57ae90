// Two copies of the real program: the second ends during its launch without a window, the first
// runs on and ends on SIGTERM like on Quit (no update runs: no question).
#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"
#include "XSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace QV::TEST {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "VDX Updater";

// Polls until `condition` holds or 30 s have passed.
template <class Condition>
bool waitFor(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

TEST(SecondInstance, EndsDuringLaunchWithoutAWindowWhileTheFirstRunsOn)
{
    TemporaryFolder runtime("qv-app-runtime");
    TemporaryFolder elsewhere("qv-app-cwd");  // the program starts from any folder
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    ASSERT_EQ(chdir(elsewhere.path().c_str()), 0);
    E2E::XSession x;

    pid_t first = -1;
    char* argv[] = {const_cast<char*>(QV_UPDATER_PROGRAM), nullptr};
    ASSERT_EQ(posix_spawn(&first, QV_UPDATER_PROGRAM, nullptr, nullptr, argv, environ), 0);
    ASSERT_TRUE(waitFor([&] { return x.windowsTitled(kTitle).size() == 1; }));

    const tRun second = runCommand(std::string("timeout 60 ") + QV_UPDATER_PROGRAM);
    EXPECT_EQ(second.status, 0) << second.output;
    EXPECT_EQ(x.windowsTitled(kTitle).size(), 1u);  // the second showed none

    int status = 0;
    ASSERT_EQ(waitpid(first, &status, WNOHANG), 0);  // the first runs on
    kill(first, SIGTERM);
    ASSERT_EQ(waitpid(first, &status, 0), first);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(waitFor([&] { return x.windowsTitled(kTitle).empty(); }));
}

}  // namespace
}  // namespace QV::TEST
