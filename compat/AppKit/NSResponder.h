// AppKit stand-in: NSResponder, the base of views and windows in the chain that events travel.
//
// Implements: -nextResponder, -setNextResponder:, -acceptsFirstResponder (NO),
// -becomeFirstResponder and -resignFirstResponder (YES), -performKeyEquivalent: (NO), and the event
// methods, each passing the event to the next responder (or dropping it at the end of the chain):
// -mouseDown:, -rightMouseDown:, -otherMouseDown:, -mouseUp:, -rightMouseUp:, -otherMouseUp:,
// -mouseMoved:, -mouseDragged:, -rightMouseDragged:, -otherMouseDragged:, -mouseEntered:,
// -mouseExited:, -scrollWheel:, -cursorUpdate:, -keyDown:, -keyUp:, -flagsChanged:;
// -interpretKeyEvents: (the window's text input: GtkIMContext, then the key bindings, calling the
// receiver's -insertText:replacementRange:, -setMarkedText:selectedRange:replacementRange:,
// -unmarkText and -doCommandBySelector:; NSTextInputContext.h).
// Lacks: -noResponderFor: beeps, menus, undo managers, error presentation, -tryToPerform:with:.
// Deviations: none known.
#pragma once

#include "AppKit/NSEvent.h"

struct NSResponder : NSObject {};
