// Standalone windows on a real X server (an Xvfb of the test's own, so that focus, pointer and
// keyboard layout are nobody else's; no window manager), made through
// StandaloneWindow and the Cocoa back end: placement and content size, moves, resizes within the
// window's limits, the close button through the delegate, clicks, double-clicks and drags typed
// through XTest, a key under two keyboard layouts, and the pixels X shows after a paint, whole or
// of a small area.
#include "Keys/Keys.h"
#include "QVTest/MainLoop.h"
#include "QVTest/RunCommand.h"
#include "QVTest/XServerTest.h"
#include "UIA/DeviceContext.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/KeyCodes.h"
#include "UIA/Picture.h"
#include "UIA/Window.h"
#include "UIA/WindowImpl.h"

#include <Foundation/Foundation.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

// After GoogleTest: Xlib's macros (None, Bool, Status) would clash with its names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/Xutil.h>

namespace {

using namespace QV::UIA;
using QV::GP::Point;
using QV::GP::Rect;
using QV::TEST::runMainLoopUntil;

// One event as the window received it.
struct tSeen {
    unsigned code = 0;
    Point pos;
    uint32_t button = 0;
    uint32_t state = 0;
    uint32_t key = 0;
    std::string text;
};

// A standalone window that records its events, answers its size limits and close requests as the
// test says, and paints `picture`.
class TestWindow : public StandaloneWindow {
public:
    explicit TestWindow(bool* gone = nullptr) : m_gone(gone) {}
    ~TestWindow() override
    {
        if (m_gone)
            *m_gone = true;
    }

    bool onEvent(unsigned code, EventData* data) override
    {
        tSeen seen;
        seen.code = code;
        switch (code) {
        case eEventMouseButton:
            seen.button = static_cast<MouseButtonEventData*>(data)->button;
            seen.state = static_cast<MouseButtonEventData*>(data)->state;
            [[fallthrough]];
        case eEventMouseDrag: seen.pos = static_cast<MouseEventData*>(data)->pos; break;
        case eEventKeyDown:
            seen.key = static_cast<KeyEventData*>(data)->key;
            events.push_back(seen);
            return false;  // on to the text input
        case eEventTextInsert: seen.text = static_cast<TextEventData*>(data)->text; break;
        case eEventWindowQuerySizeLimits: {
            auto* limits = static_cast<SizeLimitsEventData*>(data);
            limits->flags = eSizeLimitMinimum | eSizeLimitMaximum;
            limits->minWidth = 200;
            limits->minHeight = 100;
            limits->maxWidth = 700;
            limits->maxHeight = 500;
            return true;
        }
        case eEventWindowCloseRequest:
            ++closeRequests;
            static_cast<AllowEventData*>(data)->allow = allowClose;
            return true;
        case eEventWindowPaint:
            ++paints;
            static_cast<PaintEventData*>(data)->dc->updateFromPicture(picture, false);
            return true;
        default: break;
        }
        events.push_back(seen);
        return code != eEventWindowDestroyed && StandaloneWindow::onEvent(code, data);
    }

    std::vector<tSeen> ofCode(unsigned code) const
    {
        std::vector<tSeen> found;
        for (const tSeen& seen : events)
            if (seen.code == code)
                found.push_back(seen);
        return found;
    }

    std::vector<tSeen> events;
    Picture picture;
    int paints = 0;
    int closeRequests = 0;
    bool allowClose = true;

private:
    bool* m_gone;
};

// The server is the process's default display: GDK opens it at the first window.
class StandaloneWindowX11 : public QV::TEST::XServerTest<> {
protected:
    void SetUp() override
    {
        XServerTest::SetUp();
        if (IsSkipped())
            return;
        m_pool = objc_autoreleasePoolPush();
    }

    void TearDown() override
    {
        if (m_window && m_window->getImpl())
            m_window->destroy();
        delete m_window;
        if (m_pool)
            objc_autoreleasePoolPop(m_pool);
        XServerTest::TearDown();
    }

    // A shown window whose content's top-left lies at (left, top), of the size asked.
    TestWindow& open(Rect rect, uint32_t style = WindowBase::eStyleFixedSize)
    {
        m_window = new TestWindow(&m_gone);
        QV::UIA::Window::CreateData data;
        data.flags = WindowBase::eCreateFlagSize | WindowBase::eCreateFlagPosition;
        data.style = style;
        data.rect = rect;
        data.setTitle("Vardolin");
        EXPECT_TRUE(m_window->create(data));
        m_window->show(true);
        m_window->setKeyFocus();
        EXPECT_TRUE(runMainLoopUntil([&] { return onScreen() == rect && contentRect() == rect; }))
            << describe(onScreen());
        return *m_window;
    }

    // Where the window thinks its content is.
    Rect contentRect() const
    {
        Rect content;
        if (m_window && m_window->getImpl())
            m_window->getImpl()->getRect(content, true);
        return content;
    }

