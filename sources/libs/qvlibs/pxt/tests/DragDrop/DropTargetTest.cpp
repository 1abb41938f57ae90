// Widgets as drop targets, without a display: drag events synthesized through the UI layer's
// drag-and-drop manager reach a toolkit window (not created), whose pane hands them to the widget
// under the drag and up its ancestors; the accepting widget becomes the manager's target and gets
// the drop and the leave itself.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/DropHandler.h"
#include "PXT/Window.h"
#include "UIA/DragDropData.h"
#include "UIA/DragDropDelegate.h"
#include "UIA/DragDropManager.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;
using UIA::DragDropManager;

using Log = std::vector<std::string>;

std::string at(const GP::Point& p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

// A handler that writes what reaches it into the log under `name`; it accepts requests with
// `effect` while `accept` is true.
std::shared_ptr<DropHandler> recordingHandler(Log& log, const std::string& name, uint32_t effect, bool accept = true)
{
    auto handler = std::make_shared<DropHandler>();
    handler->m_request = [&log, name, effect, accept](UIA::DragDropRequestEventData* data) {
        log.push_back("request " + name + " " + at(data->pos));
        if (accept)
            data->dropEffect = effect;
        return accept;
    };
    handler->m_drop = [&log, name](UIA::DragDropReceiveEventData* data) {
        log.push_back("drop " + name + " " + at(data->pos) + " effect " + std::to_string(data->dropEffect));
        return true;
    };
    handler->m_leave = [&log, name] { log.push_back("leave " + name); };
    return handler;
}

// A delegate that reports one in-process payload for every drag.
class PayloadDelegate : public UIA::NOPDragDropDelegate {
public:
    explicit PayloadDelegate(const UIA::DragDropData* payload) : m_payload(payload) {}
    const UIA::DragDropData* getInternalDragDropData(const UIA::DragEventData&) const override { return m_payload; }

private:
    const UIA::DragDropData* m_payload;
};

// A widget that claims every drag request in the hit test.
class ClaimingWidget : public TestWidget {
public:
    ClaimingWidget() : TestWidget("Claiming") {}
    bool filterDragDropRequestEvent(bool inside, unsigned, UIA::DragDropRequestEventData*) override { return inside; }
};

// Pane 120 x 60:  root
//                 +- a (10,10 40x30)  +- a1 (5,5 10x10 inside a: 15,15 in the pane)
//                 +- b (60,10 40x30)
class DropTargets : public ToolkitFixture {
protected:
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        m_window = std::make_unique<PXT::Window<UIA::StandaloneWindow>>();
        pane().setSize(GP::Point(120, 60));
        pane().setRoot(m_root, "root");
        place(*m_root, m_a, "a", GP::Point(10, 10), GP::Point(40, 30));
        place(*m_a, m_a1, "a1", GP::Point(5, 5), GP::Point(10, 10));
        place(*m_root, m_b, "b", GP::Point(60, 10), GP::Point(40, 30));
        align();
    }
    void TearDown() override
    {
        // No drag outlives its test.
        UIA::DragDropLeavedEventData leaved;
        DragDropManager::handleDragLeavedEvent(&leaved);
        UIA::setDragDropDelegate(nullptr);
        pane().setRoot(nullptr, "");
        m_window.reset();
        ToolkitFixture::TearDown();
    }

    static void place(Widget& parent, const std::shared_ptr<Widget>& child, const char* id, GP::Point pos,
                      GP::Point size)
    {
        parent.insertChild(child, id);
        child->setPos(pos);
        child->setSize(size);
    }
    void align()
    {
        GP::Region region;
        pane().update(region);
    }
    Pane& pane() { return *m_window; }
    UIA::WindowBase* window() { return m_window.get(); }

    // A drag entering or moving to (x, y), as the window's view reports it.
    bool request(int x, int y,
                 uint32_t allowed = UIA::DragDropSupport::eDropEffectCopy | UIA::DragDropSupport::eDropEffectMove)
    {
        UIA::DragDropRequestEventData data;
        data.pos = GP::Point(x, y);
        data.allowedEffects = allowed;
        return DragDropManager::handleDragRequestEvent(window(), &data, m_window.get());
    }
    bool drop(int x, int y)
    {
        UIA::DragDropReceiveEventData data;
        data.pos = GP::Point(x, y);
        return DragDropManager::handleDragReceiveEvent(&data);
    }
    bool leave()
    {
        UIA::DragDropLeavedEventData data;
        return DragDropManager::handleDragLeavedEvent(&data);
    }

    std::unique_ptr<PXT::Window<UIA::StandaloneWindow>> m_window;
    std::shared_ptr<Widget> m_root = std::make_shared<TestWidget>("Root");
    std::shared_ptr<Widget> m_a = std::make_shared<TestWidget>("Panel");
    std::shared_ptr<Widget> m_a1 = std::make_shared<TestWidget>("Panel");
    std::shared_ptr<Widget> m_b = std::make_shared<TestWidget>("Panel");
    Log m_log;
};

