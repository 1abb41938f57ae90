#include "COCOA/WindowDelegate.h"

#include "COCOA/WindowImpl.h"
#include "COCOA/WindowNotifications.h"
#include "GP/ClassFactory.h"
#include "GP/ObjcIvar.h"
#include "UIA/EventCodes.h"

#include <AppKit/AppKit.h>
#include <Foundation/Foundation.h>

#include <string>

namespace QV::UIA::COCOA {

objc_class* WindowDelegate::s_pClass = nullptr;

namespace {

using objc::msgSend;

const objc::Selector s_object{"object"};
const objc::Selector s_release{"release"};
const objc::Selector s_setInitialFirstResponder{"setInitialFirstResponder:"};
const objc::Selector s_makeFirstResponder{"makeFirstResponder:"};
const objc::Selector s_frame{"frame"};
const objc::Selector s_autoresizingMask{"autoresizingMask"};
const objc::Selector s_setAutoresizingMask{"setAutoresizingMask:"};
const objc::Selector s_setContentSize{"setContentSize:"};

WindowImpl* implOf(id self) { return reinterpret_cast<WindowImpl*>(GP::OBJC::getIvarPtr(self, "pImpl")); }

void setImpl(id self, WindowImpl* impl) { GP::OBJC::setIvarPtr(self, "pImpl", reinterpret_cast<id>(impl)); }

void sendToWindow(WindowImpl* impl, unsigned code)
{
    EventData none;
    impl->sendEvent(code, &none, false);
}

void forgetFirstResponders(WindowImpl* impl)
{
    msgSend<void, id>(impl->getWindow(), s_setInitialFirstResponder, nil);
    msgSend<BOOL, id>(impl->getWindow(), s_makeFirstResponder, nil);
}

BOOL windowShouldClose(id self, SEL, id)
{
    WindowImpl* impl = implOf(self);
    return impl ? WindowNotifications::shouldClose(impl) : YES;
}

void windowWillClose(id self, SEL, id notification)
{
    WindowNotifications::WillCloseGuard guard(msgSend<id>(notification, s_object));
    if (guard.isNested())
        return;
    if (WindowImpl* impl = implOf(self)) {
        setImpl(self, nullptr);
        if (impl->isModal()) {
            impl->detachDelegate();
        } else {
            sendToWindow(impl, eEventWindowDestroyed);
            impl->detachDelegate();
            impl->onViewDestroyed();
        }
    }
    // The implementation has forgotten its reference: it is the delegate's own now.
    msgSend<void>(self, s_release);
}

void windowDidBecomeMain(id self, SEL, id)
{
    if (WindowImpl* impl = implOf(self))
        sendToWindow(impl, eEventWindowBecameMain);
}

void windowDidResignMain(id self, SEL, id)
{
    if (WindowImpl* impl = implOf(self)) {
        forgetFirstResponders(impl);
        sendToWindow(impl, eEventWindowResignedMain);
    }
}

void windowDidBecomeKey(id self, SEL, id)
{
    if (WindowImpl* impl = implOf(self))
        sendToWindow(impl, eEventWindowBecameKey);
}

void windowDidResignKey(id self, SEL, id)
{
    if (WindowImpl* impl = implOf(self)) {
        forgetFirstResponders(impl);
        sendToWindow(impl, eEventWindowDeactivated);
        sendToWindow(impl, eEventWindowResignedKey);
    }
}

void contentSizeChanged(id self, SEL, id notification)
{
    WindowImpl* impl = implOf(self);
    id view = msgSend<id>(notification, s_object);
    if (!impl || !view)
        return;
    const NSUInteger mask = msgSend<NSUInteger>(view, s_autoresizingMask);
    msgSend<void, NSUInteger>(view, s_setAutoresizingMask, 0);
    msgSend<void, CGSize>(impl->getWindow(), s_setContentSize, msgSend<CGRect>(view, s_frame).size);
    msgSend<void, NSUInteger>(view, s_setAutoresizingMask, mask);
}

CGSize windowWillResize(id self, SEL, id window, CGSize proposed)
{
    WindowImpl* impl = implOf(self);
    return impl ? WindowNotifications::limitFrameSize(impl, window, proposed) : proposed;
}

struct ClassMaker {
    ClassMaker()
    {
        if (!m_factory.generateUniqueClass("QVCocoaWindowDelegateClass", "NSObject"))
            return;
        m_factory.addMemberVar("pImpl", sizeof(void*), 3, "^v");
        const char* notice = "v@:@:^:";
        m_factory.addMethod(sel_registerName("windowShouldClose:"), reinterpret_cast<IMP>(&windowShouldClose),
                            "B@:@:^:");
        m_factory.addMethod(sel_registerName("windowWillClose:"), reinterpret_cast<IMP>(&windowWillClose), notice);
        m_factory.addMethod(sel_registerName("windowDidBecomeMain:"), reinterpret_cast<IMP>(&windowDidBecomeMain),
                            notice);
        m_factory.addMethod(sel_registerName("windowDidResignMain:"), reinterpret_cast<IMP>(&windowDidResignMain),
                            notice);
        m_factory.addMethod(sel_registerName("windowDidBecomeKey:"), reinterpret_cast<IMP>(&windowDidBecomeKey),
                            notice);
        m_factory.addMethod(sel_registerName("windowDidResignKey:"), reinterpret_cast<IMP>(&windowDidResignKey),
                            notice);
        m_factory.addMethod(sel_registerName("contentSizeChanged:"), reinterpret_cast<IMP>(&contentSizeChanged),
                            notice);
        const std::string resize = std::string("{CGSize=dd}@:@:^:{CGSize=dd}:");
        m_factory.addMethod(sel_registerName("windowWillResize:toSize:"), reinterpret_cast<IMP>(&windowWillResize),
                            resize.c_str());
        m_factory.doRegister();
    }

    GP::OBJC::ClassFactory m_factory{WindowDelegate::s_pClass};
};

const ClassMaker s_classMaker;

}  // namespace

id WindowDelegate::create(WindowImpl* impl)
{
    id delegate = msgSend<id>(msgSend<id>(s_pClass, objc::sel("alloc")), objc::sel("init"));
    if (delegate)
        setImpl(delegate, impl);
    return delegate;
}

void WindowDelegate::clearImpl(id delegate)
{
    if (delegate)
        setImpl(delegate, nullptr);
}

}  // namespace QV::UIA::COCOA