    // The X window of the platform window (AppKit's window number is its X id once shown).
    ::Window xid() const
    {
        id window = objc::msgSend<id>(m_window->getNSView(), objc::sel("window"));
        return static_cast<::Window>(objc::msgSend<NSInteger>(window, objc::sel("windowNumber")));
    }

    // Where X has the window: root coordinates and size (no window manager: the content).
    Rect onScreen() const
    {
        if (!m_window || !m_window->getImpl())
            return Rect();
        const auto place = placeOnScreen(xid());
        return place.shown ? Rect(place.left, place.top, place.left + place.width, place.top + place.height) : Rect();
    }

    static std::string describe(const Rect& r)
    {
        return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width()) + "x" +
               std::to_string(r.height());
    }

    void moveTo(int x, int y)
    {
        const Rect content = onScreen();
        XTestFakeMotionEvent(m_display, -1, content.left + x, content.top + y, 0);
        XFlush(m_display);
    }
    void button(bool down)
    {
        XTestFakeButtonEvent(m_display, 1, down, 0);
        XFlush(m_display);
    }
    void typeKeycode(unsigned keycode)
    {
        XTestFakeKeyEvent(m_display, keycode, True, 0);
        XTestFakeKeyEvent(m_display, keycode, False, 0);
        XFlush(m_display);
    }

    void* m_pool = nullptr;
    TestWindow* m_window = nullptr;
    bool m_gone = false;
};

TEST_F(StandaloneWindowX11, OpensWhereAskedMovesAndResizesWithinItsLimits)
{
    TestWindow& window = open(Rect(10, 20, 10 + 627, 20 + 335), 0);
    Rect content;
    window.getImpl()->getRect(content, true);
    EXPECT_EQ(content, Rect(10, 20, 637, 355));
    EXPECT_EQ(window.getSize(true), Point(627, 335));
    EXPECT_EQ(window.ofCode(eEventWindowCreated).size(), 1u);

    window.getImpl()->setPosition(Point(12, 40), true);
    const Rect moved(12, 40, 639, 375);
    EXPECT_TRUE(runMainLoopUntil([&] { return onScreen() == moved && contentRect() == moved; }))
        << describe(onScreen());

    // What a window manager does for the user: the window resized to 900 x 50. The window answers
    // the platform's question with the size its limits allow, and takes that size.
    XResizeWindow(m_display, xid(), 900, 50);
    XFlush(m_display);
    EXPECT_TRUE(runMainLoopUntil([&] { return contentRect().width() == 700 && contentRect().height() == 100; }))
        << describe(contentRect());
    EXPECT_EQ(window.getSize(true), Point(700, 100));
}

TEST_F(StandaloneWindowX11, TheCloseButtonAsksTheWindowAndClosesItWhenAllowed)
{
    TestWindow& window = open(Rect(60, 60, 260, 160));
    window.setAutoDelete(true);
    const auto pressCloseButton = [&] {
        // The window manager's close button sends WM_DELETE_WINDOW.
        XEvent message{};
        message.xclient.type = ClientMessage;
        message.xclient.window = xid();
        message.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        message.xclient.format = 32;
        message.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        message.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, message.xclient.window, False, NoEventMask, &message);
        XFlush(m_display);
    };
    window.allowClose = false;
    pressCloseButton();
    EXPECT_TRUE(runMainLoopUntil([&] { return window.closeRequests == 1; }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.ofCode(eEventWindowDestroyed).empty());

    window.allowClose = true;
    pressCloseButton();
    // The window object goes with its platform window (auto-delete).
    EXPECT_TRUE(runMainLoopUntil([&] { return m_gone; }));
    m_window = nullptr;
}

TEST_F(StandaloneWindowX11, ClicksDoubleClicksAndDragsArriveWhereTheyHappened)
{
    TestWindow& window = open(Rect(100, 100, 400, 300));
    moveTo(40, 30);
    button(true);
    button(false);
    moveTo(41, 31);
    button(true);
    button(false);
    ASSERT_TRUE(runMainLoopUntil([&] { return window.ofCode(eEventMouseButton).size() == 4; }));
    const std::vector<tSeen> clicks = window.ofCode(eEventMouseButton);
    const struct {
        Point pos;
        uint32_t state;
    } expected[] = {
        {Point(40, 30), eMouseButtonDown},
        {Point(40, 30), eMouseButtonUp},
        {Point(41, 31), eMouseButtonDoubleClick},
        {Point(41, 31), eMouseButtonUp},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(clicks[i].pos, expected[i].pos) << i;
        EXPECT_EQ(clicks[i].state, expected[i].state) << i;
        EXPECT_EQ(clicks[i].button, uint32_t(eMouseButtonLeft)) << i;
    }

    window.events.clear();
    moveTo(10, 10);
    button(true);
    moveTo(60, 70);
    moveTo(350, 90);  // outside the window: the view keeps the drag
    button(false);
    ASSERT_TRUE(runMainLoopUntil([&] { return window.ofCode(eEventMouseButton).size() == 2; }));
    const std::vector<tSeen> drags = window.ofCode(eEventMouseDrag);
    ASSERT_FALSE(drags.empty());
    EXPECT_EQ(drags.back().pos, Point(350, 90));
    EXPECT_EQ(window.ofCode(eEventMouseButton)[1].pos, Point(350, 90));
}

