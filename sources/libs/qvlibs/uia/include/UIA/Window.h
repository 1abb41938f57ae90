// The window classes above WindowBase: Window (any window), MainWindow (a window whose closing and
// destruction end the application) and StandaloneWindow (a main window made by create).
#pragma once

#include "UIA/WindowBase.h"

namespace QV::UIA {

class Window : public WindowBase {
public:
    struct CreateData : WindowBase::CreateData {};

    ~Window() override = default;
};

// A window that belongs to the application's life: asking to close it asks the application whether
// it may quit, its destruction quits the application, and the drag and drop codes it gets go on to
// the application.
class MainWindow : public Window {
public:
    ~MainWindow() override = default;

    bool onEvent(unsigned code, EventData* data) override;
};

class StandaloneWindow : public MainWindow {
public:
    // Removes the window from the application's window list, then deletes the implementation.
    ~StandaloneWindow() override;

    // Makes the platform window with its view (eEventWindowCreated is sent inside), then lists the
    // window with the application and makes it the main window. False when the platform window
    // could not be made (the window then has an implementation without platform objects) and for a
    // window made already.
    bool create(const Window::CreateData& data);
};

}  // namespace QV::UIA
