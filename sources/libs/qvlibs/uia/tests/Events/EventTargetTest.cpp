// Event targets: what the base answers, how sendEvent reaches the handler, how answer fields come back
// to the sender, and that observer events take their own road.
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/EventTarget.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace QV::UIA;
using ::testing::_;
using ::testing::Return;

TEST(EventTarget, ThePlainTargetHandlesNothingAndIgnoresObserverEvents)
{
    EventTarget target;
    TimerEventData timer;
    MouseButtonEventData button;
    AllowEventData allow;
    EventData none;
    const struct {
        unsigned code;
        EventData* data;
    } events[] = {
        {eEventTimer, &timer},
        {eEventMouseButton, &button},
        {eEventWindowCloseRequest, &allow},
        {eEventAppActivated, &none},
        {4242, nullptr},  // a code nobody knows
    };
    for (const auto& event : events) {
        EXPECT_FALSE(target.sendEvent(event.code, event.data)) << event.code;
        target.sendObserverEvent(event.code, event.data);
    }
    EXPECT_TRUE(allow.allow);  // a question nobody answered stays allowed
}

class MockTarget : public EventTarget {
public:
    MOCK_METHOD(bool, onEvent, (unsigned code, EventData* data), (override));
    MOCK_METHOD(void, onObserverEvent, (unsigned code, EventData* data), (override));
};

TEST(EventTarget, SendEventReachesTheHandlerWithTheSendersRecord)
{
    MockTarget target;
    CommandExecuteEventData command;
    command.commandId = 40000;
    EXPECT_CALL(target, onEvent(eEventCommandExecute, &command)).WillOnce(Return(true));
    EXPECT_CALL(target, onEvent(eEventKeyDown, _)).WillOnce(Return(false));
    EXPECT_CALL(target, onObserverEvent(_, _)).Times(0);

    EXPECT_TRUE(target.sendEvent(eEventCommandExecute, &command));
    KeyEventData key;
    EXPECT_FALSE(target.sendEvent(eEventKeyDown, &key));
}

TEST(EventTarget, ObserverEventsGoToTheObserverHandlerOnly)
{
    MockTarget target;
    DragDropLeavedEventData leaved;
    EXPECT_CALL(target, onObserverEvent(eEventDragDropLeaved, &leaved));
    EXPECT_CALL(target, onEvent(_, _)).Times(0);
    target.sendObserverEvent(eEventDragDropLeaved, &leaved);
}

// A receiver that answers a question and handles some codes: refusing and handling are independent.
class Gatekeeper : public EventTarget {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        switch (code) {
        case eEventAppQueryQuit:  // refuses without claiming the event
            static_cast<AllowEventData*>(data)->allow = false;
            return false;
        case eEventWindowCloseRequest:  // handles and lets it close
            return true;
        case eEventWindowQueryIdealSize:
            static_cast<IdealSizeEventData*>(data)->size = QV::GP::Point(627, 335);
            return true;
        default: return EventTarget::onEvent(code, data);
        }
    }
};

TEST(EventTarget, TheSenderReadsTheAnswerFieldsAfterTheCall)
{
    Gatekeeper target;
    AllowEventData quit;
    EXPECT_FALSE(target.sendEvent(eEventAppQueryQuit, &quit));
    EXPECT_FALSE(quit.allow);

    AllowEventData close;
    EXPECT_TRUE(target.sendEvent(eEventWindowCloseRequest, &close));
    EXPECT_TRUE(close.allow);

    IdealSizeEventData ideal;
    EXPECT_TRUE(target.sendEvent(eEventWindowQueryIdealSize, &ideal));
    EXPECT_EQ(ideal.size, QV::GP::Point(627, 335));

    EventData none;
    EXPECT_FALSE(target.sendEvent(eEventAppDisplaysChanged, &none));
}

// A receiver that acts around the whole dispatch overrides sendEvent and still reaches its handler,
// and a derived handler passes what it does not know on to its base.
class Recorder : public Gatekeeper {
public:
    bool sendEvent(unsigned code, EventData* data) override
    {
        m_log.push_back("before " + std::to_string(code));
        const bool handled = Gatekeeper::sendEvent(code, data);
        m_log.push_back(handled ? "handled" : "not handled");
        return handled;
    }
    bool onEvent(unsigned code, EventData* data) override
    {
        m_log.push_back("onEvent");
        return code == eEventAppActivated || Gatekeeper::onEvent(code, data);
    }

    std::vector<std::string> m_log;
};

TEST(EventTarget, AnOverriddenSendEventWrapsTheDispatch)
{
    Recorder target;
    EventData none;
    AllowEventData close;
    EXPECT_TRUE(target.sendEvent(eEventAppActivated, &none));
    EXPECT_TRUE(target.sendEvent(eEventWindowCloseRequest, &close));  // the base's handler
    EXPECT_FALSE(target.sendEvent(eEventAppDeactivated, &none));
    EXPECT_EQ(target.m_log, (std::vector<std::string>{"before 10000", "onEvent", "handled", "before 1000012", "onEvent",
                                                      "handled", "before 10001", "onEvent", "not handled"}));
}

}  // namespace
