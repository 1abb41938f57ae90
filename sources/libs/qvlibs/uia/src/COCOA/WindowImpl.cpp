#include "COCOA/WindowImpl.h"

#include "COCOA/Screens.h"
#include "COCOA/View.h"
#include "COCOA/WindowClasses.h"
#include "COCOA/WindowDelegate.h"
#include "GP/NSStringRef.h"
#include "UIA/EventCodes.h"

#include <AppKit/NSColor.h>
#include <AppKit/NSPanel.h>
#include <AppKit/NSView.h>

namespace QV::UIA::COCOA {

namespace {

using objc::msgSend;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_release{"release"};
const objc::Selector s_initWithContentRect{"initWithContentRect:styleMask:backing:defer:"};
const objc::Selector s_setWorksWhenModal{"setWorksWhenModal:"};
const objc::Selector s_setReleasedWhenClosed{"setReleasedWhenClosed:"};
const objc::Selector s_setLevel{"setLevel:"};
const objc::Selector s_frame{"frame"};
const objc::Selector s_setFrameOrigin{"setFrameOrigin:"};
const objc::Selector s_setOpaque{"setOpaque:"};
const objc::Selector s_clearColor{"clearColor"};
const objc::Selector s_setBackgroundColor{"setBackgroundColor:"};
const objc::Selector s_setTitle{"setTitle:"};
const objc::Selector s_setAutoresizingMask{"setAutoresizingMask:"};
const objc::Selector s_contentView{"contentView"};
const objc::Selector s_addSubview{"addSubview:"};
const objc::Selector s_setDelegate{"setDelegate:"};
const objc::Selector s_setInitialFirstResponder{"setInitialFirstResponder:"};
const objc::Selector s_makeFirstResponder{"makeFirstResponder:"};

// The platform window of the class's run-time class, not yet placed; nil when it cannot be made.
id makeWindow(eWindowClass windowClass, NSWindowStyleMask mask, CGSize contentSize)
{
    Class cls = WindowClasses::s_pWindow;
    if (windowClass == eWindowClassOverlayPanel)
        cls = WindowClasses::s_pOverlayPanel;
    else if (windowClass == eWindowClassPanel)
        cls = WindowClasses::s_pPanel;
    id window = msgSend<id>(cls, s_alloc);
    return msgSend<id, CGRect, NSUInteger, NSUInteger, BOOL>(window, s_initWithContentRect,
                                                             CGRectMake(0, 0, contentSize.width, contentSize.height),
                                                             mask, NSBackingStoreBuffered, YES);
}

// Forgets the window's first responders, so that the window does not restore a view of its own.
void clearFirstResponders(id window)
{
    msgSend<void, id>(window, s_setInitialFirstResponder, nil);
    msgSend<BOOL, id>(window, s_makeFirstResponder, nil);
}

}  // namespace

WindowImpl::~WindowImpl()
{
    if (m_pDelegate) {
        id delegate = m_pDelegate;
        WindowDelegate::clearImpl(delegate);
        detachDelegate();
        msgSend<void>(delegate, s_release);
    }
}

bool WindowImpl::createWindow(const WindowBase::CreateData& data, eWindowClass windowClass, bool withView)
{
    const CGSize contentSize = WindowRules::contentSize(data);
    const NSWindowStyleMask mask = WindowRules::styleMask(data.style, windowClass);
    WindowBase* owner = getOwner();
    if (owner->getAutoDelete())
        setDeleteWindowObject(true);

    id window = makeWindow(windowClass, mask, contentSize);
    if (!window)
        return false;
    if (windowClass == eWindowClassPanel && (data.style & WindowBase::eStylePopUpLevel) &&
        objc::respondsToSelector(window, s_setWorksWhenModal))
        msgSend<void, BOOL>(window, s_setWorksWhenModal, YES);
    msgSend<void, BOOL>(window, s_setReleasedWhenClosed, YES);
    if (const std::optional<CGWindowLevelKey> key = WindowRules::levelKey(data.style, windowClass))
        msgSend<void, NSInteger>(window, s_setLevel, CGWindowLevelForKey(*key));

    const CGRect frame = msgSend<CGRect>(window, s_frame);
    msgSend<void, CGPoint>(
        window, s_setFrameOrigin,
        WindowRules::originForTopLeft(WindowRules::framePosition(data), frame.size.height, firstScreenTopEdge()));
    if (data.style & WindowBase::eStyleTransparent) {
        msgSend<void, BOOL>(window, s_setOpaque, NO);
        void* pool = objc_autoreleasePoolPush();  // the colour is autoreleased; the window keeps it
        msgSend<void, id>(window, s_setBackgroundColor, msgSend<id>(objc_getClass("NSColor"), s_clearColor));
        objc_autoreleasePoolPop(pool);
        owner->setAlphaBlending(true);
    }
    if ((data.flags & WindowBase::eCreateFlagTitle) && !data.title.empty()) {
        GP::NSStringRef title;
        title.createWith(data.title.data(), true);
        msgSend<void, id>(window, s_setTitle, title.get());
    }

    if (withView) {
        id view = View::createWithImplAndSize(this, contentSize);
        if (!view) {
            // Nothing holds the window any more: it goes, and so the implementation has no platform
            // objects.
            msgSend<void>(window, s_release);
            return false;
        }
        msgSend<void, NSUInteger>(view, s_setAutoresizingMask, NSViewWidthSizable | NSViewHeightSizable);
        msgSend<void, id>(msgSend<id>(window, s_contentView), s_addSubview, view);
        attach(view, window);
        msgSend<void, id>(window, s_setDelegate, view);
        clearFirstResponders(window);
        msgSend<void>(view, s_release);
    } else {
        m_pDelegate = WindowDelegate::create(this);
        msgSend<void, id>(window, s_setDelegate, m_pDelegate);
        clearFirstResponders(window);
        attachWindow(window);
    }

    EventData none;
    sendEvent(eEventWindowCreated, &none, false);
    return true;
}

bool WindowImpl::createWindowAndAttach(const WindowBase::CreateData& data, eWindowClass windowClass)
{
    return createWindow(data, windowClass, true);
}

void WindowImpl::detachDelegate()
{
    msgSend<void, id>(getWindow(), s_setDelegate, nil);
    m_pDelegate = nil;
}

void WindowImpl::destroy()
{
    if (id delegate = m_pDelegate) {
        detachDelegate();
        msgSend<void>(delegate, s_release);
    }
    WindowImplBase::destroy();
}

}  // namespace QV::UIA::COCOA
