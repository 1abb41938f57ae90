// How style masks and levels appear on a GtkWindow, and the flip between X's root coordinates and
// AppKit's screen coordinates.
#include "AppKit/gtk/WindowTraits.h"

#include <CoreGraphics/CGWindowLevel.h>

#include <gtest/gtest.h>

namespace qvcompat::appkit {
namespace {

constexpr NSWindowStyleMask kTitled = NSWindowStyleMaskTitled;
constexpr NSWindowStyleMask kClosable = NSWindowStyleMaskClosable;
constexpr NSWindowStyleMask kMini = NSWindowStyleMaskMiniaturizable;
constexpr NSWindowStyleMask kResizable = NSWindowStyleMaskResizable;

TEST(WindowTraitsTest, StyleMasksToWindowKinds)
{
    struct tCase {
        const char* name;
        NSWindowStyleMask style;
        bool panel;
        bool decorated, deletable, resizable, acceptFocus, skipTaskbar;
        GdkWindowTypeHint hint;
        unsigned functions;
    };
    const tCase cases[] = {
        {"updater window", kTitled | kClosable | kMini, false, true, true, false, true, false,
         GDK_WINDOW_TYPE_HINT_NORMAL, GDK_FUNC_MOVE | GDK_FUNC_MINIMIZE | GDK_FUNC_CLOSE},
        {"resizable", kTitled | kClosable | kMini | kResizable, false, true, true, true, true, false,
         GDK_WINDOW_TYPE_HINT_NORMAL,
         GDK_FUNC_MOVE | GDK_FUNC_RESIZE | GDK_FUNC_MAXIMIZE | GDK_FUNC_MINIMIZE | GDK_FUNC_CLOSE},
        {"no close button", kTitled | kMini, false, true, false, false, true, false, GDK_WINDOW_TYPE_HINT_NORMAL,
         GDK_FUNC_MOVE | GDK_FUNC_MINIMIZE},
        {"borderless", NSWindowStyleMaskBorderless, false, false, false, false, true, false,
         GDK_WINDOW_TYPE_HINT_NORMAL, GDK_FUNC_MOVE},
        {"borderless closable", kClosable | kMini, false, false, false, false, true, false, GDK_WINDOW_TYPE_HINT_NORMAL,
         GDK_FUNC_MOVE},
        {"panel", kTitled | kClosable | NSWindowStyleMaskUtilityWindow, true, true, true, false, true, true,
         GDK_WINDOW_TYPE_HINT_UTILITY, GDK_FUNC_MOVE | GDK_FUNC_CLOSE},
        {"non-activating panel", kTitled | NSWindowStyleMaskUtilityWindow | NSWindowStyleMaskNonactivatingPanel, true,
         true, false, false, false, true, GDK_WINDOW_TYPE_HINT_UTILITY, GDK_FUNC_MOVE},
        {"non-activating bit on a window", kTitled | NSWindowStyleMaskNonactivatingPanel, false, true, false, false,
         true, false, GDK_WINDOW_TYPE_HINT_NORMAL, GDK_FUNC_MOVE},
    };
    for (const tCase& c : cases) {
        const tGtkWindowTraits traits = gtkTraitsFor(c.style, NSNormalWindowLevel, c.panel);
        EXPECT_EQ(traits.decorated, c.decorated) << c.name;
        EXPECT_EQ(traits.deletable, c.deletable) << c.name;
        EXPECT_EQ(traits.resizable, c.resizable) << c.name;
        EXPECT_EQ(traits.acceptFocus, c.acceptFocus) << c.name;
        EXPECT_EQ(traits.skipTaskbar, c.skipTaskbar) << c.name;
        EXPECT_EQ(traits.typeHint, c.hint) << c.name;
        EXPECT_EQ(unsigned(traits.functions), c.functions) << c.name;
        EXPECT_FALSE(traits.keepAbove) << c.name;
    }
}

TEST(WindowTraitsTest, LevelsKeepAboveOrBelow)
{
    struct tCase {
        CGWindowLevelKey key;
        NSWindowLevel level;
        bool above, below;
    };
    const tCase cases[] = {
        {kCGNormalWindowLevelKey, NSNormalWindowLevel, false, false},
        {kCGFloatingWindowLevelKey, NSFloatingWindowLevel, true, false},
        {kCGModalPanelWindowLevelKey, NSModalPanelWindowLevel, true, false},
        {kCGPopUpMenuWindowLevelKey, NSPopUpMenuWindowLevel, true, false},
        {kCGScreenSaverWindowLevelKey, NSScreenSaverWindowLevel, true, false},
        {kCGDesktopWindowLevelKey, CGWindowLevelForKey(kCGDesktopWindowLevelKey), false, true},
    };
    for (const tCase& c : cases) {
        EXPECT_EQ(CGWindowLevelForKey(c.key), c.level) << c.key;
        const tGtkWindowTraits traits = gtkTraitsFor(kTitled, c.level, false);
        EXPECT_EQ(traits.keepAbove, c.above) << c.key;
        EXPECT_EQ(traits.keepBelow, c.below) << c.key;
    }
    EXPECT_EQ(CGWindowLevelForKey(-1), 0);
    EXPECT_EQ(CGWindowLevelForKey(kCGNumberOfWindowLevelKeys), 0);
    // A borderless window at the pop-up level is a pop-up menu to the window manager.
    EXPECT_EQ(gtkTraitsFor(NSWindowStyleMaskBorderless, NSPopUpMenuWindowLevel, false).typeHint,
              GDK_WINDOW_TYPE_HINT_POPUP_MENU);
}

TEST(WindowGeometryTest, FrameAroundContentWithExtents)
{
    const tFrameExtents extents{2, 3, 30, 4};  // left, right, top (title and menu bar), bottom
    const NSRect content{{100, 200}, {627, 335}};
    const NSRect frame = frameRectForContentRect(content, extents);
    EXPECT_DOUBLE_EQ(frame.origin.x, 98);
    EXPECT_DOUBLE_EQ(frame.origin.y, 196);
    EXPECT_DOUBLE_EQ(frame.size.width, 632);
    EXPECT_DOUBLE_EQ(frame.size.height, 369);
    const NSRect back = contentRectForFrameRect(frame, extents);
    EXPECT_DOUBLE_EQ(back.origin.x, content.origin.x);
    EXPECT_DOUBLE_EQ(back.origin.y, content.origin.y);
    EXPECT_DOUBLE_EQ(back.size.width, content.size.width);
    EXPECT_DOUBLE_EQ(back.size.height, content.size.height);
}

TEST(WindowGeometryTest, RootCoordinatesFlipAtThePrimaryMonitor)
{
    struct tCase {
        tScreenBase base;
        int x, y, width, height;
        double ax, ay;
    };
    const tCase cases[] = {
        // 1280 x 1024 primary at the root's origin: a window at the top-left corner.
        {{0, 0, 1024}, 0, 0, 627, 335, 0, 689},
        {{0, 0, 1024}, 100, 100, 627, 335, 100, 589},
        // At the bottom edge the origin is 0.
        {{0, 0, 1024}, 10, 689, 627, 335, 10, 0},
        // The primary monitor right of another one: x counts from its left edge.
        {{1920, 0, 1080}, 2000, 80, 400, 300, 80, 700},
        // A secondary monitor above the primary one: y above its top is above 1080.
        {{0, 600, 1080}, 0, 0, 400, 300, 0, 1380},
    };
    for (const tCase& c : cases) {
        const NSRect rect = appKitRectFromRoot(c.x, c.y, c.width, c.height, c.base);
        EXPECT_DOUBLE_EQ(rect.origin.x, c.ax);
        EXPECT_DOUBLE_EQ(rect.origin.y, c.ay);
        const GdkRectangle back = rootRectFromAppKit(rect, c.base);
        EXPECT_EQ(back.x, c.x);
        EXPECT_EQ(back.y, c.y);
        EXPECT_EQ(back.width, c.width);
        EXPECT_EQ(back.height, c.height);
    }
}

}  // namespace
}  // namespace qvcompat::appkit
