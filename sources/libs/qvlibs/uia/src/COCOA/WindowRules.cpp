#include "COCOA/WindowRules.h"

#include "UIA/EventData.h"

#include <algorithm>

namespace QV::UIA::COCOA::WindowRules {

namespace {

constexpr CGFloat kDefaultWidth = 400;
constexpr CGFloat kDefaultHeight = 300;
constexpr int32_t kDefaultPosition = 100;

}  // namespace

NSWindowStyleMask styleMask(uint32_t style, eWindowClass windowClass)
{
    NSWindowStyleMask mask = NSWindowStyleMaskBorderless;
    if (windowClass == eWindowClassDialog) {
        if (!(style & (WindowBase::eStyleNoTitleBar | WindowBase::eStyleBorderless))) {
            mask = NSWindowStyleMaskTitled;
            if (style & WindowBase::eStyleClosable)
                mask |= NSWindowStyleMaskClosable;
        }
        if (style & WindowBase::eStyleResizable)
            mask |= NSWindowStyleMaskResizable;
        return mask;
    }
    if (!(style & WindowBase::eStyleBorderless)) {
        mask = NSWindowStyleMaskTitled | NSWindowStyleMaskClosable | NSWindowStyleMaskMiniaturizable |
               NSWindowStyleMaskResizable;
        if ((style & WindowBase::eStyleFixedSize) && !(style & WindowBase::eStyleResizable))
            mask &= ~NSWindowStyleMaskResizable;
        if (style & WindowBase::eStyleNoTitleBar)
            mask &= ~NSWindowStyleMaskTitled;
        if (style & WindowBase::eStyleNoCloseButton)
            mask &= ~NSWindowStyleMaskClosable;
    }
    if (style & WindowBase::eStyleNonActivating)
        mask |= NSWindowStyleMaskNonactivatingPanel;
    if (windowClass == eWindowClassPanel || windowClass == eWindowClassOverlayPanel)
        mask |= NSWindowStyleMaskUtilityWindow;
    return mask;
}

std::optional<CGWindowLevelKey> levelKey(uint32_t style, eWindowClass windowClass)
{
    std::optional<CGWindowLevelKey> key;
    if (windowClass == eWindowClassPanel || windowClass == eWindowClassOverlayPanel ||
        (style & WindowBase::eStyleFloating))
        key = (style & WindowBase::eStylePopUpLevel) ? kCGPopUpMenuWindowLevelKey : kCGFloatingWindowLevelKey;
    if (style & WindowBase::eStyleScreenSaverLevel)
        key = kCGScreenSaverWindowLevelKey;
    return key;
}

CGSize contentSize(const WindowBase::CreateData& data)
{
    if (data.flags & WindowBase::eCreateFlagSize)
        return CGSizeMake(data.rect.width(), data.rect.height());
    return CGSizeMake(kDefaultWidth, kDefaultHeight);
}

GP::Point framePosition(const WindowBase::CreateData& data)
{
    if (data.flags & WindowBase::eCreateFlagPosition)
        return GP::Point(data.rect.left, data.rect.top);
    return GP::Point(kDefaultPosition, kDefaultPosition);
}

CGFloat topEdge(const CGRect& firstScreenFrame)
{
    return static_cast<float>(firstScreenFrame.origin.y + firstScreenFrame.size.height);
}

GP::Rect fromAppKit(const CGRect& rect, CGFloat H)
{
    const CGFloat left = rect.origin.x;
    const CGFloat top = H - rect.origin.y - rect.size.height;
    return GP::Rect(static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left + rect.size.width),
                    static_cast<int32_t>(top + rect.size.height));
}

CGRect toAppKit(const GP::Rect& rect, CGFloat H)
{
    return CGRectMake(rect.left, H - rect.height() - rect.top, rect.width(), rect.height());
}

CGPoint originForTopLeft(const GP::Point& topLeft, CGFloat height, CGFloat H)
{
    return CGPointMake(topLeft.x, H - height - topLeft.y);
}

std::optional<GP::Point> limitContentSize(const SizeLimitsEventData& limits, GP::Point proposed)
{
    GP::Point size = proposed;
    bool changed = false;
    if (limits.flags & eSizeLimitMinimum) {
        changed = size.x < limits.minWidth || size.y < limits.minHeight;
        size.x = std::max(size.x, limits.minWidth);
        size.y = std::max(size.y, limits.minHeight);
    }
    if (limits.flags & eSizeLimitMaximum) {
        const int32_t width = size.x;
        size.x = std::min(size.x, limits.maxWidth);
        if (size.y > limits.maxHeight) {
            size.y = limits.maxHeight;
            changed = true;
        }
        changed = changed || size.x < width;
    }
    if (!changed)
        return std::nullopt;
    return size;
}

}  // namespace QV::UIA::COCOA::WindowRules
