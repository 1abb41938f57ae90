// AppKit stand-in: text input. The window's NSTextInputContext is a GtkIMContext; a view that takes
// text adopts the protocol NSTextInputClient (objc_getProtocol("NSTextInputClient")) and implements its
// methods: -insertText:replacementRange:, -setMarkedText:selectedRange:replacementRange:,
// -unmarkText, -hasMarkedText, -markedRange, -selectedRange, -doCommandBySelector:,
// -firstRectForCharacterRange:actualRange: (screen, bottom-left), -characterIndexForPoint:,
// -validAttributesForMarkedText, -attributedSubstringForProposedRange:actualRange:.
//
// -[NSResponder interpretKeyEvents:] offers each key to the input method: a commit becomes
// -insertText:replacementRange:, a pre-edit -setMarkedText:selectedRange:replacementRange: (or
// -unmarkText when it empties); a key the input method leaves goes through the key bindings below to
// -doCommandBySelector:, or, when it has characters and neither Command nor Control, to
// -insertText:replacementRange:. The input method's cursor is placed at
// -firstRectForCharacterRange:actualRange: of the selected range after every key.
//
// Key bindings (the platform's defaults for the keys a PC keyboard has): arrows -> moveLeft:,
// moveRight:, moveUp:, moveDown: (with Shift: ...AndModifySelection:); Command-Left/Right ->
// moveToLeftEndOfLine:, moveToRightEndOfLine: (with Shift: ...AndModifySelection:); Home/End ->
// scrollToBeginningOfDocument:, scrollToEndOfDocument:; Page Up/Down -> scrollPageUp:,
// scrollPageDown:; Backspace -> deleteBackward:; Delete (forward) -> deleteForward:; Return and Enter ->
// insertNewline:; Tab -> insertTab:; Shift-Tab -> insertBacktab:; Escape -> cancelOperation:.
//
// Implements: -[NSTextInputContext discardMarkedText] (resets the input method),
// -handleEvent: (interprets one key event for the client), -client, +currentInputContext.
// Lacks: keyboard input source selection, attributed marked text.
// Deviations: the selector passed to -doCommandBySelector: comes from the table above, not from a
// user's key binding file.
#pragma once

#include "AppKit/NSResponder.h"

struct NSTextInputContext : NSObject {};
