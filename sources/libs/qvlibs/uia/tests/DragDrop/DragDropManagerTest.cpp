// The drag-and-drop manager without a display: which target is current after a request, what the
// drop and the leave send to it and to the observers, the end of a drag started here, the format
// registry, and targets and observers destroyed while a drag is under way.
#include "DragDropTargets.h"
#include "UIA/DragDropManager.h"
#include "UIA/TextClipBoardFormat.h"

#include <GP/Application.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace QV::UIA;
using QV::UIA::TEST::LoggingTarget;
using QV::UIA::TEST::tLogged;

constexpr unsigned kRequest = eEventDragDropRequest;
constexpr unsigned kReceive = eEventDragDropReceive;
constexpr unsigned kLeaved = eEventDragDropLeaved;
constexpr unsigned kFinished = eEventDragDropFinished;

class DragDropManagerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        // Whatever a test left of a drag ends here, so the next one starts clean.
        DragDropLeavedEventData leaved;
        DragDropManager::handleDragLeavedEvent(&leaved);
        DragDropManager::handleDragFinishedEvent(DragDropSupport::eDropResultOther);
    }

    // A request over the window `target` answers: accepted by `accepting` with `effect`.
    static std::function<bool(DragDropRequestEventData&)> accept(EventTarget* accepting, uint32_t effect,
                                                                 std::vector<EventTarget*> observers = {})
    {
        return [=](DragDropRequestEventData& data) {
            data.target = accepting;
            data.dropEffect = effect;
            data.observers = observers;
            return true;
        };
    }

    bool request(EventTarget* target, std::vector<EventTarget*> observers = {})
    {
        DragDropRequestEventData data;
        data.allowedEffects = DragDropSupport::eDropEffectCopy | DragDropSupport::eDropEffectMove;
        data.observers = std::move(observers);
        return DragDropManager::handleDragRequestEvent(nullptr, &data, target);
    }

    std::pair<bool, uint32_t> drop()
    {
        DragDropReceiveEventData data;
        const bool result = DragDropManager::handleDragReceiveEvent(&data);
        return {result, data.dropEffect};
    }

    std::vector<tLogged> log;
};

TEST_F(DragDropManagerTest, TheRequestsAnswerMakesTheCurrentTargetAndEffect)
{
    LoggingTarget window("window", log);
    LoggingTarget observer("observer", log);
    const struct {
        const char* what;
        std::function<bool(DragDropRequestEventData&)> answer;
        bool handled;
        EventTarget* current;
        uint32_t effect;
    } cases[] = {
        // The flag bit is not part of the effect.
        {"target with move and the flag", accept(&window, 0x80000002u), true, &window, 2},
        {"target with copy", accept(&window, 1), true, &window, 1},
        // Only the flag and an observer: the observer becomes current, with no effect.
        {"flag alone and an observer", accept(nullptr, 0x80000000u, {&observer}), true, &observer, 0},
        {"flag and move, no target", accept(nullptr, 0x80000002u, {&observer}), true, nullptr, 0},
        {"handled without target", accept(nullptr, 1), true, nullptr, 0},
        {"refused", [](DragDropRequestEventData&) { return false; }, false, nullptr, 0},
    };
    for (const auto& c : cases) {
        window.onRequest = c.answer;
        EXPECT_EQ(request(&window), c.handled) << c.what;
        EXPECT_EQ(DragDropManager::getCurrentDragTarget(), c.current) << c.what;
        EXPECT_EQ(DragDropManager::getCurrentDropEffect(), c.effect) << c.what;
        TearDown();
    }
    EXPECT_FALSE(request(nullptr)) << "no window";
}

TEST_F(DragDropManagerTest, MovingToAnotherTargetLeavesTheFirstAfterTheSecondAccepted)
{
    LoggingTarget window("window", log);
    LoggingTarget first("first", log);
    LoggingTarget second("second", log);
    window.onRequest = accept(&first, 1);
    ASSERT_TRUE(request(&window));
    log.clear();

    window.onRequest = accept(&second, 2);
    ASSERT_TRUE(request(&window));
    EXPECT_EQ(log, (std::vector<tLogged>{{"window", kRequest, false, 0, 0}, {"first", kLeaved, false, 0, 0}}));
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), &second);

    // The same target again is not left.
    log.clear();
    ASSERT_TRUE(request(&window));
    EXPECT_EQ(log, (std::vector<tLogged>{{"window", kRequest, false, 0, 0}}));
}

