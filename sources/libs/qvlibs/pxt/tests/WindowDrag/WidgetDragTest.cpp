// A drag between two widgets of one toolkit window on a real X server (a private Xvfb), with real
// input through XTest: a press on the source widget and a move far enough start the platform drag
// of an in-process payload; the pointer carried over the target widget and released there drops it.
// The target gets the payload itself at its own position, and the source hears how the drag ended.
#include "QVTest/PrivateXServer.h"
#include "../Support/TestWidgets.h"
#include "../Support/ToolkitFixture.h"

#include "PXT/DropHandler.h"
#include "PXT/Window.h"
#include "QVTest/MainLoop.h"
#include "UIA/DragDropData.h"
#include "UIA/DragDropDelegate.h"
#include "UIA/DragDropManager.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/EventTimerManager.h"
#include "UIA/Window.h"

#include <Foundation/Foundation.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// After GoogleTest: Xlib's macros (None, Bool, Status) would clash with its names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;
using QV::TEST::runMainLoopUntil;

using ToolkitWindow = PXT::Window<UIA::StandaloneWindow>;

// Waits on the input thread, polling, until `done` or `timeout` has passed.
bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(2))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

// A widget that records how the drags it started ended.
class SourceWidget : public TestWidget {
public:
    SourceWidget() : TestWidget("Panel") {}
    void onMouse(unsigned code, UIA::MouseEventData*) override
    {
        if (code == UIA::eEventMouseEnter)
            m_entered = true;
    }
    bool onEvent(unsigned code, UIA::EventData* data) override
    {
        if (code == UIA::eEventDragDropFinished) {
            m_results.push_back(static_cast<UIA::DragDropFinishedEventData*>(data)->result);
            return true;
        }
        return TestWidget::onEvent(code, data);
    }
    std::vector<UIA::DragDropSupport::DropResult> m_results;
    std::atomic<bool> m_entered{false};
};

class WidgetDragX11 : public ToolkitFixture {
protected:
    static void SetUpTestSuite()
    {
        s_server = std::make_unique<QV::TEST::PrivateXServer>();
        if (!s_server->display().empty())
            setenv("DISPLAY", s_server->display().c_str(), 1);
    }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override
    {
        m_display = s_server->display().empty() ? nullptr : XOpenDisplay(s_server->display().c_str());
        if (!m_display)
            GTEST_SKIP() << "no X server";
        ToolkitFixture::SetUp();
        m_pool = objc_autoreleasePoolPush();
        m_timers = std::make_unique<UIA::EventTimerManager>();
        // What the application installs at its start.
        UIA::setDragDropDelegate(UIA::makeWindowingDragDropDelegate());
    }
    void TearDown() override
    {
        if (m_input.joinable())
            m_input.join();
        if (m_window) {
            m_window->setRoot(nullptr, "");
            if (m_window->getImpl())
                m_window->destroy();
            delete m_window;
        }
        UIA::setDragDropDelegate(nullptr);
        m_timers.reset();
        if (m_pool)
            objc_autoreleasePoolPop(m_pool);
        if (m_display) {
            XCloseDisplay(m_display);
            ToolkitFixture::TearDown();
        }
    }

    // The window's content on the screen (no window manager: the window itself).
    GP::Point contentOrigin() const
    {
        XSync(m_display, False);
        id window = objc::msgSend<id>(m_window->getNSView(), objc::sel("window"));
        const auto xid = static_cast<::Window>(objc::msgSend<NSInteger>(window, objc::sel("windowNumber")));
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(m_display, xid, &attributes) || attributes.map_state != IsViewable)
            return GP::Point(-1, -1);
        int x = 0, y = 0;
        ::Window child;
        XTranslateCoordinates(m_display, xid, DefaultRootWindow(m_display), 0, 0, &x, &y, &child);
        return GP::Point(x, y);
    }

    static std::unique_ptr<QV::TEST::PrivateXServer> s_server;
    Display* m_display = nullptr;
    void* m_pool = nullptr;
    std::unique_ptr<UIA::EventTimerManager> m_timers;
    ToolkitWindow* m_window = nullptr;
    std::thread m_input;
};

std::unique_ptr<QV::TEST::PrivateXServer> WidgetDragX11::s_server;

