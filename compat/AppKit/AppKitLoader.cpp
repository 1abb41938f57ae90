#include "AppKit/AppKit.h"

namespace qvcompat::appkit {

void load()
{
    NSButtonClass();
    NSAlertClass();
}

}  // namespace qvcompat::appkit
