// AppKit stand-in: NSPasteboard, over the Pasteboard Manager's stores (Carbon/Pasteboard.h): a
// pasteboard of a name is the Carbon pasteboard of that name, the general one X's clipboard.
//
// Implements: +generalPasteboard, +pasteboardWithName: (a new name for nil), -name, -types (an
// NSArray of the flavour types of every item, each once, in order of first appearance).
// Lacks: reading and writing data (the program does both through the Pasteboard Manager), pasteboard
// items, change counts, the find, font and ruler pasteboards.
// Deviations: each call of the class methods answers a new object for the same shared pasteboard.
#pragma once

#include <Foundation/NSObject.h>

struct NSPasteboard : NSObject {};

namespace qvcompat::appkit {

Class NSPasteboardClass();

}  // namespace qvcompat::appkit
