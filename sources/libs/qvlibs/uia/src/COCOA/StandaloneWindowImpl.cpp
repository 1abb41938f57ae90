#include "COCOA/StandaloneWindowImpl.h"

#include "UIA/EventCodes.h"

#include <AppKit/NSWindow.h>

namespace QV::UIA::COCOA {

namespace {

using objc::msgSend;

const objc::Selector s_setCollectionBehavior{"setCollectionBehavior:"};
const objc::Selector s_styleMask{"styleMask"};
const objc::Selector s_toggleFullScreen{"toggleFullScreen:"};

}  // namespace

bool StandaloneWindowImpl::createWindowAndAttach(const WindowBase::CreateData& data, eWindowClass windowClass)
{
    const bool made = createWindow(data, windowClass, true);
    if (getWindow() && !(data.style & WindowBase::eStyleFixedSize))
        msgSend<void, NSUInteger>(getWindow(), s_setCollectionBehavior, NSWindowCollectionBehaviorFullScreenPrimary);
    return made;
}

void StandaloneWindowImpl::setFullScreenMode(const GP::Point&)
{
    if (isFullScreenMode() || !getWindow())
        return;
    msgSend<void, id>(getWindow(), s_toggleFullScreen, nil);
    EventData none;
    sendEvent(eEventWindowSizeChanged, &none, false);
}

bool StandaloneWindowImpl::isFullScreenMode() const
{
    return (msgSend<NSUInteger>(getWindow(), s_styleMask) & NSWindowStyleMaskFullScreen) != 0;
}

void StandaloneWindowImpl::resetFullScreenMode()
{
    if (!isFullScreenMode())
        return;
    msgSend<void, id>(getWindow(), s_toggleFullScreen, nil);
    EventData none;
    sendEvent(eEventWindowSizeChanged, &none, false);
}

}  // namespace QV::UIA::COCOA