TEST_F(DragDropManagerTest, TheDropGoesToTheCurrentTargetWithItsEffectThenLeavesItAndTheObserversWatch)
{
    LoggingTarget window("window", log);
    LoggingTarget target("target", log);
    LoggingTarget observer("observer", log);
    window.onRequest = accept(&target, 0x80000002u, {&observer});
    ASSERT_TRUE(request(&window));
    // The observers listed stay for the whole drag: the next request is watched.
    ASSERT_TRUE(request(&window));
    // Observers see the record as the handler left it.
    EXPECT_EQ(log.back(), (tLogged{"observer", kRequest, true, 0x80000002u, 0}));
    log.clear();

    target.answer = true;
    const auto [result, effect] = drop();
    EXPECT_TRUE(result);
    EXPECT_EQ(effect, 2u);
    EXPECT_EQ(log, (std::vector<tLogged>{{"target", kReceive, false, 2, 0},
                                         {"observer", kReceive, true, 2, 0},
                                         {"target", kLeaved, false, 0, 0},
                                         {"observer", kLeaved, true, 0, 0}}));
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), nullptr);
    EXPECT_EQ(DragDropManager::getCurrentDropEffect(), 0u);

    // The drag is over: a new request is not watched by the old observers.
    log.clear();
    window.onRequest = nullptr;
    window.answer = false;
    request(&window);
    EXPECT_EQ(log, (std::vector<tLogged>{{"window", kRequest, false, 0, 0}}));
}

TEST_F(DragDropManagerTest, AnObserverMadeCurrentWithoutEffectIsLeftButNotDroppedOn)
{
    LoggingTarget window("window", log);
    LoggingTarget observer("observer", log);
    window.onRequest = accept(nullptr, 0x80000000u, {&observer});
    ASSERT_TRUE(request(&window));
    log.clear();
    const auto [result, effect] = drop();
    EXPECT_FALSE(result);
    EXPECT_EQ(effect, 0u);
    EXPECT_EQ(log, (std::vector<tLogged>{{"observer", kLeaved, false, 0, 0}, {"observer", kLeaved, true, 0, 0}}));
}

TEST_F(DragDropManagerTest, LeavingTellsTheTargetAndTheObserversAndEndsTheDrag)
{
    LoggingTarget window("window", log);
    LoggingTarget target("target", log);
    LoggingTarget observer("observer", log);
    window.onRequest = accept(&target, 1, {&observer});
    ASSERT_TRUE(request(&window));
    log.clear();
    target.answer = false;
    DragDropLeavedEventData leaved;
    EXPECT_FALSE(DragDropManager::handleDragLeavedEvent(&leaved)) << "the target's answer";
    EXPECT_EQ(log, (std::vector<tLogged>{{"target", kLeaved, false, 0, 0}, {"observer", kLeaved, true, 0, 0}}));
    log.clear();
    EXPECT_FALSE(DragDropManager::handleDragLeavedEvent(&leaved)) << "no target any more";
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(drop().first);
}

TEST_F(DragDropManagerTest, ATargetDestroyedDuringTheDragGetsNothingMore)
{
    LoggingTarget window("window", log);
    auto target = std::make_unique<LoggingTarget>("target", log);
    auto observer = std::make_unique<LoggingTarget>("observer", log);
    window.onRequest = accept(target.get(), 1, {observer.get()});
    ASSERT_TRUE(request(&window));
    target.reset();
    observer.reset();
    log.clear();
    // Under the sanitizer, any event sent to the destroyed target would be a use after free.
    EXPECT_FALSE(drop().first);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), nullptr);

    // The previous target destroyed before the next request is not left.
    auto previous = std::make_unique<LoggingTarget>("previous", log);
    window.onRequest = accept(previous.get(), 1);
    ASSERT_TRUE(request(&window));
    previous.reset();
    window.onRequest = accept(&window, 1);
    log.clear();
    ASSERT_TRUE(request(&window));
    EXPECT_EQ(log, (std::vector<tLogged>{{"window", kRequest, false, 0, 0}}));
}

TEST_F(DragDropManagerTest, TargetsDestroyedWhileTheManagerDeliversAreSkipped)
{
    LoggingTarget window("window", log);
    auto target = std::make_unique<LoggingTarget>("target", log);
    auto first = std::make_unique<LoggingTarget>("first", log);
    auto second = std::make_unique<LoggingTarget>("second", log);
    // Whichever observer hears the drop first destroys the other one and the target.
    const auto destroyOthers = [&](unsigned code) {
        if (code != kReceive)
            return;
        target.reset();
        if (first && second)
            (log.back().who == "first" ? second : first).reset();
    };
    first->onObserved = destroyOthers;
    second->onObserved = destroyOthers;
    window.onRequest = accept(target.get(), 1, {first.get(), second.get()});
    ASSERT_TRUE(request(&window));
    log.clear();
    drop();
    // One observer heard the drop and the leave; the target heard only the drop.
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], (tLogged{"target", kReceive, false, 1, 0}));
    EXPECT_EQ(log[1].code, kReceive);
    EXPECT_EQ(log[2], (tLogged{log[1].who, kLeaved, true, 0, 0}));

    // A request whose handler destroys the target it names makes no current target.
    auto doomed = std::make_unique<LoggingTarget>("doomed", log);
    window.onRequest = [&](DragDropRequestEventData& data) {
        data.target = doomed.get();
        data.dropEffect = 1;
        doomed.reset();
        return true;
    };
    EXPECT_TRUE(request(&window));
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), nullptr);
}