TEST_F(DropTargets, TheWidgetUnderTheDragAcceptsAndGetsTheDropAndTheLeave)
{
    m_b->addDropHandler(recordingHandler(m_log, "b", UIA::DragDropSupport::eDropEffectMove));
    EXPECT_TRUE(request(70, 20));
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), static_cast<UIA::EventTarget*>(m_b.get()));
    EXPECT_EQ(DragDropManager::getCurrentDropEffect(), 2u);
    EXPECT_TRUE(request(75, 22));
    EXPECT_TRUE(drop(76, 23));
    // Positions relative to b, for the requests and for the drop.
    EXPECT_EQ(m_log, (Log{"request b 10,10", "request b 15,12", "drop b 16,13 effect 2", "leave b"}));
    EXPECT_EQ(m_b->getCurrentDropHandler(), nullptr);
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), nullptr);
}

TEST_F(DropTargets, ADragThatLeavesTellsItsTargetOnce)
{
    m_b->addDropHandler(recordingHandler(m_log, "b", UIA::DragDropSupport::eDropEffectCopy));
    request(70, 20);
    EXPECT_TRUE(leave());
    EXPECT_FALSE(leave());
    EXPECT_EQ(m_log, (Log{"request b 10,10", "leave b"}));
    // Nothing accepted any more: a drop now reaches nobody.
    EXPECT_FALSE(drop(70, 20));
    EXPECT_EQ(m_log.size(), 2u);
}

TEST_F(DropTargets, MovingOnLeavesTheFormerTargetAfterTheNextOneAccepted)
{
    m_a->addDropHandler(recordingHandler(m_log, "a", UIA::DragDropSupport::eDropEffectCopy));
    m_b->addDropHandler(recordingHandler(m_log, "b", UIA::DragDropSupport::eDropEffectCopy));
    request(30, 35);
    request(70, 20);
    EXPECT_EQ(m_log, (Log{"request a 20,25", "request b 10,10", "leave a"}));
    // Over the root, which takes no drops: the request is refused and b is left.
    m_log.clear();
    EXPECT_FALSE(request(105, 50));
    EXPECT_EQ(m_log, (Log{"leave b"}));
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), nullptr);
}

