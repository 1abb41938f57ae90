// The implementation of a StandaloneWindow: a window with a view whose resizable form can fill its
// screen.
#pragma once

#include "COCOA/WindowImpl.h"

namespace QV::UIA::COCOA {

class StandaloneWindowImpl : public WindowImpl {
public:
    explicit StandaloneWindowImpl(WindowBase* owner) : WindowImpl(owner) {}

    // A resizable window also gets the full-screen behaviour.
    bool createWindowAndAttach(const WindowBase::CreateData& data, eWindowClass windowClass) override;
    // The point is not used: the window fills its screen.
    void setFullScreenMode(const GP::Point& point) override;
    bool isFullScreenMode() const override;
    void resetFullScreenMode() override;
};

}  // namespace QV::UIA::COCOA
