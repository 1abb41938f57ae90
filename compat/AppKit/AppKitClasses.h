// AppKit's classes as the stand-in's own C++ code reaches them. Internal: outside the stand-in,
// classes are found by name (objc_getClass) and reached by message sends.
#pragma once

#include <objc/runtime.h>

namespace qvcompat::appkit {

// The registered classes, each made on first use (safe during static initialisation).
Class NSAlertClass();
Class NSButtonClass();
Class NSWorkspaceClass();

}  // namespace qvcompat::appkit
