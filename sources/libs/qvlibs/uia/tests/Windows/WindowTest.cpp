// Windows above their implementation: what WindowBase forwards, the defaults of the abstract
// implementation, event delivery to the window and on to the application, and how a main window
// answers closing and destruction. The implementation is a recording double; the application side
// is a recording host.
#include "GP/Region.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/Window.h"
#include "UIA/WindowHost.h"
#include "UIA/WindowImpl.h"
#include "UIA/WindowState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace QV::UIA;
using QV::GP::Point;
using QV::GP::Rect;
using QV::GP::Region;

// Records what reaches the application side.
struct RecordingHost : DETAIL::WindowHost {
    RecordingHost() : m_previous(install(this)) {}
    ~RecordingHost() override { install(m_previous); }

    bool sendApplicationEvent(unsigned code, EventData*) override
    {
        applicationEvents.push_back(code);
        return applicationHandles;
    }
    bool sendWindowEventToApplication(unsigned code, EventData* data, WindowBase* window) override
    {
        windowEvents.push_back(code);
        eventWindow = window;
        if (code == eEventAppQueryQuit)
            static_cast<AllowEventData*>(data)->allow = allowQuit;
        return applicationHandles;
    }
    bool isQuitting() const override { return quitting; }
    void postQuit() override { ++quitPosts; }

    std::vector<unsigned> applicationEvents;
    std::vector<unsigned> windowEvents;
    WindowBase* eventWindow = nullptr;
    bool applicationHandles = false;
    bool allowQuit = true;
    bool quitting = false;
    int quitPosts = 0;

private:
    DETAIL::WindowHost* m_previous;
};

// An implementation over a rectangle, recording the calls that reach it.
class RecordingImpl : public DETAIL::WindowImpl {
public:
    explicit RecordingImpl(WindowBase* owner) : DETAIL::WindowImpl(owner) {}

    bool updateOffscreenPicture(const Picture&) override { return true; }
    bool isVisible() const override { return visible; }
    void setTitle(const char*) override {}
    void setMenu(const HMenuBar&) override {}
    void setWindowIcon(AppModule*, int) override {}
    void setCursor(void*) override {}
    void resetCursor() override {}
    void show(bool show) override
    {
        calls.push_back(show ? "show" : "hide");
        visible = show;
    }
    void activate() override {}
    void destroy() override { calls.push_back("destroy"); }
    void invalidate() override {}
    void invalidateRect(const Rect& r) override { invalidated.push_back(r); }
    void update() override {}
    void getRect(Rect& r, bool content) const override { r = content ? contentRect : frameRect; }
    void setRect(const Rect& r, bool content) override { (content ? contentRect : frameRect) = r; }
    void getState(WindowState&) override {}
    void restoreState(const WindowState&) override {}
    void toScreen(Point&) const override {}
    void toScreen(Rect&) const override {}
    void fromScreen(Point&) const override {}
    void setKeyFocus() override {}
    bool releaseKeyFocus() override { return true; }
    void setModified(bool) override {}
    bool isMinimized() const override { return minimized; }

    bool visible = false;
    bool minimized = false;
    Rect frameRect{10, 20, 110, 220};
    Rect contentRect{10, 40, 110, 220};
    std::vector<std::string> calls;
    std::vector<Rect> invalidated;
};

// A main window that records its events and may answer the ideal-size query.
class RecordingWindow : public MainWindow {
public:
    RecordingWindow() { setImpl(impl = new RecordingImpl(this)); }

    bool onEvent(unsigned code, EventData* data) override
    {
        events.push_back(code);
        if (code == eEventWindowQueryIdealSize && idealSize) {
            static_cast<IdealSizeEventData*>(data)->size = *idealSize;
            return true;
        }
        if (code == eEventKeyDown)
            return handlesKeys;
        return MainWindow::onEvent(code, data);
    }

    RecordingImpl* impl;
    std::vector<unsigned> events;
    std::optional<Point> idealSize;
    bool handlesKeys = false;
};

TEST(Window, ShowAnnouncesItselfOnlyWhenAHiddenWindowIsShown)
{
    RecordingHost host;
    RecordingWindow window;
    window.show(true);
    EXPECT_EQ(window.events, std::vector<unsigned>{eEventWindowAboutToShow});
    window.show(true);
    window.show(false);
    window.show(false);
    EXPECT_EQ(window.events, std::vector<unsigned>{eEventWindowAboutToShow});
    EXPECT_EQ(window.impl->calls, (std::vector<std::string>{"show", "show", "hide", "hide"}));
}

TEST(Window, AWindowWithoutImplementationIgnoresEverything)
{
    MainWindow window;
    window.show(true);
    window.destroy();
    window.invalidate();
    Point p(3, 4);
    window.toScreen(p);
    EXPECT_EQ(p, Point(3, 4));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.getSize(true), Point());
    EXPECT_EQ(window.getNSView(), nil);
    window.setAutoDelete(true);
    EXPECT_TRUE(window.getAutoDelete());
}

TEST(Window, AutoDeleteReachesTheImplementation)
{
    RecordingWindow window;
    EXPECT_FALSE(window.impl->getDeleteWindowObject());
    window.setAutoDelete(true);
    EXPECT_TRUE(window.impl->getDeleteWindowObject());
}

TEST(Window, CloseRequestsAskTheApplicationWhetherItMayQuit)
{
    for (const bool allowed : {true, false}) {
        RecordingHost host;
        host.allowQuit = allowed;
        RecordingWindow window;
        AllowEventData request;
        EXPECT_TRUE(window.sendEvent(eEventWindowCloseRequest, &request));  // handled either way
        EXPECT_EQ(request.allow, allowed);
        EXPECT_EQ(host.windowEvents, std::vector<unsigned>{eEventAppQueryQuit});
        EXPECT_EQ(host.eventWindow, &window);
    }
}

