#include "COCOA/StandaloneWindowImpl.h"
#include "UIA/Window.h"
#include "UIA/WindowHost.h"

namespace QV::UIA {

StandaloneWindow::~StandaloneWindow()
{
    DETAIL::WindowHost::get().removeWindow(this);
    delete getImpl();
    setImpl(nullptr);
}

bool StandaloneWindow::create(const Window::CreateData& data)
{
    if (getImpl())
        return false;  // made already
    auto* impl = new COCOA::StandaloneWindowImpl(this);
    setImpl(impl);
    const bool made = impl->createWindowAndAttach(data, COCOA::WindowImplBase::eWindowClassWindow);
    DETAIL::WindowHost& host = DETAIL::WindowHost::get();
    host.addWindow(this);
    host.setMainWindow(this);
    return made;
}

}  // namespace QV::UIA
