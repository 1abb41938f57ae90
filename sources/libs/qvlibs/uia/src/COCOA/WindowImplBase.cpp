#include "COCOA/WindowImplBase.h"

#include "COCOA/Screens.h"
#include "COCOA/View.h"
#include "GP/NSStringRef.h"
#include "UIA/EventCodes.h"
#include "UIA/WindowHost.h"
#include "UIA/WindowState.h"

#include <AppKit/NSTextInputContext.h>
#include <AppKit/NSView.h>
#include <AppKit/NSWindow.h>

#include <utility>

namespace QV::UIA::COCOA {

namespace {

using objc::msgSend;

const objc::Selector s_frame{"frame"};
const objc::Selector s_bounds{"bounds"};
const objc::Selector s_setFrameDisplay{"setFrame:display:"};
const objc::Selector s_setFrameOrigin{"setFrameOrigin:"};
const objc::Selector s_setFrameSize{"setFrameSize:"};
const objc::Selector s_contentRectForFrameRect{"contentRectForFrameRect:"};
const objc::Selector s_frameRectForContentRect{"frameRectForContentRect:"};
const objc::Selector s_convertRectToView{"convertRect:toView:"};
const objc::Selector s_convertRectToScreen{"convertRectToScreen:"};
const objc::Selector s_window{"window"};
const objc::Selector s_superview{"superview"};
const objc::Selector s_contentView{"contentView"};
const objc::Selector s_isVisible{"isVisible"};
const objc::Selector s_isHidden{"isHidden"};
const objc::Selector s_setTitle{"setTitle:"};
const objc::Selector s_orderFront{"orderFront:"};
const objc::Selector s_orderOut{"orderOut:"};
const objc::Selector s_close{"close"};
const objc::Selector s_miniaturize{"miniaturize:"};
const objc::Selector s_deminiaturize{"deminiaturize:"};
const objc::Selector s_isMiniaturized{"isMiniaturized"};
const objc::Selector s_zoom{"zoom:"};
const objc::Selector s_isZoomed{"isZoomed"};
const objc::Selector s_setNeedsDisplay{"setNeedsDisplay:"};
const objc::Selector s_setNeedsDisplayInRect{"setNeedsDisplayInRect:"};
const objc::Selector s_displayIfNeeded{"displayIfNeeded"};
const objc::Selector s_removeFromSuperview{"removeFromSuperview"};
const objc::Selector s_addSubview{"addSubview:"};
const objc::Selector s_autoresizingMask{"autoresizingMask"};
const objc::Selector s_setAutoresizingMask{"setAutoresizingMask:"};
const objc::Selector s_makeKeyWindow{"makeKeyWindow"};
const objc::Selector s_setAlwaysInterceptMouse{"setAlwaysInterceptMouse:"};
const objc::Selector s_inputContext{"inputContext"};
const objc::Selector s_discardMarkedText{"discardMarkedText"};
const objc::Selector s_setDocumentEdited{"setDocumentEdited:"};
const objc::Selector s_level{"level"};

// Runs its scope inside an autorelease pool, as AppKit's own event handling would.
class AutoreleaseScope {
public:
    AutoreleaseScope() : m_pool(objc_autoreleasePoolPush()) {}
    ~AutoreleaseScope() { objc_autoreleasePoolPop(m_pool); }
    AutoreleaseScope(const AutoreleaseScope&) = delete;
    AutoreleaseScope& operator=(const AutoreleaseScope&) = delete;

private:
    void* m_pool;
};

CGRect frameOf(id object) { return msgSend<CGRect>(object, s_frame); }

}  // namespace

WindowImplBase::WindowImplBase(WindowBase* owner) : DETAIL::WindowImpl(owner), m_pDC(new DeviceContext(0, 0)) {}

WindowImplBase::~WindowImplBase()
{
    if (m_pView)
        View::detachImpl(m_pView);
}

void WindowImplBase::onViewDestroyed()
{
    WindowBase* owner = getOwner();
    owner->onImplDestroyed();
    if (getDeleteWindowObject())
        delete owner;
    delete this;
}

void WindowImplBase::attach(id view, id window)
{
    m_pView = view;
    m_pWindow = window;
}

void WindowImplBase::attachWindow(id window) { m_pWindow = window; }

DeviceContext* WindowImplBase::attachDCTo(CGContextRef context)
{
    m_pDC->attachOSHandle(context);
    return m_pDC.get();
}

void WindowImplBase::detachDC() { m_pDC->detachOSHandle(); }

bool WindowImplBase::updateOffscreenPicture(const Picture&) { return false; }

bool WindowImplBase::isVisible() const
{
    if (m_pWindow && !msgSend<BOOL>(m_pWindow, s_isVisible))
        return false;
    if (m_pView)
        return !msgSend<BOOL>(m_pView, s_isHidden);
    return m_pWindow != nil;
}

void WindowImplBase::setTitle(const char* utf8)
{
    if (!m_pWindow)
        return;
    GP::NSStringRef title;
    title.createWith(utf8, true);
    msgSend<void, id>(m_pWindow, s_setTitle, title.get());
}

void WindowImplBase::setMenu(const HMenuBar&) {}

void WindowImplBase::setWindowIcon(AppModule*, int) {}

void WindowImplBase::setCursor(void* cursor)
{
    m_pCursor = cursor;
    DETAIL::WindowHost::get().setSystemCursor(cursor);
}

void WindowImplBase::resetCursor()
{
    m_pCursor = nullptr;
    DETAIL::WindowHost::get().setSystemCursor(nullptr);
}

void WindowImplBase::show(bool show) { msgSend<void, id>(m_pWindow, show ? s_orderFront : s_orderOut, nil); }

void WindowImplBase::activate() { msgSend<void, id>(m_pWindow, s_orderFront, nil); }

void WindowImplBase::destroy()
{
    id window = m_pWindow;
    EventData none;
    getOwner()->sendEvent(eEventWindowDestroyed, &none);
    if (m_pView) {
        m_pWindow = nil;
        View::detachImpl(std::exchange(m_pView, nil));
    }
    AutoreleaseScope pool;
    // Closing releases the window (released-when-closed), which releases its views.
    msgSend<void>(window, s_close);
    onViewDestroyed();
}

void WindowImplBase::minimize() { msgSend<void, id>(m_pWindow, s_miniaturize, nil); }

void WindowImplBase::normalSize()
{
    if (isMinimized())
        msgSend<void, id>(m_pWindow, s_deminiaturize, nil);
}

void WindowImplBase::idealSize()
{
    if (!m_pWindow) {
        DETAIL::WindowImpl::idealSize();
        return;
    }
    if (!isMinimized() && !msgSend<BOOL>(m_pWindow, s_isZoomed))
        msgSend<void, id>(m_pWindow, s_zoom, nil);
}

bool WindowImplBase::isMinimized() const { return msgSend<BOOL>(m_pWindow, s_isMiniaturized); }

bool WindowImplBase::isNormalSize() const { return !isMinimized(); }

bool WindowImplBase::isIdealSize() const
{
    if (!m_pWindow)
        return DETAIL::WindowImpl::isIdealSize();
    return msgSend<BOOL>(m_pWindow, s_isZoomed);
}

void WindowImplBase::invalidate()
{
    id view = m_pView ? m_pView : msgSend<id>(m_pWindow, s_contentView);
    msgSend<void, BOOL>(view, s_setNeedsDisplay, YES);
}

void WindowImplBase::invalidateRect(const GP::Rect& rect)
{
    // The view is flipped: its coordinates are the system's.
    msgSend<void, CGRect>(m_pView, s_setNeedsDisplayInRect,
                          CGRectMake(rect.left, rect.top, rect.width(), rect.height()));
}

void WindowImplBase::update() { msgSend<void>(m_pWindow ? m_pWindow : m_pView, s_displayIfNeeded); }

void WindowImplBase::onSetParent(WindowBase* parent)
{
    id parentView = parent ? parent->getNSView() : nil;
    if (!m_pView || !parentView)
        return;
    msgSend<void>(m_pView, s_removeFromSuperview);
    msgSend<void, id>(parentView, s_addSubview, m_pView);
}

CGRect WindowImplBase::windowRect(bool content) const
{
    const CGRect frame = frameOf(m_pWindow);
    return content ? msgSend<CGRect, CGRect>(m_pWindow, s_contentRectForFrameRect, frame) : frame;
}

GP::Point WindowImplBase::viewScreenOrigin() const
{
    id window = msgSend<id>(m_pView, s_window);
    const CGRect inWindow =
        msgSend<CGRect, CGRect, id>(m_pView, s_convertRectToView, msgSend<CGRect>(m_pView, s_bounds), nil);
    const CGRect onScreen = msgSend<CGRect, CGRect>(window, s_convertRectToScreen, inWindow);
    const GP::Rect rect = WindowRules::fromAppKit(onScreen, firstScreenTopEdge());
    return GP::Point(rect.left, rect.top);
}

void WindowImplBase::invalidateViewFrame() const
{
    msgSend<void, CGRect>(msgSend<id>(m_pView, s_superview), s_setNeedsDisplayInRect, frameOf(m_pView));
}

void WindowImplBase::setViewSize(const GP::Point& size)
{
    const NSUInteger mask = msgSend<NSUInteger>(m_pView, s_autoresizingMask);
    msgSend<void, NSUInteger>(m_pView, s_setAutoresizingMask, NSViewNotSizable);
    msgSend<void, CGSize>(m_pView, s_setFrameSize, CGSizeMake(size.x, size.y));
    msgSend<void, NSUInteger>(m_pView, s_setAutoresizingMask, mask);
    msgSend<void, BOOL>(m_pView, s_setNeedsDisplay, YES);
}

void WindowImplBase::setViewOrigin(const GP::Point& origin)
{
    const NSUInteger mask = msgSend<NSUInteger>(m_pView, s_autoresizingMask);
    msgSend<void, NSUInteger>(m_pView, s_setAutoresizingMask, NSViewNotSizable);
    msgSend<void, CGPoint>(m_pView, s_setFrameOrigin, CGPointMake(origin.x, origin.y));
    msgSend<void, NSUInteger>(m_pView, s_setAutoresizingMask, mask);
    msgSend<void, BOOL>(m_pView, s_setNeedsDisplay, YES);
}

void WindowImplBase::getRect(GP::Rect& rect, bool content) const
{
    if (m_pWindow) {
        rect = WindowRules::fromAppKit(windowRect(content), firstScreenTopEdge());
    } else if (m_pView) {
        const CGRect frame = frameOf(m_pView);
        const GP::Point origin = viewScreenOrigin();
        rect = GP::Rect(origin.x, origin.y, origin.x + static_cast<int32_t>(frame.size.width),
                        origin.y + static_cast<int32_t>(frame.size.height));
    } else {
        rect = GP::Rect();
    }
}

void WindowImplBase::setRect(const GP::Rect& rect, bool content)
{
    if (m_pView)
        invalidateViewFrame();
    if (m_pWindow) {
        CGRect frame = WindowRules::toAppKit(rect, firstScreenTopEdge());
        if (content)
            frame = msgSend<CGRect, CGRect>(m_pWindow, s_frameRectForContentRect, frame);
        msgSend<void, CGRect, BOOL>(m_pWindow, s_setFrameDisplay, frame, YES);
    } else if (m_pView) {
        setViewSize(GP::Point(rect.width(), rect.height()));
    }
}

GP::Point WindowImplBase::getPosition(bool content) const
{
    GP::Rect rect;
    getRect(rect, content);
    return GP::Point(rect.left, rect.top);
}

void WindowImplBase::setPosition(const GP::Point& point, bool content)
{
    if (m_pWindow) {
        CGRect rect = windowRect(content);
        rect.origin = WindowRules::originForTopLeft(point, rect.size.height, firstScreenTopEdge());
        if (content)
            rect = msgSend<CGRect, CGRect>(m_pWindow, s_frameRectForContentRect, rect);
        msgSend<void, CGPoint>(m_pWindow, s_setFrameOrigin, rect.origin);
    } else if (m_pView) {
        setViewOrigin(point);
    }
}

GP::Point WindowImplBase::getSize(bool content) const
{
    CGSize size{0, 0};
    if (m_pWindow)
        size = windowRect(content).size;
    else if (m_pView)
        size = frameOf(m_pView).size;
    return GP::Point(static_cast<int32_t>(size.width), static_cast<int32_t>(size.height));
}

void WindowImplBase::setSize(const GP::Point& size, bool content)
{
    if (m_pView)
        invalidateViewFrame();
    if (m_pWindow) {
        CGRect rect = windowRect(content);
        // The top edge stays: AppKit's origin is the bottom-left corner.
        rect.origin.y -= size.y - rect.size.height;
        rect.size = CGSizeMake(size.x, size.y);
        if (content)
            rect = msgSend<CGRect, CGRect>(m_pWindow, s_frameRectForContentRect, rect);
        msgSend<void, CGRect, BOOL>(m_pWindow, s_setFrameDisplay, rect, YES);
    } else if (m_pView) {
        setViewSize(size);
    }
}

void WindowImplBase::getState(WindowState& state)
{
    if (!m_pWindow)
        return;
    if (isMinimized())
        state.visibility = WindowState::eMinimized;
    else
        state.visibility = msgSend<BOOL>(m_pWindow, s_isVisible) ? WindowState::eVisible : WindowState::eHidden;
    state.position = getPosition(false);
    state.size = getSize(true);
    if (objc::isKindOfClass(m_pWindow, objc_getClass("NSPanel")))
        state.kind = WindowState::eKindPanel;
    else if (msgSend<NSInteger>(m_pWindow, s_level) == CGWindowLevelForKey(kCGFloatingWindowLevelKey))
        state.kind = WindowState::eKindFloatingWindow;
    else
        state.kind = WindowState::eKindWindow;
}

void WindowImplBase::restoreState(const WindowState& state)
{
    if (!m_pWindow)
        return;
    if (state.size.x > 0 && state.size.y > 0)
        setSize(state.size, true);
    if (state.position.x >= WindowState::kLowestPosition && state.position.y >= WindowState::kLowestPosition)
        setPosition(state.position, false);
    if (state.visibility == WindowState::eHidden) {
        msgSend<void, id>(m_pWindow, s_orderOut, nil);
        return;
    }
    if (!msgSend<BOOL>(m_pWindow, s_isVisible))
        msgSend<void, id>(m_pWindow, s_orderFront, nil);
    if (state.visibility == WindowState::eMinimized)
        minimize();
}

void WindowImplBase::toScreen(GP::Point& point) const
{
    if (!m_pView)
        return;
    const GP::Point origin = viewScreenOrigin();
    point.x += origin.x;
    point.y += origin.y;
}

void WindowImplBase::toScreen(GP::Rect& rect) const
{
    if (!m_pView)
        return;
    const GP::Point origin = viewScreenOrigin();
    rect.moveBy(origin.x, origin.y);
}

void WindowImplBase::fromScreen(GP::Point& point) const
{
    if (!m_pView)
        return;
    const GP::Point origin = viewScreenOrigin();
    point.x -= origin.x;
    point.y -= origin.y;
}

void WindowImplBase::setKeyFocus() { msgSend<void>(m_pWindow, s_makeKeyWindow); }

bool WindowImplBase::releaseKeyFocus() { return true; }

void WindowImplBase::setTrackMouseGlobal(bool track)
{
    msgSend<void, BOOL>(m_pView, s_setAlwaysInterceptMouse, track ? YES : NO);
}

void WindowImplBase::startRelativeMouseMove() { m_bRelativeMouseMove = true; }

void WindowImplBase::stopRelativeMouseMove() { m_bRelativeMouseMove = false; }

void WindowImplBase::textInputResetMarkedRange()
{
    msgSend<void>(msgSend<id>(m_pView, s_inputContext), s_discardMarkedText);
}

void WindowImplBase::setModified(bool modified)
{
    msgSend<void, BOOL>(m_pWindow, s_setDocumentEdited, modified ? YES : NO);
}

}  // namespace QV::UIA::COCOA
