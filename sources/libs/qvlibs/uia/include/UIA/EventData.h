// The payload records of events. Which record an event carries follows from its code alone
// (EventCodes.h). The sender owns the record, usually on its stack for the length of the call; the
// receiver reads it and writes the answer fields that some records have, which the sender reads after
// the call. Nothing keeps a record beyond the call.
#pragma once

#include "GP/Point.h"
#include "UIA/DragDropSupport.h"
#include "UIA/HEventTimer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace QV::GP {
class FileName;
}

namespace QV::UIA {

class ClipBoardFormat;
struct ClipBoardFormatHandle;
class DeviceContext;
class EventTarget;
class ExchangeData;
class HMenu;

// The base of every record; an event without payload carries one as it is.
struct EventData {};

// eEventTimer.
struct TimerEventData : EventData {
    HEventTimer timer = nullptr;  // the subscription that fired
    int intervalMs = 0;           // its interval
};

enum eMouseButton : uint32_t {
    eMouseButtonLeft = 1,
    eMouseButtonRight = 2,
    eMouseButtonMiddle = 4  // any other button
};

enum eMouseButtonState : uint32_t {
    eMouseButtonDown = 1,
    eMouseButtonUp = 2,
    eMouseButtonDoubleClick = 3
};

// eEventMouseDrag, eEventMouseMove, eEventMouseEnter, eEventMouseLeave.
struct MouseEventData : EventData {
    GP::Point pos;           // view coordinates, origin top-left; the toolkit makes it widget-relative
    uint32_t modifiers = 0;  // eModifier* bits
};

// eEventMouseButton.
struct MouseButtonEventData : MouseEventData {
    uint32_t button = 0;  // eMouseButton
    uint32_t state = 0;   // eMouseButtonState
};

// eEventMouseWheel: one event per axis that moved.
struct MouseWheelEventData : MouseEventData {
    int delta = 0;      // the scroll delta, truncated
    uint32_t axis = 0;  // 0 horizontal, 1 vertical

    // Delta units per wheel step.
    static int getDeltaUnit() { return 1; }
};

// eEventMouseRelativeMove: movement since the previous event while the cursor is decoupled.
struct MouseRelativeMoveEventData : MouseEventData {
    double dx = 0;
    double dy = 0;
};

// eEventKeyDown, eEventKeyUp.
struct KeyEventData : EventData {
    uint32_t key = 0;                   // key code in the low 17 bits, with eModifier* and keypad bits
    uint32_t layoutIndependentKey = 0;  // the key by its physical position; 0 when none
    bool firstPress = false;            // false for an auto-repeat
};

// eEventTextInsert.
struct TextEventData : EventData {
    std::string text;  // UTF-8, committed by the system text input
};

// eEventModifiersChanged.
struct ModifierKeysEventData : EventData {
    uint32_t modifiers = 0;  // eModifier* bits
    uint32_t keyCode = 0;    // the platform's virtual key code of the modifier key
};

// eEventTextMarked.
struct MarkedTextEventData : EventData {
    std::string text;  // UTF-8 composition text
    size_t caret = 0;  // end of the selected range inside it
};

enum eKeyCommand : uint32_t {
    eKeyCommandMoveLeft = 0,
    eKeyCommandMoveRight = 1,
    eKeyCommandMoveUp = 2,
    eKeyCommandMoveDown = 3,
    eKeyCommandMoveToLineStart = 4,
    eKeyCommandMoveToLineEnd = 5,
    eKeyCommandDeleteForward = 8,
    eKeyCommandDeleteBackward = 9
};

// eEventKeyCommand.
struct KeyCommandEventData : EventData {
    uint32_t command = 0;  // eKeyCommand
    bool extendSelection = false;
};

// eEventCommandExecute.
struct CommandExecuteEventData : EventData {
    int commandId = 0;  // menu item tag, accelerator command or built-in command id
};

// eEventCommandValidate, eEventMenuOpen.
struct MenuEventData : EventData {
    int commandId = 0;      // -1 for eEventMenuOpen
    HMenu* menu = nullptr;  // the menu concerned; a validating receiver sets the item's state in it
};

// The drag records; the drag-and-drop manager fills them.
struct DragEventData : EventData {
    GP::Point pos;
    uint32_t modifiers = 0;
    ExchangeData* data = nullptr;  // the dragged data
    uint32_t dropEffect = 0;       // DragDropSupport::DropEffect, chosen by the target

    // Read the dragged data through the installed drag-and-drop delegate (DragDropDelegate.h).
    bool getFormat(ClipBoardFormat& format) const;
    bool containsFormat(const ClipBoardFormatHandle& handle) const;
};

// eEventDragDropRequest.
struct DragDropRequestEventData : DragEventData {
    uint32_t allowedEffects = 0;
    std::vector<EventTarget*> observers;
    EventTarget* target = nullptr;  // the accepting target
    void* reserved[2] = {nullptr, nullptr};
};

// eEventDragDropReceive: dropEffect is preset with the effect accepted during the request.
struct DragDropReceiveEventData : DragEventData {};

// eEventDragDropLeaved.
struct DragDropLeavedEventData : EventData {};

// eEventDragDropFinished.
struct DragDropFinishedEventData : EventData {
    DragDropSupport::DropResult result = DragDropSupport::eDropResultOther;
};

// eEventWindowPaint.
struct PaintEventData : EventData {
    DeviceContext* dc = nullptr;  // attached to the view's drawing context for this paint only
};

enum eSizeLimitFlag : uint32_t {
    eSizeLimitMinimum = 1,
    eSizeLimitMaximum = 2
};

// eEventWindowQuerySizeLimits: sent all zero; the receiver fills what it limits (content size).
struct SizeLimitsEventData : EventData {
    uint32_t flags = 0;  // eSizeLimitFlag bits: which limits are valid
    int minWidth = 0;
    int minHeight = 0;
    int maxWidth = 0;
    int maxHeight = 0;
};

// eEventWindowQueryIdealSize: sent as (0, 0).
struct IdealSizeEventData : EventData {
    GP::Point size;  // content width and height
};

// eEventAppQueryQuit, eEventWindowCloseRequest: a question to several receivers; any of them may refuse.
// Refusing is independent of handling the event.
struct AllowEventData : EventData {
    bool allow = true;
};

// eEventWindowBackingScaleChanged.
struct BackingScaleEventData : EventData {
    float scale = 1.0f;  // pixels per point
};

// eEventAppOpenFile.
struct OpenFileEventData : EventData {
    const GP::FileName* file = nullptr;
};

}  // namespace QV::UIA
