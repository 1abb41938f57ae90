#include "AppKit/AppKit.h"
#include "AppKit/NSOpenPanel.h"

namespace qvcompat::appkit {

void load()
{
    NSButtonClass();
    NSAlertClass();
    NSWorkspaceClass();
    NSSavePanelClass();
    NSOpenPanelClass();
}

}  // namespace qvcompat::appkit
