// The platform's window and panel classes of this system, built at run time from AppKit's: windows
// and panels that can always become key and main (a borderless AppKit window could not), and the
// overlay panel, which adds nothing. Each is made once while the program starts and disposed of at
// exit; null when AppKit's class is missing.
#pragma once

#include <objc/runtime.h>

namespace QV::UIA::COCOA {

struct WindowClasses {
    static objc_class* s_pWindow;        // QVCocoaWindow : NSWindow
    static objc_class* s_pPanel;         // QVCocoaPanel : NSPanel
    static objc_class* s_pOverlayPanel;  // QVOverlayPanel : NSPanel
};

}  // namespace QV::UIA::COCOA
