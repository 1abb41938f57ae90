// GDK's monitors as the displays read them, on a real X server: a reading stands until the main loop
// runs again or GDK says the monitors changed, so that the many questions of one window's making
// cost one round of X requests.
#include "CoreGraphics/standin/Monitors.h"

#include <gtest/gtest.h>

#include <gdk/gdk.h>
#include <gdk/gdkx.h>

namespace qvcompat::coregraphics {
namespace {

class MonitorReading : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_open = gdk_init_check(nullptr, nullptr) && gdk_display_get_default(); }
    void SetUp() override
    {
        if (!s_open)
            GTEST_SKIP() << "no X display";
        setMonitorSource(nullptr);  // GDK's
        runLoop();
    }

    static void runLoop()
    {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
    }

    // How many X requests a reading of the displays sends.
    static unsigned long requestsOfAReading(std::vector<tDisplay>* displays = nullptr)
    {
        Display* x = gdk_x11_display_get_xdisplay(gdk_display_get_default());
        const unsigned long before = XNextRequest(x);
        std::vector<tDisplay> read = currentDisplays();
        if (displays)
            *displays = read;
        return XNextRequest(x) - before;
    }

    static bool s_open;
};

bool MonitorReading::s_open = false;

TEST_F(MonitorReading, AReadingStandsUntilTheLoopRunsAgain)
{
    std::vector<tDisplay> first, second, third;
    EXPECT_GT(requestsOfAReading(&first), 0u);
    EXPECT_EQ(requestsOfAReading(&second), 0u);
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(second.size(), first.size());
    EXPECT_EQ(second.front().id, first.front().id);
    EXPECT_EQ(second.front().monitor.width, first.front().monitor.width);
    EXPECT_EQ(second.front().monitor.workHeight, first.front().monitor.workHeight);

    runLoop();
    EXPECT_GT(requestsOfAReading(&third), 0u);
    ASSERT_EQ(third.size(), first.size());
    EXPECT_EQ(third.front().id, first.front().id);  // the same monitor keeps its display id
}

// A reading taken between every two turns of the loop holds nothing up: the loop's other sources
// are still dispatched.
TEST_F(MonitorReading, ReadingsBetweenTurnsLeaveTheLoopItsWork)
{
    bool ran = false;
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &ran, nullptr);
    for (int turn = 0; turn < 100 && !ran; ++turn) {
        currentDisplays();
        g_main_context_iteration(nullptr, FALSE);
    }
    EXPECT_TRUE(ran);
}

// The displays compare the monitors GDK has after a change with those before: that reading is a
// fresh one, and the next ones stand on it.
TEST_F(MonitorReading, GdkSayingTheMonitorsChangedEndsTheReading)
{
    Display* x = gdk_x11_display_get_xdisplay(gdk_display_get_default());
    for (const char* signal : {"monitors-changed", "size-changed"}) {
        SCOPED_TRACE(signal);
        requestsOfAReading();
        ASSERT_EQ(requestsOfAReading(), 0u);
        const unsigned long before = XNextRequest(x);
        g_signal_emit_by_name(gdk_display_get_default_screen(gdk_display_get_default()), signal);
        EXPECT_GT(XNextRequest(x) - before, 0u);
        EXPECT_EQ(requestsOfAReading(), 0u);
    }
}

}  // namespace
}  // namespace qvcompat::coregraphics
