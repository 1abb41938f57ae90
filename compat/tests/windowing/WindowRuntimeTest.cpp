// Windows and views through the runtime, without a display: classes derived at run time (as the
// program derives its own) receive the events that -[NSWindow sendEvent:] routes, the delegate's
// messages and the destruction in the platform's order.
#include "AppKit/standin/EventRecord.h"
#include "AppKit/standin/Windowing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvcompat::appkit {
namespace {

// What the run-time classes saw, in order.
std::vector<std::string> g_log;
NSPoint g_lastPoint{};
NSInteger g_lastClicks = 0;
BOOL g_keyEquivalentAnswer = NO;
BOOL g_shouldClose = YES;

std::string nameOf(id self) { return object_getClassName(self); }

void logEvent(id self, SEL op, id event)
{
    g_log.push_back(nameOf(self) + " " + sel_getName(op));
    const NSPoint inWindow = objc::msgSend<NSPoint>(event, objc::sel("locationInWindow"));
    g_lastPoint = objc::msgSend<NSPoint, NSPoint, id>(self, objc::sel("convertPoint:fromView:"), inWindow, nil);
    g_lastClicks = objc::msgSend<NSInteger>(event, objc::sel("clickCount"));
}

void logKey(id self, SEL op, id) { g_log.push_back(nameOf(self) + " " + sel_getName(op)); }
BOOL logKeyEquivalent(id self, SEL op, id)
{
    g_log.push_back(nameOf(self) + " " + sel_getName(op));
    return g_keyEquivalentAnswer;
}
BOOL yes(id, SEL) { return YES; }

void logDealloc(id self, SEL op)
{
    g_log.push_back(nameOf(self) + " dealloc");
    objc_super up{self, class_getSuperclass(object_getClass(self))};
    objc::msgSendSuper<void>(&up, op);
}

BOOL delegateShouldClose(id, SEL, id)
{
    g_log.push_back("windowShouldClose:");
    return g_shouldClose;
}
void delegateNote(id, SEL op, id) { g_log.push_back(sel_getName(op)); }
NSSize delegateWillResize(id, SEL, id, NSSize size) { return NSSize{size.width < 50 ? 50 : size.width, size.height}; }

Class defineClass(const char* name, const char* superclass, bool flipped, bool keyEquivalents)
{
    if (Class known = objc_getClass(name))
        return known;
    Class cls = objc_allocateClassPair(objc_getClass(superclass), name, 0);
    for (const char* selector : {"mouseDown:", "mouseUp:", "mouseDragged:", "rightMouseDown:", "scrollWheel:",
                                 "mouseEntered:", "mouseExited:", "mouseMoved:"})
        objc::addMethod(cls, objc::sel(selector), &logEvent, "v@:@");
    objc::addMethod(cls, objc::sel("keyDown:"), &logKey, "v@:@");
    objc::addMethod(cls, objc::sel("keyUp:"), &logKey, "v@:@");
    objc::addMethod(cls, objc::sel("acceptsFirstResponder"), &yes, "B@:");
    objc::addMethod(cls, objc::sel("dealloc"), &logDealloc, "v@:");
    if (flipped)
        objc::addMethod(cls, objc::sel("isFlipped"), &yes, "B@:");
    if (keyEquivalents)
        objc::addMethod(cls, objc::sel("performKeyEquivalent:"), &logKeyEquivalent, "B@:@");
    objc_registerClassPair(cls);
    return cls;
}

Class delegateClass()
{
    if (Class known = objc_getClass("RuntimeTestDelegate"))
        return known;
    Class cls = objc_allocateClassPair(objc_getClass("NSObject"), "RuntimeTestDelegate", 0);
    objc::addMethod(cls, objc::sel("windowShouldClose:"), &delegateShouldClose, "B@:@");
    for (const char* selector : {"windowWillClose:", "windowDidResize:", "windowDidMove:"})
        objc::addMethod(cls, objc::sel(selector), &delegateNote, "v@:@");
    objc::addMethod(cls, objc::sel("windowWillResize:toSize:"), &delegateWillResize, "{CGSize=dd}@:@{CGSize=dd}");
    objc_registerClassPair(cls);
    return cls;
}

id newView(Class cls, NSRect frame)
{
    return objc::msgSend<id, NSRect>(objc::msgSend<id>(cls, objc::sel("alloc")), objc::sel("initWithFrame:"), frame);
}

class WindowRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loadWindowing();
        g_log.clear();
        g_keyEquivalentAnswer = NO;
        g_shouldClose = YES;
        m_pool = objc_autoreleasePoolPush();
        Class windowClass = defineClass("RuntimeTestWindow", "NSWindow", false, false);
        m_window = objc::msgSend<id, NSRect, NSWindowStyleMask, NSBackingStoreType, BOOL>(
            objc::msgSend<id>(windowClass, objc::sel("alloc")),
            objc::sel("initWithContentRect:styleMask:backing:defer:"), NSRect{{100, 200}, {200, 100}},
            NSWindowStyleMaskTitled | NSWindowStyleMaskClosable, NSBackingStoreBuffered, YES);
        objc::msgSend<void, BOOL>(m_window, objc::sel("setReleasedWhenClosed:"), NO);
        m_content = objc::msgSend<id>(m_window, objc::sel("contentView"));
        // Left: a flipped view that takes key equivalents; right: a plain one.
        m_left = newView(defineClass("FlippedTestView", "NSView", true, true), NSRect{{0, 0}, {100, 100}});
        m_right = newView(defineClass("PlainTestView", "NSView", false, false), NSRect{{100, 0}, {100, 100}});
        objc::msgSend<void, id>(m_content, objc::sel("addSubview:"), m_left);
        objc::msgSend<void, id>(m_content, objc::sel("addSubview:"), m_right);
    }

    void TearDown() override
    {
        objc_release(m_left);
        objc_release(m_right);
        objc_release(m_window);
        objc_autoreleasePoolPop(m_pool);
    }

    void send(NSEventType type, NSPoint where, NSEventModifierFlags flags = 0, NSInteger clicks = 1)
    {
        tEventRecord record;
        record.type = type;
        record.locationInWindow = where;
        record.modifierFlags = flags;
        record.clickCount = clicks;
        record.buttonNumber = type == NSEventTypeRightMouseDown ? 1 : 0;
        NSEvent* event = newEvent(record, m_window);
        objc::msgSend<void, id>(m_window, objc::sel("sendEvent:"), event);
        objc_release(event);
    }

    void* m_pool = nullptr;
    id m_window = nil;
    id m_content = nil;
    id m_left = nil;
    id m_right = nil;
};

