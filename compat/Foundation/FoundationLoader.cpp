// Loading Foundation: its classes and the CFString bridge, ahead of the program.
//
// Implements: qvcompat::foundation::load, run from every file that includes Foundation.h and, first of
// all, from a static initialiser of the highest ordinary priority (101), so that the CF strings that
// other static initialisers make (kCFRunLoopDefaultMode, the program's constants) are NSStrings too
// and objc_getClass("NSObject") works in them. A program that reaches Foundation's classes by name
// only still gets this file: the library's link option names qvcompat_foundation_linked, defined
// here, as undefined, which makes the linker take the file.
// Lacks: nothing.
// Deviations: relies on the GNU init_priority extension and GNU ld's --undefined (GCC and Clang on
// Linux).
#include "Foundation/Foundation.h"
#include "Foundation/FoundationClasses.h"

extern "C" const char qvcompat_foundation_linked = 1;

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
        NSThreadClass();
        NSNumberClass();
        NSDictionaryClass();
        NSUserDefaultsClass();
        return true;
    }();
    (void)s_loaded;
}

namespace {

__attribute__((init_priority(101))) const Loader s_early;

}  // namespace

}  // namespace qvcompat::foundation
