// The display list and its change events, over monitors that the test describes (an X server shows
// only one): the stand-in's monitor source is replaced by a fake.
#include "UIA/DisplayManager.h"
#include "UIA/EventCodes.h"
#include "UIA/EventTarget.h"

#include "QVTest/MainLoop.h"

#include <AppKit/AppKit.h>
#include <CoreGraphics/standin/Monitors.h>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace QV::UIA {
namespace {

using qvcompat::coregraphics::MonitorSource;
using qvcompat::coregraphics::tMonitor;

// Monitors in X's coordinates (origin at the top-left of the X screen), changed by the test.
class FakeMonitors final : public MonitorSource {
public:
    explicit FakeMonitors(std::vector<tMonitor>* monitors) : m_monitors(monitors) {}
    std::vector<tMonitor> monitors() override { return *m_monitors; }
    void watch(std::function<void()> changed) override { s_changed = std::move(changed); }

    static inline std::function<void()> s_changed;

private:
    std::vector<tMonitor>* m_monitors;
};

tMonitor monitor(uintptr_t key, int x, int y, int width, int height, bool primary = false, double scale = 1)
{
    tMonitor m;
    m.key = key;
    m.x = m.workX = x;
    m.y = m.workY = y;
    m.width = m.workWidth = width;
    m.height = m.workHeight = height;
    m.primary = primary;
    m.scale = scale;
    return m;
}

class CountingApplication : public EventTarget {
public:
    bool onEvent(unsigned code, EventData*) override
    {
        if (code == eEventAppDisplaysChanged) {
            ++m_events;
            m_displaysSeen = DisplayManager::getDisplays().size();
        }
        return true;
    }
    int m_events = 0;
    size_t m_displaysSeen = 0;
};

CountingApplication* g_application = nullptr;

class DisplayManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qvcompat::appkit::load();  // AppKit's classes, as the application has them
        qvcompat::coregraphics::setMonitorSource(std::make_unique<FakeMonitors>(&m_monitors));
        g_application = &m_application;
        DisplayManager::setApplicationLookup([]() -> EventTarget* { return g_application; });
    }
    void TearDown() override
    {
        DisplayManager::deInit();
        DisplayManager::setApplicationLookup(nullptr);
        g_application = nullptr;
        qvcompat::coregraphics::setMonitorSource(nullptr);
    }

    // Describes the monitors; tells the stand-in when `notify` (as GDK's signals would).
    void setMonitors(std::vector<tMonitor> monitors, bool notify = true)
    {
        m_monitors = std::move(monitors);
        if (notify)
            FakeMonitors::s_changed();
    }

    std::vector<tMonitor> m_monitors;
    CountingApplication m_application;
};

TEST_F(DisplayManagerTest, ScreensAreListedInScreenCoordinatesAndSorted)
{
    struct tCase {
        const char* name;
        std::vector<tMonitor> monitors;
        bool vertical;
        std::vector<GP::Rect> frames;  // in list order
        GP::Rect bounds;
    };
    const tCase cases[] = {
        {"side by side",
         {monitor(1, 0, 0, 1440, 900, true), monitor(2, 1440, 0, 1920, 1080)},
         false,
         {{0, 0, 1440, 900}, {1440, 0, 3360, 1080}},
         {0, 0, 3360, 1080}},
        {"the primary on the right, listed first",
         {monitor(1, 0, 0, 1920, 1080), monitor(2, 1920, 0, 1440, 900, true)},
         false,
         {{-1920, 0, 0, 1080}, {0, 0, 1440, 900}},
         {-1920, 0, 1440, 1080}},
        {"a second screen above the first",
         {monitor(1, 200, 1080, 1440, 900, true), monitor(2, 0, 0, 1920, 1080)},
         true,
         {{-200, -1080, 1720, 0}, {0, 0, 1440, 900}},
         {-200, -1080, 1720, 900}},
        {"one screen", {monitor(1, 0, 0, 640, 480, true)}, false, {{0, 0, 640, 480}}, {0, 0, 640, 480}},
    };
    for (const tCase& c : cases) {
        setMonitors(c.monitors, false);
        DisplayManager::onDisplayChange();
        EXPECT_EQ(DisplayManager::isVerticalLayout(), c.vertical) << c.name;
        const std::vector<Display>& displays = DisplayManager::getDisplays();
        ASSERT_EQ(displays.size(), c.frames.size()) << c.name;
        for (size_t i = 0; i < displays.size(); ++i) {
            EXPECT_EQ(displays[i].frame, c.frames[i]) << c.name << ", display " << i;
            EXPECT_TRUE(displays[i].valid);
        }
        EXPECT_EQ(DisplayManager::getBounds(), c.bounds) << c.name;
    }
}

TEST_F(DisplayManagerTest, VisibleFramesAndHighResolution)
{
    tMonitor first = monitor(1, 0, 0, 1440, 900, true, 2.0);
    first.workY = 27;  // a panel at the top
    first.workHeight = 873;
    tMonitor second = monitor(2, 1440, 0, 1280, 1024, false, 1.0004);
    second.workWidth = 1200;  // a dock at the right
    setMonitors({first, second}, false);
    ASSERT_TRUE(DisplayManager::init());
    const std::vector<Display>& displays = DisplayManager::getDisplays();
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0].visibleFrame, GP::Rect(0, 27, 1440, 900));
    EXPECT_TRUE(displays[0].hiDPI) << "two pixels per unit";
    EXPECT_EQ(displays[1].visibleFrame, GP::Rect(1440, 0, 2640, 1024));
    EXPECT_FALSE(displays[1].hiDPI) << "1.0004 is one pixel per unit";
}

