#include "COCOA/WindowNotifications.h"

#include "COCOA/DialogImpl.h"
#include "UIA/EventCodes.h"

#include <algorithm>

namespace QV::UIA::COCOA::WindowNotifications {

namespace {

const objc::Selector s_contentRectForFrameRect{"contentRectForFrameRect:"};
const objc::Selector s_frameRectForContentRect{"frameRectForContentRect:"};

}  // namespace

std::vector<id> WillCloseGuard::s_closing;

BOOL shouldClose(WindowImplBase* impl)
{
    AllowEventData request;
    impl->sendEvent(eEventWindowCloseRequest, &request, false);
    if (!request.allow)
        return NO;
    if (impl->isModal()) {
        if (auto* dialog = dynamic_cast<DialogImpl*>(impl)) {
            dialog->stopModal();
            return NO;
        }
    }
    return YES;
}

CGSize limitFrameSize(WindowImplBase* impl, id window, CGSize proposed)
{
    SizeLimitsEventData limits;
    if (!impl->sendEvent(eEventWindowQuerySizeLimits, &limits, false))
        return proposed;
    const CGRect content = objc::msgSend<CGRect, CGRect>(window, s_contentRectForFrameRect, CGRect{{0, 0}, proposed});
    const std::optional<GP::Point> limited = WindowRules::limitContentSize(
        limits, GP::Point(static_cast<int32_t>(content.size.width), static_cast<int32_t>(content.size.height)));
    if (!limited)
        return proposed;
    return objc::msgSend<CGRect, CGRect>(window, s_frameRectForContentRect, CGRectMake(0, 0, limited->x, limited->y))
        .size;
}

WillCloseGuard::WillCloseGuard(id window)
    : m_pWindow(window), m_bNested(std::find(s_closing.begin(), s_closing.end(), window) != s_closing.end())
{
    if (!m_bNested)
        s_closing.push_back(window);
}

WillCloseGuard::~WillCloseGuard()
{
    if (!m_bNested)
        s_closing.erase(std::find(s_closing.begin(), s_closing.end(), m_pWindow));
}

}  // namespace QV::UIA::COCOA::WindowNotifications
