// Platform windows made through StandaloneWindow, looked at through AppKit's own answers (no window
// is shown): style mask, full-screen behaviour, level, transparency, placement, and the geometry and
// state operations that must leave a window where it was; the Command keys a window answers itself.
#include "COCOA/WindowImpl.h"
#include "Keys/Keys.h"
#include "SyntheticEvent.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/KeyCodes.h"
#include "UIA/Window.h"
#include "UIA/WindowHost.h"
#include "UIA/WindowImpl.h"
#include "UIA/WindowState.h"

#include <AppKit/NSWindow.h>
#include <CoreGraphics/CGWindowLevel.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

namespace {

using namespace QV::UIA;
using QV::GP::Point;
using QV::GP::Rect;

// A standalone window that records the events reaching it.
class RecordingStandaloneWindow : public StandaloneWindow {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        events.push_back(code);
        return StandaloneWindow::onEvent(code, data);
    }
    int count(unsigned code) const { return static_cast<int>(std::count(events.begin(), events.end(), code)); }
    std::vector<unsigned> events;
};

// What the windows ask of the application side.
struct RecordingHost : DETAIL::WindowHost {
    RecordingHost() : m_previous(install(this)) {}
    ~RecordingHost() override { install(m_previous); }
    void addWindow(WindowBase* window) override { listed.push_back(window); }
    void removeWindow(WindowBase* window) override
    {
        listed.erase(std::remove(listed.begin(), listed.end(), window), listed.end());
    }
    void setMainWindow(WindowBase* window) override { main = window; }
    int appTarget() const override { return target; }
    void hideApplication(bool others) override { hidden.push_back(others); }
    std::vector<WindowBase*> listed;
    WindowBase* main = nullptr;
    int target = 0;
    std::vector<bool> hidden;  // each request to hide the application: true when the others are meant

private:
    DETAIL::WindowHost* m_previous;
};

struct Made {
    explicit Made(uint32_t style, uint32_t flags = WindowBase::eCreateFlagSize | WindowBase::eCreateFlagPosition)
        : pool(objc_autoreleasePoolPush())
    {
        QV::UIA::Window::CreateData data;
        data.flags = flags;
        data.style = style;
        data.rect = Rect(40, 50, 40 + 300, 50 + 200);
        made = window.create(data);
        platform = made ? objc::msgSend<id>(window.getNSView(), objc::sel("window")) : nil;
    }
    ~Made()
    {
        if (window.getImpl())
            window.destroy();
        objc_autoreleasePoolPop(pool);
    }

    NSUInteger styleMask() const { return objc::msgSend<NSUInteger>(platform, objc::sel("styleMask")); }
    NSUInteger behaviour() const { return objc::msgSend<NSUInteger>(platform, objc::sel("collectionBehavior")); }
    NSInteger level() const { return objc::msgSend<NSInteger>(platform, objc::sel("level")); }

    void* pool;  // the notifications that geometry changes post
    RecordingStandaloneWindow window;
    bool made = false;
    id platform = nil;
};

TEST(WindowCreation, TheUpdatersStyleIsFixedInSizeAndWithoutFullScreen)
{
    Made fixed(WindowBase::eStyleFixedSize);
    ASSERT_TRUE(fixed.made);
    EXPECT_EQ(fixed.styleMask(), NSWindowStyleMaskTitled | NSWindowStyleMaskClosable | NSWindowStyleMaskMiniaturizable);
    EXPECT_EQ(fixed.behaviour() & NSWindowCollectionBehaviorFullScreenPrimary, 0u);
    EXPECT_EQ(fixed.level(), NSNormalWindowLevel);

    Made resizable(0);
    EXPECT_TRUE(resizable.styleMask() & NSWindowStyleMaskResizable);
    EXPECT_TRUE(resizable.behaviour() & NSWindowCollectionBehaviorFullScreenPrimary);

    Made floating(WindowBase::eStyleFloating | WindowBase::eStyleScreenSaverLevel);
    EXPECT_EQ(floating.level(), CGWindowLevelForKey(kCGScreenSaverWindowLevelKey));
}

TEST(WindowCreation, ATransparentWindowBlendsAndItsViewIsNotOpaque)
{
    Made plain(WindowBase::eStyleFixedSize);
    EXPECT_FALSE(plain.window.hasAlphaBlending());
    EXPECT_TRUE(objc::msgSend<BOOL>(plain.window.getNSView(), objc::sel("isOpaque")));
    Made clear(WindowBase::eStyleTransparent);
    EXPECT_TRUE(clear.window.hasAlphaBlending());
    EXPECT_FALSE(objc::msgSend<BOOL>(clear.window.getNSView(), objc::sel("isOpaque")));
    EXPECT_FALSE(objc::msgSend<BOOL>(clear.platform, objc::sel("isOpaque")));
}

