#include "AppKit/gtk/WindowTraits.h"

#include "CoreGraphics/standin/Monitors.h"

#include <cmath>

namespace qvcompat::appkit {

tGtkWindowTraits gtkTraitsFor(NSWindowStyleMask style, NSWindowLevel level, bool panel)
{
    tGtkWindowTraits traits;
    const bool titled = style & NSWindowStyleMaskTitled;
    traits.decorated = titled;
    traits.deletable = titled && (style & NSWindowStyleMaskClosable);
    traits.resizable = style & NSWindowStyleMaskResizable;

    unsigned functions = GDK_FUNC_MOVE;
    if (traits.resizable)
        functions |= GDK_FUNC_RESIZE | GDK_FUNC_MAXIMIZE;
    if (titled && (style & NSWindowStyleMaskMiniaturizable))
        functions |= GDK_FUNC_MINIMIZE;
    if (traits.deletable)
        functions |= GDK_FUNC_CLOSE;
    traits.functions = static_cast<GdkWMFunction>(functions);

    if (panel || (style & NSWindowStyleMaskUtilityWindow)) {
        traits.typeHint = GDK_WINDOW_TYPE_HINT_UTILITY;
        traits.skipTaskbar = true;
    }
    if (panel && (style & NSWindowStyleMaskNonactivatingPanel))
        traits.acceptFocus = false;

    // X has no numbered levels: above normal keeps the window above the others, below normal under.
    traits.keepAbove = level > NSNormalWindowLevel;
    traits.keepBelow = level < NSNormalWindowLevel;
    if (level >= NSPopUpMenuWindowLevel && level < NSScreenSaverWindowLevel && !titled)
        traits.typeHint = GDK_WINDOW_TYPE_HINT_POPUP_MENU;
    return traits;
}

NSRect frameRectForContentRect(NSRect content, const tFrameExtents& extents)
{
    return NSRect{
        {content.origin.x - extents.left, content.origin.y - extents.bottom},
        {content.size.width + extents.left + extents.right, content.size.height + extents.top + extents.bottom}};
}

NSRect contentRectForFrameRect(NSRect frame, const tFrameExtents& extents)
{
    return NSRect{{frame.origin.x + extents.left, frame.origin.y + extents.bottom},
                  {frame.size.width - extents.left - extents.right, frame.size.height - extents.top - extents.bottom}};
}

tScreenBase primaryScreenBase()
{
    // The main display comes first.
    const std::vector<coregraphics::tDisplay> displays = coregraphics::currentDisplays();
    if (displays.empty())
        return tScreenBase{};
    const coregraphics::tMonitor& main = displays.front().monitor;
    return tScreenBase{main.x, main.y, main.height};
}

NSRect appKitRectFromRoot(int x, int y, int width, int height, const tScreenBase& base)
{
    return NSRect{{static_cast<CGFloat>(x - base.x), static_cast<CGFloat>(base.y + base.height - y - height)},
                  {static_cast<CGFloat>(width), static_cast<CGFloat>(height)}};
}

GdkRectangle rootRectFromAppKit(NSRect rect, const tScreenBase& base)
{
    const int width = static_cast<int>(std::lround(rect.size.width));
    const int height = static_cast<int>(std::lround(rect.size.height));
    const int x = static_cast<int>(std::lround(rect.origin.x)) + base.x;
    const int y = base.y + base.height - static_cast<int>(std::lround(rect.origin.y)) - height;
    return GdkRectangle{x, y, width, height};
}

}  // namespace qvcompat::appkit
