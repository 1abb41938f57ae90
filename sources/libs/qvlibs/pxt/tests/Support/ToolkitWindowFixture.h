// Toolkit windows on the process's own X server (no window manager): a started toolkit with the
// application's autorelease pool and 40 ms timer, windows opened where asked and waited for until X
// shows them there, and where X shows them. The windows go with the test.
#pragma once

#include "Support/ToolkitFixture.h"

#include "PXT/Window.h"
#include "QVTest/MainLoop.h"
#include "QVTest/XServerTest.h"
#include "UIA/EventTimerManager.h"
#include "UIA/Window.h"

#include <Foundation/Foundation.h>

#include <memory>
#include <vector>

namespace QV::PXT::TEST {

using ToolkitWindow = PXT::Window<UIA::StandaloneWindow>;

class ToolkitWindowFixture : public QV::TEST::XServerTest<ToolkitFixture> {
protected:
    void SetUp() override
    {
        XServerTest::SetUp();
        if (IsSkipped())
            return;
        m_pool = objc_autoreleasePoolPush();
        m_timers = std::make_unique<UIA::EventTimerManager>();
    }
    void TearDown() override
    {
        closeWindows();
        m_timers.reset();
        if (m_pool)
            objc_autoreleasePoolPop(m_pool);
        XServerTest::TearDown();
    }

    // A shown window with the root, its content at `place` on the screen and its pane of that size;
    // null when X did not show it there.
    ToolkitWindow* openWindow(const std::shared_ptr<Widget>& root, const GP::Rect& place, const char* title)
    {
        auto* window = new ToolkitWindow;
        m_windows.push_back(window);
        window->setRoot(root, "root");
        UIA::Window::CreateData data;
        data.flags = UIA::WindowBase::eCreateFlagSize | UIA::WindowBase::eCreateFlagPosition;
        data.style = UIA::WindowBase::eStyleFixedSize;
        data.rect = place;
        data.setTitle(title);
        if (!window->create(data))
            return nullptr;
        window->show(true);
        const GP::Point size(place.right - place.left, place.bottom - place.top);
        if (!QV::TEST::runMainLoopUntil(
                [&] { return onScreen(*window) == place && static_cast<Pane&>(*window).getSize() == size; }))
            return nullptr;
        return window;
    }

    // Where X shows the window's content; empty while it is not shown.
    GP::Rect onScreen(ToolkitWindow& window) const
    {
        if (!window.getImpl())
            return GP::Rect();
        id nsWindow = objc::msgSend<id>(window.getNSView(), objc::sel("window"));
        const auto place =
            placeOnScreen(static_cast<unsigned long>(objc::msgSend<NSInteger>(nsWindow, objc::sel("windowNumber"))));
        return place.shown ? GP::Rect(place.left, place.top, place.left + place.width, place.top + place.height)
                           : GP::Rect();
    }

    // Destroys the test's windows (the rest of the tear-down may want them gone first).
    void closeWindows()
    {
        for (ToolkitWindow* window : m_windows) {
            window->setRoot(nullptr, "");
            if (window->getImpl())
                window->destroy();
            delete window;
        }
        m_windows.clear();
    }

    void* m_pool = nullptr;
    std::unique_ptr<UIA::EventTimerManager> m_timers;
    std::vector<ToolkitWindow*> m_windows;
};

}  // namespace QV::PXT::TEST
