// The saved state of a window: whether it shows, where and how large it is, and what kind of window
// it is. A window fills it (WindowBase's implementation getState) and takes it back (restoreState).
#pragma once

#include "GP/Point.h"

#include <cstdint>

namespace QV::UIA {

struct WindowState {
    enum eVisibility : int {
        eHidden = 0,
        eVisible = 1,
        eMinimized = 2
    };
    enum eKind : int {
        eKindWindow = 3,
        eKindFloatingWindow = 4,
        eKindPanel = 5
    };

    int visibility = eHidden;
    GP::Point position;  // frame top-left, screen coordinates (origin top-left of the first screen)
    GP::Point size;      // content width and height
    int kind = eKindWindow;

    // Restoring skips a size that is not positive and a position below this.
    static constexpr int32_t kLowestPosition = -9999;
};

}  // namespace QV::UIA
