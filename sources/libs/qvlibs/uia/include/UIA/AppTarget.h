// The kind of host the application runs in: 0 for a standalone program, which this program always
// is. The view's own keyboard-shortcut step acts only when the value is 1.
#pragma once

namespace QV::UIA {

struct AppTarget {
    // The process-wide value, zero until someone sets it.
    static int* instance();
};

}  // namespace QV::UIA