TEST_F(DropTargets, AHandlerThatLosesTheDragWithinItsWidgetIsLeft)
{
    // b's left half belongs to one handler, its right half to another; the root takes the rest.
    const auto half = [this](const std::string& name, bool left) {
        auto handler = recordingHandler(m_log, name, UIA::DragDropSupport::eDropEffectCopy);
        auto request = handler->m_request;
        handler->m_request = [request, left](UIA::DragDropRequestEventData* data) {
            return (data->pos.x < 20) == left && data->pos.y < 25 && request(data);
        };
        return handler;
    };
    m_b->addDropHandler(half("left", true));
    m_b->addDropHandler(half("right", false));
    m_root->addDropHandler(recordingHandler(m_log, "root", UIA::DragDropSupport::eDropEffectCopy));

    request(65, 15);  // left half
    request(90, 15);  // right half: the left handler has lost the drag
    EXPECT_EQ(m_log, (Log{"request left 5,5", "request right 30,5", "leave left"}));
    m_log.clear();
    request(90, 37);  // b's bottom, which neither handler takes: b lets go, the root has it
    EXPECT_EQ(m_log, (Log{"leave right", "request root 90,37"}));
    m_log.clear();
    drop(90, 37);
    EXPECT_EQ(m_log, (Log{"drop root 90,37 effect 1", "leave root"}));
}

TEST_F(DropTargets, AWidgetWithoutHandlersPassesTheRequestToItsParent)
{
    m_a->addDropHandler(recordingHandler(m_log, "a", UIA::DragDropSupport::eDropEffectCopy));
    EXPECT_TRUE(request(17, 18));  // over a1
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), static_cast<UIA::EventTarget*>(m_a.get()));
    drop(18, 19);
    EXPECT_EQ(m_log, (Log{"request a 7,8", "drop a 8,9 effect 1", "leave a"}));
}

TEST_F(DropTargets, ARefusingHandlerLetsTheNextHandlerThenTheParentAnswer)
{
    m_a1->addDropHandler(recordingHandler(m_log, "a1 first", 1, false));
    m_a1->addDropHandler(recordingHandler(m_log, "a1 second", 1, false));
    m_a->addDropHandler(recordingHandler(m_log, "a", 1, false));
    EXPECT_FALSE(request(17, 18));
    EXPECT_EQ(m_log, (Log{"request a1 first 2,3", "request a1 second 2,3", "request a 7,8"}));
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), nullptr);
    EXPECT_FALSE(drop(17, 18));
}

TEST_F(DropTargets, TheDragsOwnPositionChoosesTheWidgetNotThePointersLastMove)
{
    m_a->addDropHandler(recordingHandler(m_log, "a", UIA::DragDropSupport::eDropEffectCopy));
    m_b->addDropHandler(recordingHandler(m_log, "b", UIA::DragDropSupport::eDropEffectCopy));
    // The pointer's last mouse event was over a; then a drag comes in over b.
    UIA::MouseEventData move;
    move.pos = GP::Point(40, 30);
    m_window->onEvent(UIA::eEventMouseMove, &move);
    ASSERT_EQ(pane().getOverWidget(), m_a.get());
    EXPECT_TRUE(request(70, 20));
    EXPECT_EQ(m_log, (Log{"request b 10,10"}));
}

TEST_F(DropTargets, TheEffectAWidgetAnswersIsTheDragsEffect)
{
    using namespace UIA::DragDropSupport;
    const struct {
        uint32_t answered;  // dropEffect set by the accepting handler
        uint32_t effect;    // the manager's effect for the drag
        bool dropped;       // whether the drop reaches the handler
    } cases[] = {
        {eDropEffectCopy, 1, true},
        {eDropEffectMove, 2, true},
        {eDropEffectFlag | eDropEffectLink, 4, true},
        {eDropEffectNone, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answered);
        auto b = std::make_shared<TestWidget>("Panel");
        place(*m_root, b, "b2", GP::Point(60, 10), GP::Point(40, 30));
        align();
        Log log;
        b->addDropHandler(recordingHandler(log, "b", c.answered));
        EXPECT_TRUE(request(70, 20));
        EXPECT_EQ(DragDropManager::getCurrentDropEffect(), c.effect);
        EXPECT_EQ(drop(70, 20), c.dropped);
        const Log expected = c.dropped
                                 ? Log{"request b 10,10", "drop b 10,10 effect " + std::to_string(c.effect), "leave b"}
                                 : Log{"request b 10,10", "leave b"};
        EXPECT_EQ(log, expected);
        m_root->eraseChild(*b);
    }
}

