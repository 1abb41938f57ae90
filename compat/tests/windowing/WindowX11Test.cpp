// Real windows under X (an Xvfb of the test's own, no window manager): placement and size, moves,
// resizes within the delegate's limits, the close button's message, clicks, double-clicks and drags
// typed through XTest, a key under two keyboard layouts, and the pixels X shows after -drawRect:.
#include "AppKit/standin/EventRecord.h"
#include "AppKit/gtk/WindowTraits.h"
#include "AppKit/standin/Windowing.h"

#include <AppKit/gtk/GtkMainThread.h>
#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool) would clash with its names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace qvcompat::appkit {
namespace {

struct tSeen {
    std::string what;
    NSPoint where;  // in the view
    NSInteger clicks;
    std::u16string characters;
    unsigned short keyCode;
};

std::vector<tSeen> g_seen;
std::vector<std::string> g_delegateLog;
bool g_redColour = true;  // what the view paints its marked square in

std::u16string charactersOf(id event) { return eventRecord(static_cast<NSEvent*>(event)).characters; }

void record(id self, SEL op, id event)
{
    const NSPoint inWindow = objc::msgSend<NSPoint>(event, objc::sel("locationInWindow"));
    const NSPoint inView =
        objc::msgSend<NSPoint, NSPoint, id>(self, objc::sel("convertPoint:fromView:"), inWindow, nil);
    g_seen.push_back(tSeen{sel_getName(op), inView, objc::msgSend<NSInteger>(event, objc::sel("clickCount")), {}, 0});
}

void recordKey(id, SEL op, id event)
{
    g_seen.push_back(
        tSeen{sel_getName(op), {}, 0, charactersOf(event), objc::msgSend<unsigned short>(event, objc::sel("keyCode"))});
}

BOOL yes(id, SEL) { return YES; }

// Blue everywhere, with a 40 x 40 square at (10, 10) from the top-left in red or green.
void drawRect(id, SEL, NSRect)
{
    cairo_t* cr = currentViewDrawing();
    ASSERT_NE(cr, nullptr);
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, g_redColour ? 1 : 0, g_redColour ? 0 : 1, 0);
    cairo_rectangle(cr, 10, 10, 40, 40);
    cairo_fill(cr);
}

Class viewClass()
{
    if (Class known = objc_getClass("X11TestView"))
        return known;
    Class cls = objc_allocateClassPair(objc_getClass("NSView"), "X11TestView", 0);
    for (const char* selector : {"mouseDown:", "mouseUp:", "mouseDragged:"})
        objc::addMethod(cls, objc::sel(selector), &record, "v@:@");
    objc::addMethod(cls, objc::sel("keyDown:"), &recordKey, "v@:@");
    objc::addMethod(cls, objc::sel("acceptsFirstResponder"), &yes, "B@:");
    objc::addMethod(cls, objc::sel("isFlipped"), &yes, "B@:");
    objc::addMethod(cls, objc::sel("drawRect:"), &drawRect, "v@:{CGRect={CGPoint=dd}{CGSize=dd}}");
    objc_registerClassPair(cls);
    return cls;
}

BOOL shouldClose(id, SEL, id)
{
    g_delegateLog.push_back("windowShouldClose:");
    return YES;
}
void willClose(id, SEL, id) { g_delegateLog.push_back("windowWillClose:"); }
// Content at least 150 wide and at most 400 high (no frame extents without a window manager).
NSSize willResize(id, SEL, id, NSSize size)
{
    return NSSize{size.width < 150 ? 150 : size.width, size.height > 400 ? 400 : size.height};
}

Class delegateClass()
{
    if (Class known = objc_getClass("X11TestDelegate"))
        return known;
    Class cls = objc_allocateClassPair(objc_getClass("NSObject"), "X11TestDelegate", 0);
    objc::addMethod(cls, objc::sel("windowShouldClose:"), &shouldClose, "B@:@");
    objc::addMethod(cls, objc::sel("windowWillClose:"), &willClose, "v@:@");
    objc::addMethod(cls, objc::sel("windowWillResize:toSize:"), &willResize, "{CGSize=dd}@:@{CGSize=dd}");
    objc_registerClassPair(cls);
    return cls;
}