TEST_F(StandaloneWindowX11, AKeyTypesWhatTheKeyboardLayoutSays)
{
    constexpr unsigned kKeycodeQ = 24;  // the key right of Tab: 'q' in US, 'a' in French
    const struct {
        const char* layout;
        uint32_t key;
        const char* text;
    } layouts[] = {{"us", 'Q', "q"}, {"fr", 'A', "a"}};
    TestWindow& window = open(Rect(100, 100, 300, 200));
    ASSERT_TRUE(runMainLoopUntil([&] { return !window.ofCode(eEventWindowBecameKey).empty(); }));
    moveTo(5, 5);
    button(true);
    button(false);  // the view becomes the first responder
    ASSERT_TRUE(runMainLoopUntil([&] { return window.ofCode(eEventMouseButton).size() == 2; }));
    for (const auto& layout : layouts) {
        const std::string setLayout = "setxkbmap -display " + server().display() + " -model pc105 " + layout.layout;
        ASSERT_EQ(QV::TEST::runCommand(setLayout).status, 0) << layout.layout;
        runMainLoopUntil([] { return false; }, std::chrono::milliseconds(200));  // the keymap change arrives
        DETAIL::Keys::buildTables();
        window.events.clear();
        typeKeycode(kKeycodeQ);
        ASSERT_TRUE(runMainLoopUntil([&] { return !window.ofCode(eEventTextInsert).empty(); }))
            << layout.layout << ": " << window.ofCode(eEventKeyDown).size() << " key downs of " << window.events.size()
            << " events";
        ASSERT_FALSE(window.ofCode(eEventKeyDown).empty());
        EXPECT_EQ(window.ofCode(eEventKeyDown)[0].key & eKeyCodeMask, layout.key) << layout.layout;
        EXPECT_EQ(window.ofCode(eEventTextInsert)[0].text, layout.text) << layout.layout;
    }
}

TEST_F(StandaloneWindowX11, WhatXShowsIsWhatThePaintDrew)
{
    const Rect place(6, 7, 6 + 627, 7 + 335);
    TestWindow& window = open(place);
    window.picture.setSize(627, 335);
    for (int y = 0; y < 335; ++y)
        for (int x = 0; x < 627; ++x)
            window.picture.setPixelUC(
                x, y, 0xFF000000u | uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF) << 8 | uint32_t((x ^ y) & 0xFF));
    const int before = window.paints;
    window.invalidate();
    ASSERT_TRUE(runMainLoopUntil([&] { return window.paints > before; }));
    XSync(m_display, False);
    runMainLoopUntil([] { return false; }, std::chrono::milliseconds(50));

    XImage* image =
        XGetImage(m_display, DefaultRootWindow(m_display), place.left, place.top, 627, 335, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int wrong = 0;
    for (int y = 0; y < 335; ++y)
        for (int x = 0; x < 627; ++x)
            if ((XGetPixel(image, x, y) & 0xFFFFFF) != (window.picture.getPixel(x, y) & 0xFFFFFF) && wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": X shows " << std::hex << XGetPixel(image, x, y);
    XDestroyImage(image);
    EXPECT_EQ(wrong, 0);
}

// A small invalidated area is the only part painted again: X shows the new picture inside it and
// the old one everywhere else, so a small change costs a small paint.
TEST_F(StandaloneWindowX11, ASmallInvalidatedAreaIsTheOnlyPartPaintedAgain)
{
    const Rect place(6, 7, 6 + 627, 7 + 335);
    TestWindow& window = open(place);
    constexpr uint32_t kOld = 0xFF204060;
    window.picture.setSize(627, 335);
    window.picture.clear(kOld);
    int before = window.paints;
    window.invalidate();
    ASSERT_TRUE(runMainLoopUntil([&] { return window.paints > before; }));
    XSync(m_display, False);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }

    for (int y = 0; y < 335; ++y)
        for (int x = 0; x < 627; ++x)
            window.picture.setPixelUC(x, y, 0xFF000000u | uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF) << 8 | 0x11);
    const Rect area(100, 120, 140, 160);
    before = window.paints;
    window.getImpl()->invalidateRect(area);
    ASSERT_TRUE(runMainLoopUntil([&] { return window.paints > before; }));
    XSync(m_display, False);

    XImage* image =
        XGetImage(m_display, DefaultRootWindow(m_display), place.left, place.top, 627, 335, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int wrong = 0;
    for (int y = 0; y < 335; ++y)
        for (int x = 0; x < 627; ++x) {
            const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            const uint32_t expected = (inside ? window.picture.getPixel(x, y) : kOld) & 0xFFFFFF;
            if ((XGetPixel(image, x, y) & 0xFFFFFF) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << (inside ? " inside" : " outside") << ": X shows "
                              << std::hex << XGetPixel(image, x, y) << " instead of " << expected;
        }
    XDestroyImage(image);
    EXPECT_EQ(wrong, 0);
}

}  // namespace
