// Drags between widgets on a real X server (a private Xvfb), with real input through XTest: a press
// on the source widget and a move far enough start the platform drag; the pointer carried over the
// target widget and released there drops it. Within one window an in-process payload arrives
// itself; between two windows a text does, and the widget the drag passed first in the other
// window is left. The targets get the drop at their own positions, and the source hears how the
// drag ended.
#include "Support/TestWidgets.h"
#include "Support/ToolkitWindowFixture.h"

#include "PXT/DropHandler.h"
#include "QVTest/MainLoop.h"
#include "UIA/DragDropData.h"
#include "UIA/DragDropDelegate.h"
#include "UIA/DragDropManager.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/TextClipBoardFormat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
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

class WidgetDragX11 : public ToolkitWindowFixture {
protected:
    void SetUp() override
    {
        ToolkitWindowFixture::SetUp();
        if (IsSkipped())
            return;
        // What the application installs at its start.
        UIA::setDragDropDelegate(UIA::makeWindowingDragDropDelegate());
    }
    void TearDown() override
    {
        if (m_input.joinable())
            m_input.join();
        closeWindows();
        UIA::setDragDropDelegate(nullptr);
        ToolkitWindowFixture::TearDown();
    }

    // Drags with real input, on a thread of its own while the main loop runs (the drag runs inside
    // the mouse event that starts it); each step waits until the program has seen the one before.
    // From `from` (screen) until the source has started its drag, then towards `to` until the
    // target takes requests; released a few moves later at `to` + (0, 2).
    void dragOnScreen(GP::Point from, GP::Point to, SourceWidget& source, const std::atomic<bool>& started,
                      const std::atomic<bool>& overTarget)
    {
        m_input = std::thread([this, from, to, &source, &started, &overTarget] {
            Display* x = server().connect();
            if (!x) {
                m_inputDone = true;
                return;
            }
            const auto moveTo = [&](int sx, int sy) {
                XTestFakeMotionEvent(x, -1, sx, sy, 0);
                XFlush(x);
            };
            moveTo(from.x, from.y);
            waitFor([&] { return source.m_entered.load(); });
            XTestFakeButtonEvent(x, 1, True, 0);
            XFlush(x);
            for (int step = 1; step <= 40 && !started; ++step) {
                moveTo(from.x + 4 * step, from.y + 2);
                waitFor([&] { return started.load(); });
            }
            const int steps = 12;
            for (int step = 1; step <= steps && !overTarget; ++step) {
                moveTo(from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps);
                waitFor([&] { return overTarget.load(); }, std::chrono::milliseconds(50));
            }
            for (int settle = 0; settle <= 2; ++settle) {
                moveTo(to.x, to.y + settle);
                waitFor([&] { return overTarget.load(); });
            }
            m_inputReachedTarget = started && overTarget;
            XTestFakeButtonEvent(x, 1, False, 0);
            XFlush(x);
            XCloseDisplay(x);
            m_inputDone = true;
        });
    }

    std::thread m_input;
    std::atomic<bool> m_inputDone{false};
    std::atomic<bool> m_inputReachedTarget{false};
};

void place(Widget& parent, const std::shared_ptr<Widget>& child, const char* id, GP::Point pos, GP::Point size)
{
    parent.insertChild(child, id);
    child->setPos(pos);
    child->setSize(size);
}

