// AppKit stand-in: NSSavePanel and NSOpenPanel (NSOpenPanel.h), the file panels, over a modal
// GtkFileChooserDialog.
//
// Implements: +savePanel; -setTitle:, -setPrompt:, -setDirectoryURL:, -setNameFieldStringValue:,
// -setCanCreateDirectories:, -setExtensionHidden:, -setAllowedFileTypes: (extensions without '.'),
// -setAllowsOtherFileTypes:, -runModal (NSModalResponseOK or NSModalResponseCancel), -URL.
// Lacks: sheets, accessory views, delegates, tags, the Finder's sidebar of its own (GTK's is shown).
// Deviations:
// - A panel is not an NSWindow: it owns a GtkFileChooserDialog only while -runModal runs.
// - Arrays and URLs are the CF objects (CFArray of CFString, CFURL), as toll-free bridging makes them
//   on the platform; the panel sends them no messages.
// - The allowed extensions are matched ignoring case; a saved name that lacks an allowed extension
//   gets the first one unless other types are allowed. GTK always shows extensions: the
//   extension-hidden setting is kept but changes nothing.
// - Saving over an existing file asks first, about the file that will be answered (its extension
//   added): Replace confirms, Cancel (the default) returns to the panel, which is not answered.
// - Without a display -runModal answers NSModalResponseCancel at once.
#pragma once

#include <Foundation/NSObject.h>

constexpr NSInteger NSModalResponseOK = 1;
constexpr NSInteger NSModalResponseCancel = 0;

struct NSSavePanel : NSObject {};

namespace qvcompat::appkit {

Class NSSavePanelClass();

}  // namespace qvcompat::appkit
