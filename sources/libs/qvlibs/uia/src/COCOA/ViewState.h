// The content view's internals, shared by its files (View.cpp, ViewMouse.cpp, ViewKeys.cpp,
// ViewTextInput.cpp): the per-view state and the ways to reach the implementation.
#pragma once

#include "COCOA/View.h"
#include "COCOA/ViewInput.h"
#include "COCOA/WindowImplBase.h"
#include "GP/ClassFactory.h"

#include <AppKit/NSEvent.h>
#include <objc/message.h>

namespace QV::UIA::COCOA::ViewDetail {

// The view's key-input state and its other per-view memory, zeroed at creation ("pTextInputState").
struct tTextInputState {
    id lastKeyEvent = nil;  // the current key-down event, retained
    uint32_t lastKey = 0;   // its key value
    bool shortcutHandled = false;
    bool textHandled = false;  // the last text-input callback's event was handled
    int keyDownNesting = 0;

    // The key-down event that -performKeyEquivalent: handed to the key-down handling already, retained:
    // the -keyDown: of the same event does not hand it over a second time.
    id keyEquivalentEvent = nil;
    // What the last left press was reported as: its release names the same button.
    eMouseButton leftPressReported = eMouseButtonLeft;
    ViewInput::ScrollAccumulator scrollX;
    ViewInput::ScrollAccumulator scrollY;
};

WindowImplBase* implOf(id self);
void setImplOf(id self, WindowImplBase* impl);
tTextInputState* stateOf(id self);

// The superclass's implementation of the view's own selector (an event passed on).
void passToSuper(id self, SEL op, id event);

// Keeps the view alive while an event is sent: a receiver may close the window, which releases it.
class RetainScope {
public:
    explicit RetainScope(id object) : m_pObject(objc_retain(object)) {}
    ~RetainScope() { objc_release(m_pObject); }
    RetainScope(const RetainScope&) = delete;
    RetainScope& operator=(const RetainScope&) = delete;

private:
    id m_pObject;
};

// The window's answer to an event of the view (not to the application); false without window.
bool sendToWindow(id self, unsigned code, EventData* data);
// The window's answer, else the application's.
bool sendToWindowThenApplication(id self, unsigned code, EventData* data);

// The methods of each group, bound by View.cpp when it makes the class.
void addMouseMethods(GP::OBJC::ClassFactory& factory);
void addKeyMethods(GP::OBJC::ClassFactory& factory);
void addTextInputMethods(GP::OBJC::ClassFactory& factory);
void addDragMethods(GP::OBJC::ClassFactory& factory);

// Key-down and key-up handling (keyDown:, keyUp:, performKeyEquivalent:): true when handled.
bool handleKeyDown(id self, id event);
bool handleKeyUp(id self, id event);
// The view's own shortcut step; true when it handled the current key.
bool handleKeyShortcut(id self);
// Key-input state clean-up for -dealloc.
void releaseKeyState(tTextInputState& state);
// Removes the view's local event monitor, if any.
void removeEventMonitor(id self);
// The drag view data forgets the view when it goes.
void forgetDragView(id self);

}  // namespace QV::UIA::COCOA::ViewDetail