TEST_F(WindowRuntimeTest, MouseEventsGoToTheViewUnderThePointerAndDragsStayWithIt)
{
    send(NSEventTypeLeftMouseDown, NSPoint{30, 90}, 0, 2);
    ASSERT_EQ(g_log, std::vector<std::string>{"FlippedTestView mouseDown:"});
    EXPECT_DOUBLE_EQ(g_lastPoint.x, 30);
    EXPECT_DOUBLE_EQ(g_lastPoint.y, 10);  // flipped: from the top
    EXPECT_EQ(g_lastClicks, 2);

    send(NSEventTypeLeftMouseDragged, NSPoint{150, 50});  // over the other view
    send(NSEventTypeLeftMouseUp, NSPoint{150, 40});
    EXPECT_EQ(g_log, (std::vector<std::string>{
                         "FlippedTestView mouseDown:", "FlippedTestView mouseDragged:", "FlippedTestView mouseUp:"}));
    EXPECT_DOUBLE_EQ(g_lastPoint.x, 150);
    EXPECT_DOUBLE_EQ(g_lastPoint.y, 60);

    g_log.clear();
    send(NSEventTypeRightMouseDown, NSPoint{150, 25});
    send(NSEventTypeScrollWheel, NSPoint{150, 25});
    EXPECT_EQ(g_log, (std::vector<std::string>{"PlainTestView rightMouseDown:", "PlainTestView scrollWheel:"}));
    EXPECT_DOUBLE_EQ(g_lastPoint.x, 50);  // not flipped: from the bottom
    EXPECT_DOUBLE_EQ(g_lastPoint.y, 25);
}

