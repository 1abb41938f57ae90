// What the window delegate (WindowDelegate.h) and the content view (View.h), which is the delegate of
// every window with a view, do alike with the platform window's questions and notices.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <objc/runtime.h>

#include <vector>

namespace QV::UIA::COCOA {

class WindowImplBase;

namespace WindowNotifications {

// windowShouldClose:: asks the window eEventWindowCloseRequest. A refused request answers NO; an
// allowed one YES, except for a modal dialog, whose modal run ends instead (NO).
BOOL shouldClose(WindowImplBase* impl);

// windowWillResize:toSize:: the proposed frame size, or the frame size for the content size that
// the window's size limits allow (eEventWindowQuerySizeLimits).
CGSize limitFrameSize(WindowImplBase* impl, id window, CGSize proposed);

// Keeps a will-close notice that arrives while the same window's notice is being handled from
// ending its implementation twice. Per window: closing another window from inside the handling
// still ends that window's implementation.
class WillCloseGuard {
public:
    explicit WillCloseGuard(id window);
    ~WillCloseGuard();
    WillCloseGuard(const WillCloseGuard&) = delete;
    WillCloseGuard& operator=(const WillCloseGuard&) = delete;

    // Whether a notice of the same window is being handled already.
    bool isNested() const { return m_bNested; }

private:
    id m_pWindow;
    bool m_bNested;
    static std::vector<id> s_closing;
};

}  // namespace WindowNotifications
}  // namespace QV::UIA::COCOA