TEST_F(DragDropManagerTest, TheEndOfADragStartedHereReachesTheReceiverAndTheObserversOnce)
{
    LoggingTarget window("window", log);
    LoggingTarget receiver("receiver", log);
    LoggingTarget observer("observer", log);
    // Nothing has seen a mouse event: the drag cannot start and ends at once with result 0.
    TextClipBoardFormat text;
    text.setValue("dragged");
    DragDropManager::DoDragWithCallback(&receiver, text, DragDropSupport::eDropEffectCopy, nullptr);
    EXPECT_EQ(log, (std::vector<tLogged>{{"receiver", kFinished, false, 0, 0}}));
    EXPECT_FALSE(DragDropManager::isDragInProgress());

    log.clear();
    window.onRequest = accept(&window, 1, {&observer});
    DragDropManager::DoDragWithCallback(&receiver, text, DragDropSupport::eDropEffectCopy, nullptr);
    log.clear();
    ASSERT_TRUE(request(&window));
    log.clear();
    EXPECT_FALSE(DragDropManager::handleDragFinishedEvent(DragDropSupport::eDropResultMoved));
    EXPECT_TRUE(log.empty()) << "the receiver was told already";

    // Without a result receiver nobody hears of the end, observers neither, and they are forgotten.
    ASSERT_TRUE(request(&window));
    log.clear();
    EXPECT_FALSE(DragDropManager::handleDragFinishedEvent(DragDropSupport::eDropResultCopied));
    EXPECT_TRUE(log.empty());
    request(&window);
    for (const tLogged& logged : log)
        EXPECT_NE(logged.who, "observer") << logged;
}

TEST_F(DragDropManagerTest, TheObserversOfTheCurrentDragHearTheEndOfADragStartedHere)
{
    LoggingTarget window("window", log);
    LoggingTarget receiver("receiver", log);
    LoggingTarget observer("observer", log);
    window.onRequest = accept(&window, 1, {&observer});
    ASSERT_TRUE(request(&window));
    log.clear();
    // The drag cannot start here (no mouse event was seen): it ends at once, with result 0.
    TextClipBoardFormat text;
    text.setValue("dragged");
    DragDropManager::DoDragWithCallback(&receiver, text, DragDropSupport::eDropEffectCopy, nullptr);
    EXPECT_EQ(log, (std::vector<tLogged>{{"receiver", kFinished, false, 0, 0}, {"observer", kFinished, true, 0, 0}}));

    // Heard once: the end forgot them.
    log.clear();
    EXPECT_FALSE(DragDropManager::handleDragFinishedEvent(DragDropSupport::eDropResultMoved));
    EXPECT_TRUE(log.empty());
}

// Registers four names, one of them twice, and answers 0 when their ids are the signature's next
// numbers in order of first registration, else 1; the ids go to the error output.
int registerFormatsAndCheckTheirIds()
{
    const auto signature = static_cast<unsigned>(QV::GP::Application::s_appSignature);
    const unsigned ids[] = {
        DragDropManager::registerFormat("vardolin.test.first"),
        DragDropManager::registerFormat("vardolin.test.second"),
        DragDropManager::registerFormat("vardolin.test.first"),
        DragDropManager::registerFormat("vardolin.test.third"),
    };
    const unsigned expected[] = {signature + 1, signature + 2, signature + 1, signature + 3};
    bool right = true;
    for (int i = 0; i < 4; ++i) {
        std::fprintf(stderr, "id %d: %u, expected %u\n", i, ids[i], expected[i]);
        right = right && ids[i] == expected[i];
    }
    return right ? 0 : 1;
}

TEST(DragDropFormats, IdsFollowTheApplicationSignatureInOrderOfFirstRegistration)
{
    // The registry is the process's: a fresh process shows its first ids whatever ran before here.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(registerFormatsAndCheckTheirIds()), testing::ExitedWithCode(0), "");
}

}  // namespace
