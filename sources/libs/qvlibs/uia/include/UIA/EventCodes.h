// The event codes of the UI layer. A code is a plain unsigned number that names what happened and,
// with it, which record (EventData.h) the payload is. The toolkit derives its widget-level button codes
// from the mouse codes (its pane defines them).
//
// Delivery is a synchronous call of EventTarget::sendEvent. A window passes an unhandled event on to
// the application only for the key and text codes (1100-1105) and the command codes it gets from its
// view; the application offers the command codes (1200-1299) to its main window first. The application
// codes (10000...) go to the application directly.
#pragma once

namespace QV::UIA {

enum eEventCode : unsigned {
    // Payload TimerEventData; from the timer service to each due subscriber.
    eEventTimer = 2,

    // From the window's view, in view coordinates.
    eEventMouseButton = 1000,        // MouseButtonEventData: press, release, double-click
    eEventMouseDrag = 1001,          // MouseEventData: move with a button held
    eEventMouseMove = 1002,          // MouseEventData: move without a button
    eEventMouseWheel = 1003,         // MouseWheelEventData: one per non-zero axis, horizontal first
    eEventMouseEnter = 1004,         // MouseEventData
    eEventMouseLeave = 1005,         // MouseEventData
    eEventMouseRelativeMove = 1006,  // MouseRelativeMoveEventData: before a drag or move, while decoupled

    // From the view; unhandled ones go on to the application.
    eEventKeyDown = 1100,           // KeyEventData
    eEventKeyUp = 1101,             // KeyEventData
    eEventTextInsert = 1102,        // TextEventData: text committed by the system text input
    eEventModifiersChanged = 1103,  // ModifierKeysEventData
    eEventTextMarked = 1104,        // MarkedTextEventData: composition text changed
    eEventKeyCommand = 1105,        // KeyCommandEventData: editing command while a text input is active

    // Commands: menu items, keyboard shortcuts, the system's terminate request.
    eEventCommandExecute = 1200,   // CommandExecuteEventData
    eEventCommandValidate = 1201,  // MenuEventData: is the item enabled?
    eEventMenuOpen = 1202,         // MenuEventData, commandId -1

    // Drag and drop, from the drag-and-drop manager.
    eEventDragDropRequest = 1300,   // DragDropRequestEventData: a drag entered or moved over a window
    eEventDragDropReceive = 1301,   // DragDropReceiveEventData: dropped on the current target
    eEventDragDropLeaved = 1303,    // DragDropLeavedEventData: left, dropped or cancelled; also observed
    eEventDragDropFinished = 1304,  // DragDropFinishedEventData: a drag started here ended

    // To the application.
    eEventAppActivated = 10000,        // empty EventData
    eEventAppDeactivated = 10001,      // empty EventData
    eEventAppQueryQuit = 10002,        // AllowEventData: may the application quit?
    eEventAppOpenFile = 10003,         // OpenFileEventData; handled = opened
    eEventAppDisplaysChanged = 10005,  // empty EventData, a second after a display change

    // To the window concerned.
    eEventWindowCreated = 1000000,             // empty EventData
    eEventWindowDestroyed = 1000001,           // empty EventData
    eEventWindowPaint = 1000002,               // PaintEventData
    eEventWindowSizeChanged = 1000003,         // empty EventData
    eEventWindowMoved = 1000004,               // empty EventData
    eEventWindowBecameMain = 1000005,          // empty EventData
    eEventWindowResignedMain = 1000006,        // empty EventData
    eEventWindowDeactivated = 1000007,         // empty EventData, with eEventWindowResignedKey
    eEventWindowBecameKey = 1000008,           // empty EventData
    eEventWindowResignedKey = 1000009,         // empty EventData
    eEventWindowQuerySizeLimits = 1000010,     // SizeLimitsEventData; handled: the size is clamped
    eEventWindowQueryIdealSize = 1000011,      // IdealSizeEventData; handled: the window takes it
    eEventWindowCloseRequest = 1000012,        // AllowEventData: may the window close?
    eEventWindowAboutToShow = 1000013,         // empty EventData
    eEventWindowBackingScaleChanged = 1000015  // BackingScaleEventData
};

}  // namespace QV::UIA
