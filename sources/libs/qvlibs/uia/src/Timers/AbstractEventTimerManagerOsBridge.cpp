#include "UIA/AbstractEventTimerManagerOsBridge.h"

#include "UIA/EventTimerManager.h"

namespace QV::UIA {

void AbstractEventTimerManagerOsBridge::notifySubscribers() { m_manager.notifySubscribers(); }

}  // namespace QV::UIA