TEST(WindowCreation, PlacementAndSizeFollowTheRecordOrTheDefaults)
{
    Made asked(WindowBase::eStyleFixedSize);
    Rect content;
    asked.window.getImpl()->getRect(content, true);
    EXPECT_EQ(content.width(), 300);
    EXPECT_EQ(content.height(), 200);
    Rect frame;
    asked.window.getImpl()->getRect(frame, false);
    EXPECT_EQ(Point(frame.left, frame.top), Point(40, 50));  // the frame's top-left corner

    Made defaults(WindowBase::eStyleFixedSize, 0);
    EXPECT_EQ(defaults.window.getSize(true), Point(400, 300));
    defaults.window.getImpl()->getRect(frame, false);
    EXPECT_EQ(Point(frame.left, frame.top), Point(100, 100));
}

TEST(WindowCreation, SettingTheRectangleOrStateItHasLeavesTheWindowWhereItWas)
{
    Made made(WindowBase::eStyleFixedSize);
    DETAIL::WindowImpl& impl = *made.window.getImpl();
    for (const bool content : {false, true}) {
        Rect before;
        impl.getRect(before, content);
        impl.setRect(before, content);
        Rect after;
        impl.getRect(after, content);
        EXPECT_EQ(after, before) << (content ? "content" : "frame");
    }

    WindowState state;
    impl.getState(state);
    EXPECT_EQ(state.visibility, WindowState::eHidden);
    EXPECT_EQ(state.kind, WindowState::eKindWindow);
    EXPECT_EQ(state.size, Point(300, 200));
    const Point position = impl.getPosition(false);
    EXPECT_EQ(state.position, position);

    // A position below the lowest in either direction, or a size not positive in either, is kept.
    struct tCase {
        Point position;
        Point size;
        Point positionAfter;
        Point sizeAfter;
    } const cases[] = {
        {Point(-10000, 0), Point(0, 120), position, Point(300, 200)},
        {Point(0, -10000), Point(120, 0), position, Point(300, 200)},
        {Point(-9999, 40), Point(250, 120), Point(-9999, 40), Point(250, 120)},
        {Point(60, -9999), Point(1, 1), Point(60, -9999), Point(1, 1)},
    };
    for (const tCase& c : cases) {
        WindowState wanted = state;
        wanted.position = c.position;
        wanted.size = c.size;
        impl.restoreState(wanted);
        EXPECT_EQ(impl.getPosition(false), c.positionAfter) << c.position.x << ", " << c.position.y;
        EXPECT_EQ(impl.getSize(true), c.sizeAfter) << c.size.x << " x " << c.size.y;
    }
}

TEST(WindowCreation, AStandaloneWindowIsListedAndBecomesTheMainWindow)
{
    RecordingHost host;
    {
        Made made(WindowBase::eStyleFixedSize);
        ASSERT_TRUE(made.made);
        EXPECT_EQ(host.listed, std::vector<WindowBase*>{&made.window});
        EXPECT_EQ(host.main, &made.window);
        EXPECT_EQ(made.window.count(eEventWindowCreated), 1);
    }
    EXPECT_TRUE(host.listed.empty()) << "a deleted window leaves the list";
}