// Runs GTK's main loop until `done` holds or five seconds pass.
bool pumpUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        g_usleep(1000);
    }
    return true;
}

// Lets X and GTK finish what is under way (redraws, keymap changes): a few rounds of sync and main
// loop.
void settle(Display* display)
{
    for (int round = 0; round < 20; ++round) {
        XSync(display, False);
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        g_usleep(2000);
    }
}

class WindowX11Test : public ::testing::Test {
protected:
    static constexpr NSWindowStyleMask kStyle =
        NSWindowStyleMaskTitled | NSWindowStyleMaskClosable | NSWindowStyleMaskMiniaturizable;

    void SetUp() override
    {
        if (!ensureGtk())
            GTEST_SKIP() << "no X display";
        loadWindowing();
        m_display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
        g_seen.clear();
        g_delegateLog.clear();
        g_redColour = true;
        m_pool = objc_autoreleasePoolPush();
    }

    void TearDown() override
    {
        if (m_window) {
            objc::msgSend<void, id>(m_window, objc::sel("setDelegate:"), nil);
            objc::msgSend<void>(m_window, objc::sel("close"));
        }
        objc_release(m_delegate);
        if (m_pool)
            objc_autoreleasePoolPop(m_pool);
    }

    // A window whose content's top-left lies at (left, top) of the screen, of the size asked, with
    // one test view filling it.
    void open(int left, int top, int width, int height, NSWindowStyleMask style = kStyle)
    {
        const double screenHeight = primaryScreenBase().height;
        const NSRect content{{double(left), screenHeight - top - height}, {double(width), double(height)}};
        m_window = objc::msgSend<id, NSRect, NSWindowStyleMask, NSBackingStoreType, BOOL>(
            objc::msgSend<id>(NSWindowClass(), objc::sel("alloc")),
            objc::sel("initWithContentRect:styleMask:backing:defer:"), content, style, NSBackingStoreBuffered, YES);
        m_delegate = objc::msgSend<id>(delegateClass(), objc::sel("new"));
        objc::msgSend<void, id>(m_window, objc::sel("setDelegate:"), m_delegate);
        m_view = objc::msgSend<id, NSRect>(objc::msgSend<id>(viewClass(), objc::sel("alloc")),
                                           objc::sel("initWithFrame:"), NSRect{{0, 0}, content.size});
        objc::msgSend<void, NSUInteger>(m_view, objc::sel("setAutoresizingMask:"),
                                        NSViewWidthSizable | NSViewHeightSizable);
        objc::msgSend<void, id>(objc::msgSend<id>(m_window, objc::sel("contentView")), objc::sel("addSubview:"),
                                m_view);
        objc_release(m_view);
        objc::msgSend<void, id>(m_window, objc::sel("makeKeyAndOrderFront:"), nil);
        ASSERT_TRUE(pumpUntil([&] { return contentOnScreen().width == width && contentOnScreen().height == height; }));
        ASSERT_TRUE(pumpUntil([&] { return objc::msgSend<BOOL>(m_window, objc::sel("isKeyWindow")); }));
    }

    Window contentXid() const
    {
        return gdk_x11_window_get_xid(gtk_widget_get_window(windowContentArea(static_cast<NSWindow*>(m_window))));
    }

    // Where X has the content area: root coordinates and size.
    GdkRectangle contentOnScreen() const
    {
        GtkWidget* area = windowContentArea(static_cast<NSWindow*>(m_window));
        if (!area || !gtk_widget_get_realized(area))
            return GdkRectangle{};
        XWindowAttributes attributes;
        XGetWindowAttributes(m_display, contentXid(), &attributes);
        int x = 0;
        int y = 0;
        Window child;
        XTranslateCoordinates(m_display, contentXid(), DefaultRootWindow(m_display), 0, 0, &x, &y, &child);
        return GdkRectangle{x, y, attributes.width, attributes.height};
    }

