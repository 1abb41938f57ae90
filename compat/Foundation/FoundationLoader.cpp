// Loading Foundation: its classes and the CFString bridge, ahead of the program.
//
// Implements: qvcompat::foundation::load, run from every file that includes Foundation.h and, first of
// all, from a static initialiser of the highest ordinary priority (101), so that the CF strings that
// other static initialisers make (kCFRunLoopDefaultMode, the program's constants) are NSStrings too
// and objc_getClass("NSObject") works in them.
// Lacks: nothing.
// Deviations: relies on the GNU init_priority extension (GCC and Clang on Linux).
#include "Foundation/Foundation.h"

namespace qvcompat::foundation {

void load()
{
    static const bool s_loaded = [] {
        NSObjectClass();
        NSStringClass();
        NSAutoreleasePoolClass();
        NSRunLoopClass();
        NSTimerClass();
        NSNotificationClass();
        NSNotificationCenterClass();
        return true;
    }();
    (void)s_loaded;
}

namespace {

__attribute__((init_priority(101))) const Loader s_early;

}  // namespace

}  // namespace qvcompat::foundation
