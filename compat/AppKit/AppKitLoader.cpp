#include "AppKit/AppKit.h"
#include "AppKit/standin/Graphics.h"

namespace qvcompat::appkit {

void load()
{
    NSButtonClass();
    NSAlertClass();
    NSWorkspaceClass();
    loadGraphics();
}

}  // namespace qvcompat::appkit
