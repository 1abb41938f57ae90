// AppKit stand-in: NSOpenPanel, the panel that chooses existing files or folders (see NSSavePanel.h).
//
// Implements: everything of NSSavePanel; +openPanel; -setCanChooseFiles:, -setCanChooseDirectories:,
// -setAllowsMultipleSelection:, -URLs (a CFArray of CFURLs, see NSSavePanel.h).
// Lacks: choosing files and folders in one panel (folders win, as GTK chooses one kind).
// Deviations: see NSSavePanel.h.
#pragma once

#include "AppKit/NSSavePanel.h"

struct NSOpenPanel : NSSavePanel {};

namespace qvcompat::appkit {

Class NSOpenPanelClass();

}  // namespace qvcompat::appkit
