#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/Window.h"
#include "UIA/WindowHost.h"

namespace QV::UIA {

bool MainWindow::onEvent(unsigned code, EventData* data)
{
    DETAIL::WindowHost& host = DETAIL::WindowHost::get();
    if (code == eEventWindowDestroyed) {
        // The main window going away ends the program, unless it is ending already.
        if (host.isQuitting())
            return Window::onEvent(code, data);
        host.postQuit();
        return true;
    }
    if (code == eEventWindowCloseRequest) {
        // The window closes only when the application may quit.
        AllowEventData query;
        host.sendWindowEventToApplication(eEventAppQueryQuit, &query, this);
        static_cast<AllowEventData*>(data)->allow = query.allow;
        return true;
    }
    if (code >= eEventDragDropRequest && code <= 1399)
        return host.sendWindowEventToApplication(code, data, this);
    return Window::onEvent(code, data);
}

}  // namespace QV::UIA
