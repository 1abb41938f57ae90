// An event target that records the events it receives and answers them as the test says.
#pragma once

#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/EventTarget.h"
#include "UIA/HMenu.h"

#include <functional>
#include <vector>

namespace QV::UIA::TEST {

struct tRecordedEvent {
    unsigned code = 0;
    int commandId = 0;
    id menu = nullptr;  // the menu of a MenuEventData
};

class RecordingTarget : public EventTarget {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        tRecordedEvent seen;
        seen.code = code;
        if (code == eEventCommandExecute)
            seen.commandId = static_cast<CommandExecuteEventData*>(data)->commandId;
        if (code == eEventCommandValidate || code == eEventMenuOpen) {
            auto* menuData = static_cast<MenuEventData*>(data);
            seen.commandId = menuData->commandId;
            seen.menu = menuData->menu ? menuData->menu->getMenu() : nullptr;
        }
        events.push_back(seen);
        return answer ? answer(code, data) : false;
    }

    std::vector<tRecordedEvent> events;
    std::function<bool(unsigned, EventData*)> answer;
};

}  // namespace QV::UIA::TEST
