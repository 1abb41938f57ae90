// The implementation of a modal dialog; nothing in this system makes one, but a window's delegate
// ends its modal run when it is asked to close.
#pragma once

#include "COCOA/WindowImpl.h"

namespace QV::UIA::COCOA {

class DialogImpl : public WindowImpl {
public:
    explicit DialogImpl(WindowBase* owner) : WindowImpl(owner) {}

    // Ends the modal run, when one runs.
    void stopModal();
    bool isRunningModal() const { return m_bRunningModal; }

private:
    bool m_bRunningModal = false;
};

}  // namespace QV::UIA::COCOA