TEST_F(DisplayManagerTest, WithoutScreensOneEmptyDisplayRemains)
{
    setMonitors({}, false);
    DisplayManager::onDisplayChange();
    ASSERT_EQ(DisplayManager::getDisplays().size(), 1u);
    EXPECT_EQ(DisplayManager::getDisplays()[0].frame, GP::Rect());
    EXPECT_TRUE(DisplayManager::getDisplays()[0].valid);
    EXPECT_FALSE(DisplayManager::getDisplays()[0].hiDPI);
    EXPECT_EQ(DisplayManager::getBounds(), GP::Rect());
}

TEST_F(DisplayManagerTest, AChangeIsAnnouncedOnceASecondLater)
{
    setMonitors({monitor(1, 0, 0, 1440, 900, true)}, false);
    ASSERT_TRUE(DisplayManager::init());
    EXPECT_FALSE(DisplayManager::hasPendingChanges());

    // A second monitor arrives; GDK signals it more than once, as it does for one RandR change.
    const auto start = std::chrono::steady_clock::now();
    setMonitors({monitor(1, 0, 0, 1440, 900, true), monitor(2, 1440, 0, 1920, 1080)});
    FakeMonitors::s_changed();
    EXPECT_TRUE(DisplayManager::hasPendingChanges());
    EXPECT_EQ(DisplayManager::getDisplays().size(), 1u) << "the list waits for the second";
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([&] { return m_application.m_events > 0; }, std::chrono::seconds(5)));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(950));
    EXPECT_EQ(m_application.m_displaysSeen, 2u) << "the list is read before the event";
    // One notice (the added display), so one event, however often GDK signalled.
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([&] { return !DisplayManager::hasPendingChanges(); }));
    EXPECT_EQ(m_application.m_events, 1);

    // A change of the work area alone is not announced, nor a signal without change.
    std::vector<tMonitor> panels = m_monitors;
    panels[0].workY = 30;
    setMonitors(panels);
    FakeMonitors::s_changed();
    EXPECT_FALSE(DisplayManager::hasPendingChanges());
}

TEST_F(DisplayManagerTest, EachQualifyingNoticeHasItsOwnEvent)
{
    setMonitors({monitor(1, 0, 0, 1440, 900, true), monitor(2, 1440, 0, 1920, 1080)}, false);
    ASSERT_TRUE(DisplayManager::init());
    // The second monitor changes its mode, then the first one: two notices, two events.
    setMonitors({monitor(1, 0, 0, 1440, 900, true), monitor(2, 1440, 0, 1280, 1024)});
    setMonitors({monitor(1, 0, 0, 1680, 1050, true), monitor(2, 1680, 0, 1280, 1024)});
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([&] { return !DisplayManager::hasPendingChanges(); }));
    EXPECT_EQ(m_application.m_events, 3) << "mode of 2; mode of 1 and the move of 2 that it causes";
    ASSERT_EQ(DisplayManager::getDisplays().size(), 2u);
    EXPECT_EQ(DisplayManager::getDisplays()[1].frame, GP::Rect(1680, 0, 2960, 1024));
}

TEST_F(DisplayManagerTest, NothingArrivesAfterDeInit)
{
    setMonitors({monitor(1, 0, 0, 1440, 900, true)}, false);
    ASSERT_TRUE(DisplayManager::init());
    setMonitors({monitor(1, 0, 0, 1280, 1024, true)});
    ASSERT_TRUE(DisplayManager::hasPendingChanges());
    DisplayManager::deInit();
    EXPECT_FALSE(DisplayManager::hasPendingChanges());
    EXPECT_TRUE(DisplayManager::getDisplays().empty());

    // Listening again: only the new change is announced; the cancelled one would have come first.
    ASSERT_TRUE(DisplayManager::init());
    setMonitors({monitor(1, 0, 0, 1024, 768, true)});
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([&] { return m_application.m_events > 0; }));
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([&] { return !DisplayManager::hasPendingChanges(); }));
    EXPECT_EQ(m_application.m_events, 1);
    EXPECT_EQ(DisplayManager::getDisplays()[0].frame, GP::Rect(0, 0, 1024, 768));

    // Without an application the list is still kept.
    DisplayManager::setApplicationLookup(nullptr);
    setMonitors({monitor(1, 0, 0, 800, 600, true)});
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([&] { return !DisplayManager::hasPendingChanges(); }));
    EXPECT_EQ(m_application.m_events, 1);
    EXPECT_EQ(DisplayManager::getDisplays()[0].frame, GP::Rect(0, 0, 800, 600));
}

}  // namespace
}  // namespace QV::UIA

namespace QV::UIA {
namespace {

// The X server's own monitor, through GDK (an X server without RandR monitors shows one screen).
TEST(DisplayManagerXTest, TheXServersScreenIsTheFirstDisplay)
{
    qvcompat::appkit::load();
    DisplayManager::init();
    const CGDirectDisplayID main = CGMainDisplayID();
    if (main == 0) {
        DisplayManager::deInit();
        GTEST_SKIP() << "no display";
    }
    const CGRect bounds = CGDisplayBounds(main);
    const std::vector<Display>& displays = DisplayManager::getDisplays();
    ASSERT_FALSE(displays.empty());
    EXPECT_EQ(displays[0].frame, GP::Rect(0, 0, int(bounds.size.width), int(bounds.size.height)));
    EXPECT_GT(displays[0].frame.width(), 0);
    EXPECT_GT(displays[0].frame.height(), 0);
    EXPECT_EQ(displays[0].visibleFrame.intersected(displays[0].frame), displays[0].visibleFrame);
    EXPECT_TRUE(displays[0].valid);
    DisplayManager::deInit();
}

}  // namespace
}  // namespace QV::UIA