TEST_F(WidgetDragX11, APayloadDraggedFromOneWidgetIsDroppedOnAnother)
{
    const uint32_t format = UIA::DragDropManager::registerFormat("test.widget-drag");
    UIA::DragDropData payload(format);

    // Window 300 x 160: the source at (20,40) 80x60, the target at (200,40) 80x60.
    auto root = std::make_shared<TestWidget>("Root");
    auto source = std::make_shared<SourceWidget>();
    auto target = std::make_shared<TestWidget>("Panel");
    place(*root, source, "source", GP::Point(20, 40), GP::Point(80, 60));
    place(*root, target, "target", GP::Point(200, 40), GP::Point(80, 60));

    ToolkitWindow* window = nullptr;
    std::atomic<bool> started{false};
    std::atomic<bool> overTarget{false};
    source->setCanDragStartFunction([](const GP::Point&) { return true; });
    source->setDragStartFunction([&](UIA::MouseEventData*) {
        started = true;
        UIA::DNDDelegate::get().DoDragWithCallback(
            source.get(), payload, UIA::DragDropSupport::eDropEffectCopy | UIA::DragDropSupport::eDropEffectMove,
            window, nullptr);
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

    window = openWindow(root, GP::Rect(10, 10, 310, 170), "Drag");
    ASSERT_NE(window, nullptr);
    dragOnScreen(GP::Point(10 + 50, 10 + 60), GP::Point(10 + 240, 10 + 70), *source, started, overTarget);
    ASSERT_TRUE(runMainLoopUntil([&] { return m_inputDone && !source->m_results.empty(); }, std::chrono::seconds(10)));
    EXPECT_TRUE(m_inputReachedTarget);
    // The payload itself arrived, once, where the pointer let go: (240, 72) is (40, 32) in the target.
    EXPECT_EQ(dropped, &payload);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops.front(), GP::Point(40, 32));
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(source->m_results, std::vector<UIA::DragDropSupport::DropResult>{UIA::DragDropSupport::eDropResultMoved});
    EXPECT_EQ(UIA::DragDropManager::getCurrentDragTarget(), nullptr);
}

TEST_F(WidgetDragX11, ATextDraggedToAnotherWindowLeavesTheFirstWindowsTarget)
{
    // Window one, 200 x 120 at (10,10): the source at (20,30) 60x40 over a root that takes any text.
    // Window two, 200 x 120 at (300,10): the target at (100,30) 80x60.
    auto rootOne = std::make_shared<TestWidget>("Root");
    auto source = std::make_shared<SourceWidget>();
    place(*rootOne, source, "source", GP::Point(20, 30), GP::Point(60, 40));
    auto rootTwo = std::make_shared<TestWidget>("Root");
    auto target = std::make_shared<TestWidget>("Panel");
    place(*rootTwo, target, "target", GP::Point(100, 30), GP::Point(80, 60));

    std::atomic<bool> started{false};
    std::atomic<bool> overTarget{false};
    source->setCanDragStartFunction([](const GP::Point&) { return true; });
    source->setDragStartFunction([&](UIA::MouseEventData*) {
        started = true;
        UIA::TextClipBoardFormat text;
        text.setValue("Vardolin");
        UIA::DragDropManager::DoDragWithCallback(source.get(), text, UIA::DragDropSupport::eDropEffectCopy, nullptr);
    });

    std::vector<std::string> log;
    const auto textHandler = [&](const std::string& name, std::atomic<bool>* seen) {
        auto handler = std::make_shared<DropHandler>();
        handler->m_request = [&log, name, seen](UIA::DragDropRequestEventData* data) {
            if (!UIA::DNDDelegate::get().isExternalText(*data))
                return false;
            if (log.empty() || log.back() != "request " + name)
                log.push_back("request " + name);
            if (seen)
                *seen = true;
            data->dropEffect = UIA::DragDropSupport::eDropEffectCopy;
            return true;
        };
        handler->m_drop = [&log, name](UIA::DragDropReceiveEventData* data) {
            log.push_back("drop " + name + " " + UIA::DNDDelegate::get().getExternalText(*data).value_or("(none)") +
                          " at " + std::to_string(data->pos.x) + "," + std::to_string(data->pos.y));
            return true;
        };
        handler->m_leave = [&log, name] { log.push_back("leave " + name); };
        return handler;
    };
    rootOne->addDropHandler(textHandler("one", nullptr));
    target->addDropHandler(textHandler("two", &overTarget));

    ASSERT_NE(openWindow(rootOne, GP::Rect(10, 10, 210, 130), "Drag"), nullptr);
    ASSERT_NE(openWindow(rootTwo, GP::Rect(300, 10, 500, 130), "Drag"), nullptr);
    dragOnScreen(GP::Point(10 + 40, 10 + 50), GP::Point(300 + 140, 10 + 60), *source, started, overTarget);
    ASSERT_TRUE(runMainLoopUntil([&] { return m_inputDone && !source->m_results.empty(); }, std::chrono::seconds(10)));
    EXPECT_TRUE(m_inputReachedTarget);
    // Released at (140, 62) in window two: (40, 32) in the target.
    EXPECT_EQ(log, (std::vector<std::string>{"request one", "leave one", "request two", "drop two Vardolin at 40,32",
                                             "leave two"}));
    EXPECT_EQ(source->m_results,
              std::vector<UIA::DragDropSupport::DropResult>{UIA::DragDropSupport::eDropResultCopied});
}

}  // namespace