TEST_F(DropTargets, ADropWithoutAnAcceptedRequestIsNotHandled)
{
    m_b->addDropHandler(recordingHandler(m_log, "b", UIA::DragDropSupport::eDropEffectCopy));
    UIA::DragDropReceiveEventData data;
    EXPECT_FALSE(m_b->sendEvent(UIA::eEventDragDropReceive, &data));
    UIA::DragDropLeavedEventData leaved;
    EXPECT_FALSE(m_b->sendEvent(UIA::eEventDragDropLeaved, &leaved));
    EXPECT_TRUE(m_log.empty());
}

TEST_F(DropTargets, AWidgetThatClaimsTheRequestEndsIt)
{
    auto claiming = std::make_shared<ClaimingWidget>();
    place(*m_root, claiming, "claiming", GP::Point(0, 45), GP::Point(120, 15));
    align();
    m_root->addDropHandler(recordingHandler(m_log, "root", UIA::DragDropSupport::eDropEffectCopy));
    // Claimed: handled, but nobody is asked and nothing becomes the target.
    EXPECT_TRUE(request(5, 50));
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), nullptr);
    // Outside it, the root answers.
    EXPECT_TRUE(request(5, 5));
    EXPECT_EQ(m_log, (Log{"request root 5,5"}));
}

TEST_F(DropTargets, AHandlerMayNameAnotherReceiver)
{
    UIA::EventTarget receiver;
    auto handler = std::make_shared<DropHandler>();
    handler->m_request = [&](UIA::DragDropRequestEventData* data) {
        data->target = &receiver;
        data->dropEffect = UIA::DragDropSupport::eDropEffectCopy;
        return true;
    };
    m_b->addDropHandler(handler);
    EXPECT_TRUE(request(70, 20));
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), &receiver);
}

TEST_F(DropTargets, AnEmptyRequestFunctionIsAProgrammingError)
{
    m_b->addDropHandler(std::make_shared<DropHandler>());
    UIA::DragDropRequestEventData data;
    data.pos = GP::Point(70, 20);
    EXPECT_THROW(m_window->sendEvent(UIA::eEventDragDropRequest, &data), std::bad_function_call);
}

TEST_F(DropTargets, InternalPayloadsGoToTheHandlersOfTheirFormatFirst)
{
    const struct {
        bool payload;          // the drag carries an in-process payload
        uint32_t format;       // of this format
        const char* answered;  // the handler that accepts
    } cases[] = {
        {true, 7, "format 7"},
        {true, 9, "plain"},
        {false, 0, "plain"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answered);
        UIA::DragDropData payload(c.format);
        UIA::setDragDropDelegate(std::make_unique<PayloadDelegate>(c.payload ? &payload : nullptr));
        auto b = std::make_shared<TestWidget>("Panel");
        place(*m_root, b, "b2", GP::Point(60, 10), GP::Point(40, 30));
        align();
        Log log;
        const UIA::DragDropData* seen = nullptr;
        for (uint32_t format : {8u, 7u}) {
            auto internal = std::make_shared<InternalFormatDropHandler>(format);
            internal->m_request = [&log, &seen, format](UIA::DragDropRequestEventData* data,
                                                        const UIA::DragDropData* dragged) {
                log.push_back("request format " + std::to_string(format) + " " + at(data->pos));
                seen = dragged;
                data->dropEffect = UIA::DragDropSupport::eDropEffectCopy;
                return true;
            };
            internal->m_drop = [&log, format](UIA::DragDropReceiveEventData*) {
                log.push_back("drop format " + std::to_string(format));
                return true;
            };
            b->addDropHandler(internal);
        }
        auto plain = recordingHandler(log, "plain", UIA::DragDropSupport::eDropEffectCopy);
        plain->m_leave = nullptr;
        b->addDropHandler(plain);

        EXPECT_TRUE(request(70, 20));
        EXPECT_TRUE(drop(70, 20));
        const std::string answered = c.answered;
        if (answered == "format 7") {
            EXPECT_EQ(log, (Log{"request format 7 10,10", "drop format 7"}));
            EXPECT_EQ(seen, &payload);
        } else {
            EXPECT_EQ(log, (Log{"request plain 10,10", "drop plain 10,10 effect 1"}));
        }
        m_root->eraseChild(*b);
    }
}