TEST_F(WidgetDragX11, APayloadDraggedFromOneWidgetIsDroppedOnAnother)
{
    const uint32_t format = UIA::DragDropManager::registerFormat("test.widget-drag");
    UIA::DragDropData payload(format);

    // Window 300 x 160: the source at (20,40) 80x60, the target at (200,40) 80x60.
    auto root = std::make_shared<TestWidget>("Root");
    auto source = std::make_shared<SourceWidget>();
    auto target = std::make_shared<TestWidget>("Panel");
    root->insertChild(source, "source");
    source->setPos(GP::Point(20, 40));
    source->setSize(GP::Point(80, 60));
    root->insertChild(target, "target");
    target->setPos(GP::Point(200, 40));
    target->setSize(GP::Point(80, 60));

    std::atomic<bool> started{false};
    std::atomic<bool> overTarget{false};
    source->setCanDragStartFunction([](const GP::Point&) { return true; });
    source->setDragStartFunction([&](UIA::MouseEventData*) {
        started = true;
        UIA::DNDDelegate::get().DoDragWithCallback(
            source.get(), payload, UIA::DragDropSupport::eDropEffectCopy | UIA::DragDropSupport::eDropEffectMove,
            m_window, nullptr);
    });

    const UIA::DragDropData* dropped = nullptr;
    std::vector<GP::Point> drops;
    int leaves = 0;
    auto handler = std::make_shared<InternalFormatDropHandler>(format);
    handler->m_request = [&](UIA::DragDropRequestEventData* data, const UIA::DragDropData*) {
        overTarget = true;
        data->dropEffect = UIA::DragDropSupport::eDropEffectMove;
        return true;
    };
    handler->m_drop = [&](UIA::DragDropReceiveEventData* data) {
        dropped = UIA::DNDDelegate::getInternalDragDropData(*data);
        drops.push_back(data->pos);
        return true;
    };
    handler->m_leave = [&] { ++leaves; };
    target->addDropHandler(handler);

    m_window = new ToolkitWindow;
    m_window->setRoot(root, "root");
    UIA::Window::CreateData data;
    data.flags = UIA::WindowBase::eCreateFlagSize | UIA::WindowBase::eCreateFlagPosition;
    data.style = UIA::WindowBase::eStyleFixedSize;
    data.rect = GP::Rect(10, 10, 310, 170);
    data.setTitle("Drag");
    ASSERT_TRUE(m_window->create(data));
    m_window->show(true);
    GP::Point origin;
    ASSERT_TRUE(runMainLoopUntil([&] { return (origin = contentOrigin()) == GP::Point(10, 10); }));
    runMainLoopUntil([&] { return static_cast<Pane&>(*m_window).getSize() == GP::Point(300, 160); });

    // The input comes from a thread of its own while the main loop runs (the drag runs inside the
    // mouse event that starts it); each step waits until the program has seen the one before.
    std::atomic<bool> inputDone{false};
    std::atomic<bool> inputFailed{false};
    const char* const display = s_server->display().c_str();
    m_input = std::thread([&, display] {
        Display* x = XOpenDisplay(display);
        if (!x) {
            inputFailed = true;
            inputDone = true;
            return;
        }
        const auto moveTo = [&](int cx, int cy) {
            XTestFakeMotionEvent(x, -1, origin.x + cx, origin.y + cy, 0);
            XFlush(x);
        };
        moveTo(50, 60);
        waitFor([&] { return source->m_entered.load(); });
        XTestFakeButtonEvent(x, 1, True, 0);
        XFlush(x);
        // Far enough to start, then on in steps until the drag is under way over the target.
        int cx = 50;
        for (int step = 0; step < 40 && !started; ++step) {
            moveTo(cx += 4, 62);
            waitFor([&] { return started.load(); });
        }
        for (cx = 120; cx <= 240 && !overTarget; cx += 10) {
            moveTo(cx, 70);
            waitFor([&] { return overTarget.load(); }, std::chrono::milliseconds(50));
        }
        for (int settle = 0; settle < 3; ++settle) {
            moveTo(240, 70 + settle);
            waitFor([&] { return overTarget.load(); });
        }
        inputFailed = !started || !overTarget;
        XTestFakeButtonEvent(x, 1, False, 0);
        XFlush(x);
        XCloseDisplay(x);
        inputDone = true;
    });

    ASSERT_TRUE(runMainLoopUntil([&] { return inputDone && !source->m_results.empty(); }, std::chrono::seconds(10)));
    EXPECT_FALSE(inputFailed);
    // The payload itself arrived, once, where the pointer let go: (240, 72) is (40, 32) in the target.
    EXPECT_EQ(dropped, &payload);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops.front(), GP::Point(40, 32));
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(source->m_results, std::vector<UIA::DragDropSupport::DropResult>{UIA::DragDropSupport::eDropResultMoved});
    EXPECT_EQ(UIA::DragDropManager::getCurrentDragTarget(), nullptr);
}

}  // namespace
