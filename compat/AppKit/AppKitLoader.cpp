// Loading AppKit: its classes, ahead of the program.
//
// Implements: qvcompat::appkit::load, run from every file that includes AppKit.h and, first of all,
// from a static initialiser of the highest ordinary priority (101), so that objc_getClass("NSAlert")
// works in the program's static initialisers. The program reaches AppKit's classes by name only, so
// nothing of its own pulls this file out of the static library: the library's link option names
// qvcompat_appkit_linked, defined here, as undefined, which makes the linker take the file.
// Lacks: nothing.
// Deviations: relies on the GNU init_priority extension and GNU ld's --undefined (GCC and Clang on
// Linux).
#include "AppKit/AppKit.h"
#include "AppKit/NSOpenPanel.h"
#include "AppKit/NSPasteboard.h"

#include "AppKit/AppKitClasses.h"
#include "AppKit/standin/Application.h"
#include "AppKit/standin/Graphics.h"
#include "AppKit/standin/Windowing.h"

extern "C" const char qvcompat_appkit_linked = 1;

namespace qvcompat::appkit {

void load()
{
    static const bool s_loaded = [] {
        foundation::load();
        NSButtonClass();
        NSAlertClass();
        NSWorkspaceClass();
        NSSavePanelClass();
        NSOpenPanelClass();
        NSPasteboardClass();
        loadWindowing();
        loadApplication();
        loadGraphics();
        return true;
    }();
    (void)s_loaded;
}

namespace {

__attribute__((init_priority(101))) const Loader s_early;

}  // namespace

}  // namespace qvcompat::appkit