TEST(WindowCreation, CommandKeysNothingElseTakesCloseTheWindowOrHideTheApplication)
{
    using QV::UIA::TEST::SyntheticEvents;
    using QV::UIA::TEST::tSyntheticEvent;
    DETAIL::Keys::init();
    constexpr NSEventModifierFlags kCommand = NSEventModifierFlagCommand;
    struct {
        const char* what;
        int target;  // the application target's value: the shortcuts answer only at 1
        unsigned short keyCode;
        char16_t character;
        NSEventModifierFlags flags;
        bool repeat;
        int closeRequests;
        std::vector<bool> hidden;
    } const cases[] = {
        {"Command-W", 1, 13, u'w', kCommand, false, 1, {}},
        {"Command-H", 1, 4, u'h', kCommand, false, 0, {false}},
        {"Command-Shift-H", 1, 4, u'h', kCommand | NSEventModifierFlagShift, false, 0, {true}},
        {"W without Command", 1, 13, u'w', 0, false, 0, {}},
        {"a repeated Command-W", 1, 13, u'w', kCommand, true, 0, {}},
        {"Command-W outside the application target", 0, 13, u'w', kCommand, false, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingHost host;
        host.target = c.target;
        Made made(WindowBase::eStyleFixedSize);
        ASSERT_TRUE(made.made);
        tSyntheticEvent key;
        key.type = NSEventTypeKeyDown;
        key.keyCode = c.keyCode;
        key.characters = std::u16string(1, c.character);
        key.modifierFlags = c.flags;
        key.isARepeat = c.repeat;
        id event = SyntheticEvents::make(key);
        objc::msgSend<void, id>(made.window.getNSView(), objc::sel("keyDown:"), event);
        objc_release(event);
        EXPECT_EQ(made.window.count(eEventWindowCloseRequest), c.closeRequests);
        EXPECT_EQ(host.hidden, c.hidden);
    }
}

TEST(WindowCreation, ANewSizeKeepsTheTopEdgeAndTheLeft)
{
    Made made(WindowBase::eStyleFixedSize);
    DETAIL::WindowImpl& impl = *made.window.getImpl();
    for (const bool content : {true, false}) {
        Rect before;
        impl.getRect(before, content);
        for (const Point size : {Point(260, 150), Point(320, 240)}) {
            impl.setSize(size, content);
            Rect after;
            impl.getRect(after, content);
            EXPECT_EQ(after, Rect(before.left, before.top, before.left + size.x, before.top + size.y))
                << (content ? "content " : "frame ") << size.x << " x " << size.y;
        }
    }
}

TEST(WindowCreation, ScreenPointsAreTheViewsPointsMovedByTheContentsCorner)
{
    Made made(WindowBase::eStyleFixedSize);
    Rect content;
    made.window.getImpl()->getRect(content, true);
    const Point corner(content.left, content.top);
    ASSERT_NE(corner.x, corner.y) << "the corner tells x from y";

    for (const Point inView : {Point(0, 0), Point(3, 17), Point(299, 199)}) {
        Point p = inView;
        made.window.getImpl()->toScreen(p);
        EXPECT_EQ(p, Point(corner.x + inView.x, corner.y + inView.y));
        made.window.getImpl()->fromScreen(p);
        EXPECT_EQ(p, inView);
    }
    Point far(-1000, 5000);
    made.window.getImpl()->fromScreen(far);
    EXPECT_EQ(far, Point(-1000 - corner.x, 5000 - corner.y));

    Rect r(1, 2, 11, 32);
    made.window.getImpl()->toScreen(r);
    EXPECT_EQ(r, Rect(corner.x + 1, corner.y + 2, corner.x + 11, corner.y + 32));

    // The window moved: the points follow it.
    made.window.getImpl()->setPosition(Point(corner.x + 25, corner.y + 35), true);
    Point moved(3, 4);
    made.window.getImpl()->toScreen(moved);
    EXPECT_EQ(moved, Point(corner.x + 28, corner.y + 39));
}

TEST(WindowCreation, AWindowIsVisibleOnlyWhenShownAndItsViewIsNotHidden)
{
    Made made(WindowBase::eStyleFixedSize);
    EXPECT_FALSE(made.window.isVisible()) << "never shown";
    made.window.getImpl()->show(true);
    EXPECT_TRUE(made.window.isVisible());
    objc::msgSend<void, BOOL>(made.window.getNSView(), objc::sel("setHidden:"), YES);
    EXPECT_FALSE(made.window.isVisible()) << "view hidden";
    objc::msgSend<void, BOOL>(made.window.getNSView(), objc::sel("setHidden:"), NO);
    made.window.getImpl()->show(false);
    EXPECT_FALSE(made.window.isVisible()) << "hidden again";
}

TEST(WindowCreation, FullScreenIsEnteredAndLeftOnceHoweverOftenAsked)
{
    Made made(0);
    DETAIL::WindowImpl& impl = *made.window.getImpl();
    EXPECT_FALSE(impl.isFullScreenMode());
    impl.resetFullScreenMode();
    EXPECT_EQ(made.window.count(eEventWindowSizeChanged), 0) << "not in full screen: nothing to leave";

    impl.setFullScreenMode(Point());
    impl.setFullScreenMode(Point());
    EXPECT_TRUE(impl.isFullScreenMode());
    EXPECT_TRUE(made.styleMask() & NSWindowStyleMaskFullScreen);
    EXPECT_EQ(made.window.count(eEventWindowSizeChanged), 1);

    impl.resetFullScreenMode();
    impl.resetFullScreenMode();
    EXPECT_FALSE(impl.isFullScreenMode());
    EXPECT_FALSE(made.styleMask() & NSWindowStyleMaskFullScreen);
    EXPECT_EQ(made.window.count(eEventWindowSizeChanged), 2);
}

// The windows whose miniaturising the test window class has been asked for.
std::set<id> g_miniaturized;

void miniaturizeAtOnce(id self, SEL, id) { g_miniaturized.insert(self); }
void deminiaturizeAtOnce(id self, SEL, id) { g_miniaturized.erase(self); }
BOOL isMiniaturizedAtOnce(id self, SEL) { return g_miniaturized.count(self) != 0; }

// A platform window that is miniaturised the moment it is asked, as a window manager would do a
// little later: the state can be read back at once.
Class iconifyingWindowClass()
{
    static Class s_class = [] {
        Class cls = objc_allocateClassPair(objc_getClass("NSWindow"), "QVTestIconifyingWindow", 0);
        objc::addMethod(cls, objc::sel("miniaturize:"), &miniaturizeAtOnce, "v@:@");
        objc::addMethod(cls, objc::sel("deminiaturize:"), &deminiaturizeAtOnce, "v@:@");
        objc::addMethod(cls, objc::sel("isMiniaturized"), &isMiniaturizedAtOnce, "B@:");
        objc_registerClassPair(cls);
        return cls;
    }();
    return s_class;
}

class Owner : public Window {
public:
    using WindowBase::setImpl;
};

// A window implementation without view over a platform window of the given class and level.
struct PlainWindow {
    explicit PlainWindow(Class cls, NSInteger level = NSNormalWindowLevel) : impl(new COCOA::WindowImpl(&owner))
    {
        owner.setImpl(impl);
        platform = objc::msgSend<id>(cls, objc::sel("alloc"));
        platform = objc::msgSend<id, CGRect, NSUInteger, NSUInteger, BOOL>(
            platform, objc::sel("initWithContentRect:styleMask:backing:defer:"), CGRectMake(0, 0, 200, 100),
            NSWindowStyleMaskTitled, NSBackingStoreBuffered, YES);
        objc::msgSend<void, NSInteger>(platform, objc::sel("setLevel:"), level);
        impl->attachWindow(platform);
    }
    ~PlainWindow()
    {
        g_miniaturized.erase(platform);
        objc_release(platform);
    }
    WindowState state()
    {
        WindowState s;
        impl->getState(s);
        return s;
    }

    Owner owner;  // deletes the implementation
    COCOA::WindowImpl* impl;
    id platform = nil;
};

TEST(WindowCreation, TheStateNamesTheKindOfWindow)
{
    const NSInteger floating = CGWindowLevelForKey(kCGFloatingWindowLevelKey);
    struct tCase {
        const char* what;
        const char* cls;
        NSInteger level;
        WindowState::eKind kind;
    } const cases[] = {
        {"window", "NSWindow", NSNormalWindowLevel, WindowState::eKindWindow},
        {"window above the others", "NSWindow", floating, WindowState::eKindFloatingWindow},
        {"window above even those", "NSWindow", CGWindowLevelForKey(kCGPopUpMenuWindowLevelKey),
         WindowState::eKindWindow},
        {"panel", "NSPanel", NSNormalWindowLevel, WindowState::eKindPanel},
        {"panel above the others", "NSPanel", floating, WindowState::eKindPanel},
    };
    for (const tCase& c : cases) {
        PlainWindow plain(objc_getClass(c.cls), c.level);
        EXPECT_EQ(plain.state().kind, c.kind) << c.what;
    }
}

TEST(WindowCreation, ARestoredStateShowsHidesOrMiniaturisesTheWindow)
{
    PlainWindow plain(iconifyingWindowClass());
    EXPECT_EQ(plain.state().visibility, WindowState::eHidden);

    WindowState wanted = plain.state();
    wanted.visibility = WindowState::eMinimized;
    plain.impl->restoreState(wanted);
    EXPECT_TRUE(plain.impl->isMinimized());
    EXPECT_EQ(plain.state().visibility, WindowState::eMinimized);

    plain.impl->normalSize();
    EXPECT_FALSE(plain.impl->isMinimized());
    EXPECT_EQ(plain.state().visibility, WindowState::eVisible) << "shown before it was miniaturised";

    wanted.visibility = WindowState::eHidden;
    plain.impl->restoreState(wanted);
    EXPECT_EQ(plain.state().visibility, WindowState::eHidden);
    wanted.visibility = WindowState::eVisible;
    plain.impl->restoreState(wanted);
    EXPECT_EQ(plain.state().visibility, WindowState::eVisible);
    EXPECT_FALSE(plain.impl->isMinimized());
}

}  // namespace