    // XTest input at a point of the content (top-left pixels).
    void moveTo(int x, int y)
    {
        const GdkRectangle content = contentOnScreen();
        XTestFakeMotionEvent(m_display, -1, content.x + x, content.y + y, 0);
        XFlush(m_display);
    }
    void button(unsigned number, bool down)
    {
        XTestFakeButtonEvent(m_display, number, down, 0);
        XFlush(m_display);
    }
    void click(int x, int y)
    {
        moveTo(x, y);
        button(1, true);
        button(1, false);
    }

    unsigned long pixel(int x, int y)
    {
        const GdkRectangle content = contentOnScreen();
        XImage* image =
            XGetImage(m_display, DefaultRootWindow(m_display), content.x + x, content.y + y, 1, 1, AllPlanes, ZPixmap);
        const unsigned long value = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return value;
    }

    Display* m_display = nullptr;
    void* m_pool = nullptr;
    id m_window = nil;
    id m_delegate = nil;
    id m_view = nil;
};

TEST_F(WindowX11Test, OpensAtTheAskedPlaceAndSizeAndMoves)
{
    open(120, 80, 627, 335);
    GdkRectangle content = contentOnScreen();
    EXPECT_EQ(content.x, 120);
    EXPECT_EQ(content.y, 80);

    NSRect frame = objc::msgSend<NSRect>(m_window, objc::sel("frame"));
    frame.origin.x += 30;
    frame.origin.y -= 20;  // down on the screen
    objc::msgSend<void, NSRect, BOOL>(m_window, objc::sel("setFrame:display:"), frame, YES);
    ASSERT_TRUE(pumpUntil([&] { return contentOnScreen().x == 150 && contentOnScreen().y == 100; }));
    EXPECT_EQ(contentOnScreen().width, 627);
}

TEST_F(WindowX11Test, ResizesWithinTheDelegatesLimits)
{
    open(50, 50, 300, 200, kStyle | NSWindowStyleMaskResizable);
    // What a window manager does for the user: the toplevel resized to 100 x 500.
    GtkWidget* area = windowContentArea(static_cast<NSWindow*>(m_window));
    const Window top = gdk_x11_window_get_xid(gtk_widget_get_window(gtk_widget_get_toplevel(area)));
    XResizeWindow(m_display, top, 100, 500);
    XFlush(m_display);
    ASSERT_TRUE(pumpUntil([&] { return contentOnScreen().width == 150 && contentOnScreen().height == 400; }))
        << contentOnScreen().width << " x " << contentOnScreen().height;
    const NSRect frame = objc::msgSend<NSRect>(m_window, objc::sel("frame"));
    EXPECT_DOUBLE_EQ(frame.size.width, 150);
    EXPECT_DOUBLE_EQ(frame.size.height, 400);
    const NSRect view = objc::msgSend<NSRect>(m_view, objc::sel("frame"));
    EXPECT_DOUBLE_EQ(view.size.width, 150);
}

TEST_F(WindowX11Test, TheCloseButtonAsksTheDelegate)
{
    open(60, 60, 200, 100);
    // The window manager's close button sends WM_DELETE_WINDOW.
    GtkWidget* area = windowContentArea(static_cast<NSWindow*>(m_window));
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = gdk_x11_window_get_xid(gtk_widget_get_window(gtk_widget_get_toplevel(area)));
    message.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    objc_retain(m_window);  // to look at it after the close
    objc::msgSend<void, BOOL>(m_window, objc::sel("setReleasedWhenClosed:"), NO);
    XSendEvent(m_display, message.xclient.window, False, NoEventMask, &message);
    XFlush(m_display);
    ASSERT_TRUE(pumpUntil([&] { return g_delegateLog.size() == 2; }));
    EXPECT_EQ(g_delegateLog, (std::vector<std::string>{"windowShouldClose:", "windowWillClose:"}));
    EXPECT_FALSE(objc::msgSend<BOOL>(m_window, objc::sel("isVisible")));
    objc_release(m_window);
}

