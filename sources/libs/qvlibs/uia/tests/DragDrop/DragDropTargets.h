// Drop targets that write down every drag event they get, in one log shared by the test's targets,
// and answer as the test says.
#pragma once

#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/EventTarget.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace QV::UIA::TEST {

struct tLogged {
    std::string who;
    unsigned code = 0;
    bool observer = false;
    uint32_t dropEffect = 0;  // of drag records, as the target saw it
    uint32_t result = 0;      // of eEventDragDropFinished

    bool operator==(const tLogged& other) const
    {
        return who == other.who && code == other.code && observer == other.observer && dropEffect == other.dropEffect &&
               result == other.result;
    }
};

inline std::ostream& operator<<(std::ostream& out, const tLogged& logged)
{
    return out << logged.who << (logged.observer ? " observes " : " gets ") << logged.code << " effect "
               << logged.dropEffect << " result " << logged.result;
}

class LoggingTarget : public EventTarget {
public:
    LoggingTarget(std::string name, std::vector<tLogged>& log) : m_name(std::move(name)), m_log(log) {}

    bool onEvent(unsigned code, EventData* data) override
    {
        m_log.push_back(describe(code, data, false));
        if (code == eEventDragDropRequest && onRequest)
            return onRequest(*static_cast<DragDropRequestEventData*>(data));
        return code == eEventDragDropFinished ? true : answer;
    }

    void onObserverEvent(unsigned code, EventData* data) override
    {
        m_log.push_back(describe(code, data, true));
        if (onObserved)
            onObserved(code);
    }

    std::function<bool(DragDropRequestEventData&)> onRequest;
    std::function<void(unsigned)> onObserved;
    bool answer = true;

private:
    tLogged describe(unsigned code, EventData* data, bool observer) const
    {
        tLogged logged{m_name, code, observer, 0, 0};
        if (code == eEventDragDropRequest || code == eEventDragDropReceive)
            logged.dropEffect = static_cast<DragEventData*>(data)->dropEffect;
        if (code == eEventDragDropFinished)
            logged.result = static_cast<DragDropFinishedEventData*>(data)->result;
        return logged;
    }

    std::string m_name;
    std::vector<tLogged>& m_log;
};

}  // namespace QV::UIA::TEST