TEST(Window, TheMainWindowGoingAwayQuitsUnlessQuittingAlready)
{
    RecordingHost host;
    RecordingWindow window;
    EventData none;
    EXPECT_TRUE(window.sendEvent(eEventWindowDestroyed, &none));
    EXPECT_EQ(host.quitPosts, 1);
    host.quitting = true;
    EXPECT_FALSE(window.sendEvent(eEventWindowDestroyed, &none));
    EXPECT_EQ(host.quitPosts, 1);
}

TEST(Window, DragCodesGoOnToTheApplicationAsTheMainWindowsOwn)
{
    struct tCase {
        unsigned code;
        bool passedOn;
    } const cases[] = {
        {eEventDragDropRequest, true},
        {eEventDragDropReceive, true},
        {eEventDragDropLeaved, true},
        {eEventDragDropFinished, true},
        {1399, true},   // the whole drag family
        {1299, false},  // a command: the window's own
        {1400, false},
    };
    for (const tCase& c : cases) {
        RecordingHost host;
        RecordingWindow window;
        host.applicationHandles = true;
        DragDropRequestEventData request;  // nothing here reads the payload
        EXPECT_EQ(window.sendEvent(c.code, &request), c.passedOn) << c.code;
        EXPECT_EQ(host.windowEvents, c.passedOn ? std::vector<unsigned>{c.code} : std::vector<unsigned>{}) << c.code;
        EXPECT_EQ(host.eventWindow, c.passedOn ? &window : nullptr) << c.code;
    }
}

TEST(Window, ImplementationEventsReachTheApplicationOnlyWhenAskedAndUnhandled)
{
    RecordingHost host;
    RecordingWindow window;
    KeyEventData key;
    EXPECT_FALSE(window.impl->sendEvent(eEventKeyDown, &key, false));
    EXPECT_TRUE(host.applicationEvents.empty());
    host.applicationHandles = true;
    EXPECT_TRUE(window.impl->sendEvent(eEventKeyDown, &key, true));
    EXPECT_EQ(host.applicationEvents, std::vector<unsigned>{eEventKeyDown});
    window.handlesKeys = true;
    EXPECT_TRUE(window.impl->sendEvent(eEventKeyDown, &key, true));
    EXPECT_EQ(host.applicationEvents.size(), 1u);  // handled by the window: not passed on
    EXPECT_EQ(window.events, (std::vector<unsigned>{eEventKeyDown, eEventKeyDown, eEventKeyDown}));
}

TEST(Window, DefaultGeometryWorksOnTheRectangle)
{
    RecordingWindow window;
    DETAIL::WindowImpl& impl = *window.impl;
    EXPECT_EQ(impl.getPosition(true), Point(10, 40));
    EXPECT_EQ(impl.getSize(false), Point(100, 200));
    impl.setPosition(Point(-5, 7), false);
    EXPECT_EQ(window.impl->frameRect, Rect(-5, 7, 95, 207));
    impl.setSize(Point(30, 40), true);
    EXPECT_EQ(window.impl->contentRect, Rect(10, 40, 40, 80));
    EXPECT_EQ(window.getSize(true), Point(30, 40));
}

TEST(Window, IdealSizeFollowsTheWindowsAnswerInNormalSizeOnly)
{
    RecordingWindow window;
    DETAIL::WindowImpl& impl = *window.impl;
    EXPECT_TRUE(impl.isIdealSize());  // an unanswered query counts as ideal
    impl.idealSize();
    EXPECT_EQ(window.impl->contentRect, Rect(10, 40, 110, 220));

    window.idealSize = Point(50, 60);
    EXPECT_FALSE(impl.isIdealSize());
    impl.idealSize();
    EXPECT_EQ(window.impl->contentRect, Rect(10, 40, 60, 100));
    EXPECT_TRUE(impl.isIdealSize());

    window.idealSize = Point(70, 80);
    window.impl->minimized = true;
    EXPECT_FALSE(impl.isNormalSize());
    EXPECT_FALSE(impl.isIdealSize());
    const size_t asked = window.events.size();
    impl.idealSize();
    EXPECT_EQ(window.events.size(), asked);  // not asked while minimised
    EXPECT_EQ(window.impl->contentRect, Rect(10, 40, 60, 100));
}

TEST(Window, InvalidatingARegionMarksEachOfItsRectangles)
{
    ASSERT_TRUE(Region::init());
    {
        RecordingWindow window;
        Region region;
        window.invalidateRegion(region);
        EXPECT_TRUE(window.impl->invalidated.empty());

        region.addFast(Rect(0, 0, 10, 10));
        window.invalidateRegion(region);
        EXPECT_EQ(window.impl->invalidated, std::vector<Rect>{Rect(0, 0, 10, 10)});

        window.impl->invalidated.clear();
        Region two;
        two.addFast(Rect(0, 0, 10, 10));
        two.addFast(Rect(50, 50, 60, 60));
        window.invalidateRegion(two);
        EXPECT_EQ(window.impl->invalidated, (std::vector<Rect>{Rect(0, 0, 10, 10), Rect(50, 50, 60, 60)}));
    }
    Region::deInit();
}

TEST(Window, CreateDataKeepsTheTitleWithItsTerminator)
{
    WindowBase::CreateData data;
    data.setTitle("Vardolin");
    EXPECT_EQ(std::string(data.title.data()), "Vardolin");
    EXPECT_EQ(data.title.size(), 9u);
    EXPECT_TRUE(data.flags & WindowBase::eCreateFlagTitle);
    data.setTitle("ü");
    EXPECT_EQ(data.title.size(), 3u);
}

}  // namespace
