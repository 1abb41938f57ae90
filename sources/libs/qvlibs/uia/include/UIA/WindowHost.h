// What the windows and their views need from the parts of the UI layer above them: the application
// (its window list, main window, quitting, events), the cursor manager and the keyboard shortcuts.
// Those parts install one host (the application, when it is made); until then the default host
// answers as when there is no application: events are not handled, nothing is listed, no cursor
// changes and no shortcut exists.
//
// Main thread only.
#pragma once

#include <objc/runtime.h>

#include <cstdint>

namespace QV::UIA {

struct EventData;
class WindowBase;

namespace DETAIL {

class WindowHost {
public:
    virtual ~WindowHost() = default;

    // The current host: the installed one, else the default one.
    static WindowHost& get();
    // Installs a host (null: the default again); answers the previous one.
    static WindowHost* install(WindowHost* host);

    // The current application's sendEvent; false without application.
    virtual bool sendApplicationEvent(unsigned code, EventData* data);
    // The application's sendWndEvent: an event about `window`.
    virtual bool sendWindowEventToApplication(unsigned code, EventData* data, WindowBase* window);
    // The application's window list and main window.
    virtual void addWindow(WindowBase* window);
    virtual void removeWindow(WindowBase* window);
    virtual void setMainWindow(WindowBase* window);
    virtual bool isQuitting() const;
    virtual void postQuit();

    // Shows a cursor (an NSCursor or an entry of the cursor table); null shows the system's default.
    virtual void setSystemCursor(void* cursor);

    // The application-target value; the view's own shortcut step acts only when it is 1.
    virtual int appTarget() const;
    // The accelerator table's command for a key value; 0 when none.
    virtual int acceleratorCommand(uint32_t key) const;
    // Offers a key event to the application's main menu; true when an item took it.
    virtual bool mainMenuPerformKeyEquivalent(id event);
    // Hides the application, or the other applications.
    virtual void hideApplication(bool others);
};

}  // namespace DETAIL
}  // namespace QV::UIA
