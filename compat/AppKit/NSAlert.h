// AppKit stand-in: NSAlert over a modal GtkMessageDialog.
//
// Implements: -setMessageText:, -messageText, -setInformativeText:, -informativeText,
// -addButtonWithTitle: (buttons tagged NSAlertFirstButtonReturn, +1, ...; the first one answers
// Return until another button takes "\r"), -buttons count via -buttonCount, -setAlertStyle:,
// -alertStyle, -runModal (the tag of the button pressed).
// Lacks: accessory views, suppression buttons, help, sheets, icons of the program's own.
// Deviations, each a Linux necessity:
// - Without a display the alert writes its texts to standard error and answers its default button
//   (the one whose key equivalent is "\r", else the first), so an assertion still reports.
// - Asked for off the main thread, the alert is shown on the main thread through its main loop, or
//   reported on standard error as above when no main loop runs there or the main thread does not
//   come back to its loop within two seconds.
// - Closing the dialog without a button (Escape, the window manager) answers the button whose key
//   equivalent is "\033", else the default button, else the first.
#pragma once

#include "AppKit/NSButton.h"

typedef NSInteger NSModalResponse;
typedef NSUInteger NSAlertStyle;

constexpr NSModalResponse NSAlertFirstButtonReturn = 1000;
constexpr NSAlertStyle NSAlertStyleWarning = 0;
constexpr NSAlertStyle NSAlertStyleInformational = 1;
constexpr NSAlertStyle NSAlertStyleCritical = 2;

struct NSAlert : NSObject {};