TEST_F(DropTargets, LeaveObserversHearTheEndOfEveryDragThatPassedOverThem)
{
    auto observer = std::make_shared<DropHandlerBase>();
    int left = 0;
    observer->m_leave = [&] { ++left; };
    m_a->addLeaveObserver(observer);
    m_a1->addDropHandler(recordingHandler(m_log, "a1", UIA::DragDropSupport::eDropEffectCopy));

    // Accepted below a: the drop ends the drag, and a's observer hears it.
    request(17, 18);
    drop(17, 18);
    EXPECT_EQ(m_log, (Log{"request a1 2,3", "drop a1 2,3 effect 1", "leave a1"}));
    EXPECT_EQ(left, 1);

    // Refused over a, moved on and left from over b: still told once, when the drag left.
    request(30, 35);
    request(70, 20);
    EXPECT_EQ(left, 1);
    leave();
    EXPECT_EQ(left, 2);

    // A drag that never came over a is not a's concern.
    request(70, 20);
    leave();
    EXPECT_EQ(left, 2);
}

TEST_F(DropTargets, AWidgetDestroyedDuringADragGetsNothingAfterwards)
{
    int calls = 0;
    auto handler = std::make_shared<DropHandler>();
    handler->m_request = [&](UIA::DragDropRequestEventData* data) {
        data->dropEffect = UIA::DragDropSupport::eDropEffectCopy;
        return true;
    };
    handler->m_drop = [&](UIA::DragDropReceiveEventData*) { return ++calls > 0; };
    handler->m_leave = [&] { ++calls; };
    auto observer = std::make_shared<DropHandlerBase>();
    observer->m_leave = [&] { ++calls; };
    m_b->addDropHandler(handler);
    m_b->addLeaveObserver(observer);

    ASSERT_TRUE(request(70, 20));
    m_root->eraseChild(*m_b);
    EXPECT_EQ(calls, 1);  // the handler's leave, as its widget left the window
    m_b.reset();
    EXPECT_FALSE(drop(70, 20));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), nullptr);
}

TEST_F(DropTargets, AWidgetTakenOutOfItsWindowDuringADragTakesNoDrop)
{
    m_b->addDropHandler(recordingHandler(m_log, "b", UIA::DragDropSupport::eDropEffectCopy));
    ASSERT_TRUE(request(70, 20));
    // Removed from the tree but kept alive (a page put aside, say).
    m_root->eraseChild(*m_b);
    EXPECT_EQ(m_log, (Log{"request b 10,10", "leave b"}));
    EXPECT_FALSE(drop(70, 20));
    EXPECT_EQ(m_log.size(), 2u);
}

TEST_F(DropTargets, AHandlerMayRemoveItsOwnWidgetWhenTheDropArrives)
{
    int leaves = 0;
    auto handler = std::make_shared<DropHandler>();
    handler->m_request = [](UIA::DragDropRequestEventData* data) {
        data->dropEffect = UIA::DragDropSupport::eDropEffectCopy;
        return true;
    };
    handler->m_drop = [this](UIA::DragDropReceiveEventData*) {
        m_root->eraseChild(*m_b);
        m_b.reset();
        return true;
    };
    handler->m_leave = [&] { ++leaves; };
    m_b->addDropHandler(handler);
    request(70, 20);
    EXPECT_TRUE(drop(70, 20));
    EXPECT_EQ(m_b, nullptr);
    // Told once, as its widget left the window; the widget is gone before the manager's leave.
    EXPECT_EQ(leaves, 1);
}

}  // namespace
