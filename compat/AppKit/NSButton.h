// AppKit stand-in: NSButton, as far as an alert's buttons need it.
//
// Implements: -title, -setTitle:, -tag, -setTag:, -keyEquivalent, -setKeyEquivalent: ("\r" makes the
// button its window's default, "\033" answers Escape).
// Lacks: drawing, actions and targets, states, cells: nothing shows a button outside an alert yet.
#pragma once

#include <Foundation/Foundation.h>

struct NSButton : NSObject {};
