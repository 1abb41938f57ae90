// The Cocoa window implementation that makes the platform window (createWindow): a window of a
// run-time class (WindowClasses.h) with the content view as its delegate or, for a window without
// view, a QVCocoaWindowDelegateClass instance (WindowDelegate.h).
#pragma once

#include "COCOA/WindowImplBase.h"

namespace QV::UIA::COCOA {

class WindowImpl : public WindowImplBase {
public:
    explicit WindowImpl(WindowBase* owner) : WindowImplBase(owner) {}
    // Lets go of a delegate still attached, so that it never reaches this implementation again.
    ~WindowImpl() override;

    // Makes the platform window, with a content view when withView is set, and sends
    // eEventWindowCreated to the owner; false when the window or its view could not be made (then
    // nothing is sent and the implementation has no platform objects).
    bool createWindow(const WindowBase::CreateData& data, eWindowClass windowClass, bool withView);
    virtual bool createWindowAndAttach(const WindowBase::CreateData& data, eWindowClass windowClass);
    // Clears the window's delegate and forgets it (without releasing it).
    void detachDelegate();

    void destroy() override;

private:
    id m_pDelegate = nil;  // the delegate of a window without view; one reference
};

}  // namespace QV::UIA::COCOA
