#include "COCOA/DialogImpl.h"

#include <objc/message.h>

namespace QV::UIA::COCOA {

void DialogImpl::stopModal()
{
    if (!m_bRunningModal)
        return;
    m_bRunningModal = false;
    id application = objc::msgSend<id>(objc_getClass("NSApplication"), objc::sel("sharedApplication"));
    objc::msgSend<void>(application, objc::sel("stopModal"));
}

}  // namespace QV::UIA::COCOA
