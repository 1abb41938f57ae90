// A content view serving a recording window, without a window system: the view's handlers are
// called with synthetic events, and what reaches the window and the application is recorded.
#pragma once

#include "COCOA/View.h"
#include "COCOA/WindowImplBase.h"
#include "SyntheticEvent.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/TextInputBase.h"
#include "UIA/Window.h"
#include "UIA/WindowHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace QV::UIA::TEST {

// One event as it arrived, with the fields of its payload that the tests look at.
struct tArrived {
    unsigned code = 0;
    GP::Point pos;
    uint32_t modifiers = 0;
    uint32_t button = 0;
    uint32_t state = 0;
    int delta = 0;
    uint32_t axis = 0;
    uint32_t key = 0;
    uint32_t independent = 0;
    bool firstPress = false;
    std::string text;
    size_t caret = 0;
    uint32_t command = 0;
    bool extend = false;
};

inline tArrived describe(unsigned code, EventData* data)
{
    tArrived a;
    a.code = code;
    switch (code) {
    case eEventMouseButton: {
        auto* d = static_cast<MouseButtonEventData*>(data);
        a.button = d->button;
        a.state = d->state;
        [[fallthrough]];
    }
    case eEventMouseMove:
    case eEventMouseDrag:
    case eEventMouseEnter:
    case eEventMouseLeave: {
        auto* d = static_cast<MouseEventData*>(data);
        a.pos = d->pos;
        a.modifiers = d->modifiers;
        break;
    }
    case eEventMouseWheel: {
        auto* d = static_cast<MouseWheelEventData*>(data);
        a.pos = d->pos;
        a.delta = d->delta;
        a.axis = d->axis;
        break;
    }
    case eEventKeyDown:
    case eEventKeyUp: {
        auto* d = static_cast<KeyEventData*>(data);
        a.key = d->key;
        a.independent = d->layoutIndependentKey;
        a.firstPress = d->firstPress;
        break;
    }
    case eEventModifiersChanged: {
        auto* d = static_cast<ModifierKeysEventData*>(data);
        a.modifiers = d->modifiers;
        a.key = d->keyCode;
        break;
    }
    case eEventTextInsert: a.text = static_cast<TextEventData*>(data)->text; break;
    case eEventTextMarked:
        a.text = static_cast<MarkedTextEventData*>(data)->text;
        a.caret = static_cast<MarkedTextEventData*>(data)->caret;
        break;
    case eEventKeyCommand:
        a.command = static_cast<KeyCommandEventData*>(data)->command;
        a.extend = static_cast<KeyCommandEventData*>(data)->extendSelection;
        break;
    default: break;
    }
    return a;
}

// Where a window's life is logged, in order.
using Log = std::vector<std::string>;

class RecordingWindow : public Window {
public:
    explicit RecordingWindow(Log* log = nullptr) : m_log(log) {}
    ~RecordingWindow() override
    {
        if (m_log)
            m_log->push_back("window deleted");
    }

    using WindowBase::setImpl;

    bool onEvent(unsigned code, EventData* data) override
    {
        arrived.push_back(describe(code, data));
        if (m_log && code == eEventWindowDestroyed)
            m_log->push_back("eEventWindowDestroyed");
        if (onArrival)
            onArrival(code, data);
        return handles(code);
    }

    std::vector<tArrived> arrived;
    std::function<bool(unsigned)> handles = [](unsigned) { return true; };
    std::function<void(unsigned, EventData*)> onArrival;

    std::vector<unsigned> codes() const
    {
        std::vector<unsigned> c;
        for (const tArrived& a : arrived)
            c.push_back(a.code);
        return c;
    }

private:
    Log* m_log;
};

class LoggingImpl : public COCOA::WindowImplBase {
public:
    LoggingImpl(WindowBase* owner, Log* log) : COCOA::WindowImplBase(owner), m_log(log) {}
    ~LoggingImpl() override
    {
        if (m_log)
            m_log->push_back("implementation deleted");
    }

private:
    Log* m_log;
};

struct RecordingHost : DETAIL::WindowHost {
    RecordingHost() : m_previous(install(this)) {}
    ~RecordingHost() override { install(m_previous); }
    bool sendApplicationEvent(unsigned code, EventData* data) override
    {
        arrived.push_back(describe(code, data));
        return false;
    }
    void setSystemCursor(void* cursor) override { cursors.push_back(cursor); }
    std::vector<tArrived> arrived;
    std::vector<void*> cursors;  // each cursor shown, null for the system's default

private:
    DETAIL::WindowHost* m_previous;
};

// A text input with a marked range the test sets.
struct FakeTextInput : TextInputBase {
    TextRange getSelectedRange() const override { return selected; }
    void selectAll() override {}
    GP::Rect getRectForRange(const TextRange&) const override { return rect; }
    void setMarkedRange(const TextRange& range) override { marked = range; }
    TextRange getMarkedRange() const override { return marked; }

    TextRange selected{3, 2};
    TextRange marked;
    GP::Rect rect{100, 200, 110, 220};
};

// A 200 x 100 view serving a recording window through a logging implementation.
class ViewFixture : public ::testing::Test {
protected:
    static constexpr double kHeight = 100;

    void SetUp() override
    {
        ASSERT_NE(COCOA::View::s_pClass, nullptr);
        impl = new LoggingImpl(&window, &log);
        window.setImpl(impl);
        view = COCOA::View::createWithImplAndSize(impl, CGSizeMake(200, kHeight));
        ASSERT_NE(view, nil);
        impl->attach(view, nil);
        pool = objc_autoreleasePoolPush();
    }

    void TearDown() override
    {
        objc_autoreleasePoolPop(pool);
        objc_release(view);
    }

    // Sends `selector` with a synthetic event to the view; the event's location is given in view
    // coordinates (top-left) and turned into window ones (bottom-left).
    void send(const char* selector, tSyntheticEvent record)
    {
        record.locationInWindow.y = kHeight - record.locationInWindow.y;
        id event = SyntheticEvents::make(record);
        objc::msgSend<void, id>(view, objc::sel(selector), event);
        objc_release(event);
    }

    BOOL ask(const char* selector, const tSyntheticEvent& record)
    {
        id event = SyntheticEvents::make(record);
        const BOOL answer = objc::msgSend<BOOL, id>(view, objc::sel(selector), event);
        objc_release(event);
        return answer;
    }

    Log log;
    RecordingHost host;
    RecordingWindow window{&log};
    LoggingImpl* impl = nullptr;
    id view = nil;
    void* pool = nullptr;
};

}  // namespace QV::UIA::TEST