TEST_F(WindowRuntimeTest, KeysGoToTheFirstResponderOnce)
{
    send(NSEventTypeLeftMouseDown, NSPoint{30, 30});  // the press makes the view first responder
    ASSERT_EQ(objc::msgSend<id>(m_window, objc::sel("firstResponder")), m_left);
    g_log.clear();

    send(NSEventTypeKeyDown, NSPoint{}, 0);
    send(NSEventTypeKeyDown, NSPoint{}, NSEventModifierFlagCommand);  // answered NO: no keyDown: again
    g_keyEquivalentAnswer = YES;
    send(NSEventTypeKeyDown, NSPoint{}, NSEventModifierFlagCommand);
    send(NSEventTypeKeyUp, NSPoint{}, NSEventModifierFlagCommand);
    EXPECT_EQ(g_log, (std::vector<std::string>{"FlippedTestView keyDown:", "FlippedTestView performKeyEquivalent:",
                                               "FlippedTestView performKeyEquivalent:", "FlippedTestView keyUp:"}));

    // A view that leaves key equivalents to AppKit gets a Command key in -keyDown:.
    objc::msgSend<BOOL, id>(m_window, objc::sel("makeFirstResponder:"), m_right);
    g_log.clear();
    g_keyEquivalentAnswer = NO;
    send(NSEventTypeKeyDown, NSPoint{}, NSEventModifierFlagCommand);
    EXPECT_EQ(g_log, (std::vector<std::string>{"FlippedTestView performKeyEquivalent:", "PlainTestView keyDown:"}));
}

TEST_F(WindowRuntimeTest, TrackingAreasReportEnteringMovesAndLeaving)
{
    id area = objc::msgSend<id, NSRect, NSTrackingAreaOptions, id, id>(
        objc::msgSend<id>(NSTrackingAreaClass(), objc::sel("alloc")), objc::sel("initWithRect:options:owner:userInfo:"),
        NSRect{}, NSTrackingMouseEnteredAndExited | NSTrackingMouseMoved | NSTrackingInVisibleRect, m_right, nil);
    objc::msgSend<void, id>(m_right, objc::sel("addTrackingArea:"), area);
    objc_release(area);

    send(NSEventTypeMouseMoved, NSPoint{20, 20});  // over the other view: nothing
    send(NSEventTypeMouseMoved, NSPoint{120, 20});
    send(NSEventTypeMouseMoved, NSPoint{130, 20});
    send(NSEventTypeMouseMoved, NSPoint{20, 20});
    EXPECT_EQ(g_log, (std::vector<std::string>{"PlainTestView mouseEntered:", "PlainTestView mouseMoved:",
                                               "PlainTestView mouseMoved:", "PlainTestView mouseExited:"}));
}

TEST_F(WindowRuntimeTest, LocalMonitorsSeeEventsFirstAndMaySwallowThem)
{
    int seen = 0;
    id monitor = objc::msgSend<id, NSEventMask, NSEventMonitorHandler>(
        NSEventClass(), objc::sel("addLocalMonitorForEventsMatchingMask:handler:"), NSEventMaskLeftMouseDown,
        [&seen](NSEvent*) -> NSEvent* {
            ++seen;
            return nullptr;
        });
    ASSERT_NE(monitor, nil);
    tEventRecord record;
    record.type = NSEventTypeLeftMouseDown;
    record.locationInWindow = NSPoint{30, 30};
    EXPECT_EQ(runLocalMonitors(newEvent(record, m_window)), nullptr);
    record.type = NSEventTypeRightMouseDown;  // not in the mask: passes unchanged
    NSEvent* right = newEvent(record, m_window);
    NSEvent* passed = runLocalMonitors(right);
    EXPECT_EQ(passed, right);
    objc_release(passed);
    EXPECT_EQ(seen, 1);

    objc::msgSend<void, id>(NSEventClass(), objc::sel("removeMonitor:"), monitor);
    record.type = NSEventTypeLeftMouseDown;
    NSEvent* left = newEvent(record, m_window);
    EXPECT_EQ(runLocalMonitors(left), left);
    objc_release(left);
    EXPECT_EQ(seen, 1);
}