TEST_F(WindowX11Test, ClicksDoubleClicksAndDragsArriveWhereTheyHappened)
{
    open(100, 100, 300, 200);
    click(40, 30);
    ASSERT_TRUE(pumpUntil([] { return g_seen.size() == 2; }));
    moveTo(45, 31);
    button(1, true);
    button(1, false);
    ASSERT_TRUE(pumpUntil([] { return g_seen.size() == 4; }));
    EXPECT_EQ(g_seen[0].what, "mouseDown:");
    EXPECT_DOUBLE_EQ(g_seen[0].where.x, 40);
    EXPECT_DOUBLE_EQ(g_seen[0].where.y, 30);  // flipped view: from the top
    EXPECT_EQ(g_seen[0].clicks, 1);
    EXPECT_EQ(g_seen[1].what, "mouseUp:");
    EXPECT_EQ(g_seen[2].clicks, 2);
    EXPECT_EQ(g_seen[3].clicks, 2);
    EXPECT_DOUBLE_EQ(g_seen[2].where.x, 45);

    g_seen.clear();
    moveTo(10, 10);
    button(1, true);
    moveTo(60, 70);
    moveTo(400, 90);  // outside the window: the view keeps the drag
    button(1, false);
    ASSERT_TRUE(pumpUntil([] { return !g_seen.empty() && g_seen.back().what == "mouseUp:"; }));
    EXPECT_EQ(g_seen.front().what, "mouseDown:");
    ASSERT_GE(g_seen.size(), 4u);
    EXPECT_EQ(g_seen[g_seen.size() - 2].what, "mouseDragged:");
    EXPECT_DOUBLE_EQ(g_seen[g_seen.size() - 2].where.x, 400);
    EXPECT_DOUBLE_EQ(g_seen.back().where.y, 90);
}

TEST_F(WindowX11Test, AKeyUnderTwoLayouts)
{
    open(100, 100, 200, 100);
    click(5, 5);  // the view becomes first responder
    ASSERT_TRUE(pumpUntil([] { return g_seen.size() == 2; }));
    struct tLayout {
        const char* name;
        char16_t character;
    };
    // X key code 24 is the key right of Tab: Q in US English, A in French.
    for (const tLayout& layout : {tLayout{"fr", u'a'}, tLayout{"us", u'q'}}) {
        g_seen.clear();
        ASSERT_EQ(std::system((std::string("setxkbmap ") + layout.name).c_str()), 0);
        settle(m_display);  // GDK reads the new keymap
        XTestFakeKeyEvent(m_display, 24, True, 0);
        XTestFakeKeyEvent(m_display, 24, False, 0);
        XFlush(m_display);
        ASSERT_TRUE(pumpUntil([] { return !g_seen.empty(); })) << layout.name;
        EXPECT_EQ(g_seen[0].what, "keyDown:");
        EXPECT_EQ(g_seen[0].characters, std::u16string(1, layout.character)) << layout.name;
        EXPECT_EQ(g_seen[0].keyCode, 12) << layout.name;  // the platform's Q key, whatever it writes
    }
}

TEST_F(WindowX11Test, TheScreenShowsWhatTheViewDrew)
{
    open(200, 150, 627, 335);
    ASSERT_TRUE(pumpUntil([&] { return pixel(300, 200) == 0x0000FF; }));
    EXPECT_EQ(pixel(20, 20), 0xFF0000u);
    EXPECT_EQ(pixel(49, 49), 0xFF0000u);
    EXPECT_EQ(pixel(50, 50), 0x0000FFu);
    EXPECT_EQ(pixel(626, 334), 0x0000FFu);
    settle(m_display);

    // The area asked for is drawn again at once. (GTK may widen it to the whole content: the stand-in
    // asks for that area only, which the test cannot see through GTK.)
    g_redColour = false;
    objc::msgSend<void, NSRect>(m_view, objc::sel("setNeedsDisplayInRect:"), NSRect{{10, 10}, {20, 40}});
    objc::msgSend<void>(m_window, objc::sel("displayIfNeeded"));
    XSync(m_display, False);
    EXPECT_EQ(pixel(15, 20), 0x00FF00u);
    EXPECT_EQ(pixel(29, 49), 0x00FF00u);
    EXPECT_EQ(pixel(60, 60), 0x0000FFu);
}

}  // namespace
}  // namespace qvcompat::appkit
