#include "AppKit/AppKit.h"

namespace qvcompat::appkit {

void load()
{
    NSButtonClass();
    NSAlertClass();
    NSWorkspaceClass();
}

}  // namespace qvcompat::appkit
