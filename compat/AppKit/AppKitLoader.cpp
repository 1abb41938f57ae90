#include "AppKit/AppKit.h"
#include "AppKit/standin/Graphics.h"
#include "AppKit/standin/Windowing.h"

namespace qvcompat::appkit {

void load()
{
    NSButtonClass();
    NSAlertClass();
    NSWorkspaceClass();
    loadGraphics();
    loadWindowing();
}

}  // namespace qvcompat::appkit
