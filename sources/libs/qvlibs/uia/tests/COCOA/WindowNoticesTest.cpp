// The platform window's notices about becoming and ceasing to be the key and main window, as they
// reach the window: through the content view, the delegate of a window with view, and through the
// delegate object of a window without one. Each notice gives its events in its own order.
#include "ViewFixture.h"

#include "COCOA/WindowImpl.h"

#include <string>
#include <vector>

namespace {

using namespace QV::UIA;
using namespace QV::UIA::TEST;

TEST(WindowNotices, EachNoticeBecomesItsEventsInOrder)
{
    struct tCase {
        const char* notice;
        std::vector<unsigned> throughView;
        std::vector<unsigned> throughDelegate;
    } const cases[] = {
        {"windowDidBecomeMain:", {eEventWindowBecameMain}, {eEventWindowBecameMain}},
        {"windowDidResignMain:", {eEventWindowResignedMain}, {eEventWindowResignedMain}},
        {"windowDidBecomeKey:", {eEventWindowBecameKey}, {eEventWindowBecameKey}},
        // The view tells the key window's loss first; the delegate tells the deactivation first.
        {"windowDidResignKey:",
         {eEventWindowResignedKey, eEventWindowDeactivated},
         {eEventWindowDeactivated, eEventWindowResignedKey}},
    };
    for (const bool withView : {true, false}) {
        RecordingWindow owner;
        auto* impl = new COCOA::WindowImpl(&owner);
        owner.setImpl(impl);
        ASSERT_TRUE(impl->createWindow(QV::UIA::Window::CreateData(), COCOA::eWindowClassWindow, withView));
        id delegate = objc::msgSend<id>(impl->getWindow(), objc::sel("delegate"));
        ASSERT_NE(delegate, nil);
        EXPECT_EQ(delegate == impl->getView(), withView);
        for (const tCase& c : cases) {
            owner.arrived.clear();
            objc::msgSend<void, id>(delegate, objc::sel(c.notice), nil);
            EXPECT_EQ(owner.codes(), withView ? c.throughView : c.throughDelegate)
                << c.notice << (withView ? " through the view" : " through the delegate");
        }
        owner.destroy();
    }
}

}  // namespace
