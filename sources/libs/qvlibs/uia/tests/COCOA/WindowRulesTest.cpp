// The window back end's rules as tables: creation data to AppKit's style mask, level, content size
// and placement; AppKit's bottom-left screen space to the system's top-left one; the size limits.
#include "COCOA/WindowRules.h"
#include "UIA/EventData.h"

#include <gtest/gtest.h>

namespace {

using namespace QV::UIA;
using namespace QV::UIA::COCOA;
using QV::GP::Point;
using QV::GP::Rect;

constexpr NSWindowStyleMask kTitled = NSWindowStyleMaskTitled;
constexpr NSWindowStyleMask kClosable = NSWindowStyleMaskClosable;
constexpr NSWindowStyleMask kMini = NSWindowStyleMaskMiniaturizable;
constexpr NSWindowStyleMask kResizable = NSWindowStyleMaskResizable;
constexpr NSWindowStyleMask kUtility = NSWindowStyleMaskUtilityWindow;
constexpr NSWindowStyleMask kNonActivating = NSWindowStyleMaskNonactivatingPanel;

TEST(WindowRules, StyleMasks)
{
    const struct {
        uint32_t style;
        eWindowClass windowClass;
        NSWindowStyleMask mask;
    } cases[] = {
        // The updater's window: fixed size.
        {0x1, eWindowClassWindow, kTitled | kClosable | kMini},
        {0x0, eWindowClassWindow, kTitled | kClosable | kMini | kResizable},
        // Resizable overrides fixed size.
        {0x1 | 0x2, eWindowClassWindow, kTitled | kClosable | kMini | kResizable},
        {0x8, eWindowClassWindow, kClosable | kMini | kResizable},
        {0x20, eWindowClassWindow, kTitled | kMini | kResizable},
        {0x1 | 0x8 | 0x20, eWindowClassWindow, kMini},
        // Borderless wins over everything but the non-activating bit.
        {0x80 | 0x1 | 0x2 | 0x10, eWindowClassWindow, NSWindowStyleMaskBorderless},
        {0x80 | 0x200, eWindowClassWindow, kNonActivating},
        {0x200, eWindowClassWindow, kTitled | kClosable | kMini | kResizable | kNonActivating},
        // Panels are utility windows.
        {0x1, eWindowClassPanel, kTitled | kClosable | kMini | kUtility},
        {0x80, eWindowClassOverlayPanel, kUtility},
        // Dialogs: titled unless told otherwise, closable only on request; 0x20 and 0x200 do not count.
        {0x0, eWindowClassDialog, kTitled},
        {0x10, eWindowClassDialog, kTitled | kClosable},
        {0x10 | 0x2, eWindowClassDialog, kTitled | kClosable | kResizable},
        {0x8 | 0x10, eWindowClassDialog, NSWindowStyleMaskBorderless},
        {0x80 | 0x2, eWindowClassDialog, kResizable},
        {0x20 | 0x200, eWindowClassDialog, kTitled},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowRules::styleMask(c.style, c.windowClass), c.mask)
            << "style 0x" << std::hex << c.style << " class " << c.windowClass;
}

TEST(WindowRules, Levels)
{
    const std::optional<CGWindowLevelKey> normal;
    const struct {
        uint32_t style;
        eWindowClass windowClass;
        std::optional<CGWindowLevelKey> key;
    } cases[] = {
        {0x0, eWindowClassWindow, normal},
        {0x800, eWindowClassWindow, normal},  // pop-up level only for floating windows and panels
        {0x100, eWindowClassWindow, kCGFloatingWindowLevelKey},
        {0x100 | 0x800, eWindowClassWindow, kCGPopUpMenuWindowLevelKey},
        {0x0, eWindowClassPanel, kCGFloatingWindowLevelKey},
        {0x800, eWindowClassPanel, kCGPopUpMenuWindowLevelKey},
        {0x0, eWindowClassOverlayPanel, kCGFloatingWindowLevelKey},
        {0x2000, eWindowClassWindow, kCGScreenSaverWindowLevelKey},
        {0x2000 | 0x800, eWindowClassPanel, kCGScreenSaverWindowLevelKey},
        {0x2000 | 0x100, eWindowClassDialog, kCGScreenSaverWindowLevelKey},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowRules::levelKey(c.style, c.windowClass), c.key)
            << "style 0x" << std::hex << c.style << " class " << c.windowClass;
    EXPECT_EQ(CGWindowLevelForKey(kCGFloatingWindowLevelKey), NSFloatingWindowLevel);
}

TEST(WindowRules, ContentSizeAndPositionComeFromTheRectOnlyWhenFlagged)
{
    WindowBase::CreateData data;
    data.rect = Rect(30, 40, 30 + 627, 40 + 335);
    const CGSize defaultSize = WindowRules::contentSize(data);
    EXPECT_EQ(defaultSize.width, 400);
    EXPECT_EQ(defaultSize.height, 300);
    EXPECT_EQ(WindowRules::framePosition(data), Point(100, 100));

    data.flags = WindowBase::eCreateFlagSize | WindowBase::eCreateFlagPosition;
    const CGSize asked = WindowRules::contentSize(data);
    EXPECT_EQ(asked.width, 627);
    EXPECT_EQ(asked.height, 335);
    EXPECT_EQ(WindowRules::framePosition(data), Point(30, 40));
}

TEST(WindowRules, AppKitRectanglesMirrorAboutTheFirstScreensTopEdge)
{
    // A 1280 x 1024 first screen at AppKit's origin.
    const CGFloat H = WindowRules::topEdge(CGRectMake(0, 0, 1280, 1024));
    EXPECT_EQ(H, 1024);
    const struct {
        CGRect appKit;
        Rect system;
    } cases[] = {
        {CGRectMake(0, 0, 1280, 1024), Rect(0, 0, 1280, 1024)},
        {CGRectMake(100, 1024 - 100 - 335, 627, 335), Rect(100, 100, 727, 435)},
        // A window on a screen above the first one has negative system coordinates.
        {CGRectMake(-50, 1100, 200, 100), Rect(-50, -176, 150, -76)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowRules::fromAppKit(c.appKit, H), c.system);
        const CGRect back = WindowRules::toAppKit(c.system, H);
        EXPECT_EQ(back.origin.x, c.appKit.origin.x);
        EXPECT_EQ(back.origin.y, c.appKit.origin.y);
        EXPECT_EQ(back.size.width, c.appKit.size.width);
        EXPECT_EQ(back.size.height, c.appKit.size.height);
    }
    // Fractions are cut, not rounded.
    EXPECT_EQ(WindowRules::fromAppKit(CGRectMake(10.75, 500.5, 100.5, 20.25), H), Rect(10, 503, 111, 523));
    // The top-left corner of a 357 high frame placed at (100, 100).
    const CGPoint origin = WindowRules::originForTopLeft(Point(100, 100), 357, H);
    EXPECT_EQ(origin.x, 100);
    EXPECT_EQ(origin.y, 1024 - 357 - 100);
    // AppKit keeps the edge in single precision.
    EXPECT_EQ(WindowRules::topEdge(CGRectMake(0, 0.25, 10, 1000.05)), static_cast<float>(1000.3));
    EXPECT_NE(WindowRules::topEdge(CGRectMake(0, 0.25, 10, 1000.05)), 1000.3);
}

TEST(WindowRules, SizeLimits)
{
    const auto limits = [](uint32_t flags, int minW, int minH, int maxW, int maxH) {
        SizeLimitsEventData data;
        data.flags = flags;
        data.minWidth = minW;
        data.minHeight = minH;
        data.maxWidth = maxW;
        data.maxHeight = maxH;
        return data;
    };
    const std::optional<Point> unchanged;
    const struct {
        SizeLimitsEventData limits;
        Point proposed;
        std::optional<Point> result;
    } cases[] = {
        {limits(eSizeLimitMinimum, 200, 100, 0, 0), Point(150, 300), Point(200, 300)},
        {limits(eSizeLimitMinimum, 200, 100, 0, 0), Point(250, 50), Point(250, 100)},
        {limits(eSizeLimitMinimum, 200, 100, 0, 0), Point(200, 100), unchanged},
        {limits(eSizeLimitMaximum, 0, 0, 300, 200), Point(400, 150), Point(300, 150)},
        {limits(eSizeLimitMaximum, 0, 0, 300, 200), Point(250, 500), Point(250, 200)},
        {limits(eSizeLimitMaximum, 0, 0, 300, 200), Point(300, 200), unchanged},
        {limits(eSizeLimitMinimum | eSizeLimitMaximum, 200, 100, 300, 200), Point(100, 900), Point(200, 200)},
        {limits(eSizeLimitMinimum | eSizeLimitMaximum, 200, 100, 300, 200), Point(250, 150), unchanged},
        // A handled query with neither flag leaves the proposal.
        {limits(0, 200, 100, 300, 200), Point(10, 900), unchanged},
    };
    for (const auto& c : cases) {
        const std::optional<Point> result = WindowRules::limitContentSize(c.limits, c.proposed);
        ASSERT_EQ(result.has_value(), c.result.has_value()) << c.proposed.x << "x" << c.proposed.y;
        if (result) {
            EXPECT_EQ(*result, *c.result) << c.proposed.x << "x" << c.proposed.y;
        }
    }
}

}  // namespace
