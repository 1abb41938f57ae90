// The content view of every window (QVCocoaView, built at run time from NSView, adopting
// NSTextInputClient): where the platform's input arrives. It turns mouse, key, text-input, drawing
// and resizing messages, and the window delegate's notices (the view is its window's delegate), into
// the events of the UI layer and sends them through its window implementation: the window first,
// and for keys and text the application second.
//
// Instance variables: "pImpl" (the WindowImplBase served; cleared when the implementation lets go
// of the view), "pEvent" (unused), "pEventMonitor" (the local event monitor of global mouse
// tracking, or nil), "pTextInputState" (the view's key-input state, owned).
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <objc/runtime.h>

namespace QV::UIA::COCOA {

class WindowImplBase;

class View {
public:
    // The view of the last mouse press, release, move or drag, for drags the program starts.
    struct DragViewData {
        id view = nil;   // not retained; cleared when that view goes
        id event = nil;  // retained
        CGPoint location{0, 0};
        unsigned long sourceOperationMask = 0;  // the operations of the drag the program runs
        uint32_t sourceOperationCount = 0;
    };

    // A new view (one reference, the caller's) of that size serving `impl`; nil when the class is
    // missing.
    static id createWithImplAndSize(WindowImplBase* impl, CGSize size);
    // The view lets go of its implementation: from now on it behaves as a view without window.
    static void detachImpl(id view);
    // The process-wide drag view data; always true.
    static bool getDragViewData(DragViewData*& data);

    static objc_class* s_pClass;
};

}  // namespace QV::UIA::COCOA
