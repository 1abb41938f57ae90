// Platform windows made through StandaloneWindow, looked at through AppKit's own answers (no window
// is shown): style mask, full-screen behaviour, level, transparency, placement, and the geometry and
// state operations that must leave a window where it was.
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/Window.h"
#include "UIA/WindowImpl.h"
#include "UIA/WindowState.h"

#include <AppKit/NSWindow.h>
#include <CoreGraphics/CGWindowLevel.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace QV::UIA;
using QV::GP::Point;
using QV::GP::Rect;

struct Made {
    explicit Made(uint32_t style, uint32_t flags = WindowBase::eCreateFlagSize | WindowBase::eCreateFlagPosition)
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
    }

    NSUInteger styleMask() const { return objc::msgSend<NSUInteger>(platform, objc::sel("styleMask")); }
    NSUInteger behaviour() const { return objc::msgSend<NSUInteger>(platform, objc::sel("collectionBehavior")); }
    NSInteger level() const { return objc::msgSend<NSInteger>(platform, objc::sel("level")); }

    StandaloneWindow window;
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

    WindowState far = state;
    far.position = Point(-10000, 0);
    far.size = Point(0, 120);  // not positive: kept
    impl.restoreState(far);
    EXPECT_EQ(impl.getPosition(false), position);
    EXPECT_EQ(impl.getSize(true), Point(300, 200));
}

}  // namespace