TEST_F(WindowRuntimeTest, FrameChangesResizeTheContentAndTellTheDelegate)
{
    id delegate = objc::msgSend<id>(delegateClass(), objc::sel("new"));
    objc::msgSend<void, id>(m_window, objc::sel("setDelegate:"), delegate);
    objc::msgSend<void, NSUInteger>(m_right, objc::sel("setAutoresizingMask:"),
                                    NSViewWidthSizable | NSViewHeightSizable);

    objc::msgSend<void, NSSize>(m_window, objc::sel("setContentSize:"), NSSize{300, 150});
    const NSRect frame = objc::msgSend<NSRect>(m_window, objc::sel("frame"));
    EXPECT_DOUBLE_EQ(frame.origin.y, 150);  // the top edge stays at 300
    EXPECT_DOUBLE_EQ(frame.size.width, 300);
    const NSRect content = objc::msgSend<NSRect>(m_content, objc::sel("frame"));
    EXPECT_DOUBLE_EQ(content.size.width, 300);
    EXPECT_DOUBLE_EQ(content.size.height, 150);
    const NSRect right = objc::msgSend<NSRect>(m_right, objc::sel("frame"));
    EXPECT_DOUBLE_EQ(right.size.width, 200);
    EXPECT_DOUBLE_EQ(right.size.height, 150);
    EXPECT_EQ(g_log, (std::vector<std::string>{"windowDidResize:", "windowDidMove:"}));

    objc::msgSend<void, id>(m_window, objc::sel("setDelegate:"), nil);
    objc_release(delegate);
}

TEST_F(WindowRuntimeTest, TheDelegateMayRefuseTheClose)
{
    id delegate = objc::msgSend<id>(delegateClass(), objc::sel("new"));
    objc::msgSend<void, id>(m_window, objc::sel("setDelegate:"), delegate);
    objc::msgSend<void>(m_window, objc::sel("orderFront:"));
    g_shouldClose = NO;
    objc::msgSend<void, id>(m_window, objc::sel("performClose:"), nil);
    EXPECT_EQ(g_log, std::vector<std::string>{"windowShouldClose:"});
    EXPECT_TRUE(objc::msgSend<BOOL>(m_window, objc::sel("isVisible")));
    objc::msgSend<void, id>(m_window, objc::sel("setDelegate:"), nil);
    objc_release(delegate);
}

TEST(WindowDestructionTest, CloseTellsTheDelegateThenReleasesTheWindowThenItsViews)
{
    loadWindowing();
    g_log.clear();
    g_shouldClose = YES;
    void* pool = objc_autoreleasePoolPush();
    id window = objc::msgSend<id, NSRect, NSWindowStyleMask, NSBackingStoreType, BOOL>(
        objc::msgSend<id>(defineClass("RuntimeTestWindow", "NSWindow", false, false), objc::sel("alloc")),
        objc::sel("initWithContentRect:styleMask:backing:defer:"), NSRect{{0, 0}, {100, 100}}, NSWindowStyleMaskTitled,
        NSBackingStoreBuffered, YES);
    id view = newView(defineClass("PlainTestView", "NSView", false, false), NSRect{{0, 0}, {100, 100}});
    objc::msgSend<void, id>(objc::msgSend<id>(window, objc::sel("contentView")), objc::sel("addSubview:"), view);
    objc_release(view);  // the content view holds it now
    id delegate = objc::msgSend<id>(delegateClass(), objc::sel("new"));
    objc::msgSend<void, id>(window, objc::sel("setDelegate:"), delegate);

    objc::msgSend<void, id>(window, objc::sel("performClose:"), nil);  // released when closed
    EXPECT_EQ(g_log, (std::vector<std::string>{"windowShouldClose:", "windowWillClose:", "RuntimeTestWindow dealloc",
                                               "PlainTestView dealloc"}));
    objc_release(delegate);
    objc_autoreleasePoolPop(pool);
}

}  // namespace
}  // namespace qvcompat::appkit
