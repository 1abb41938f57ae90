// One screen as the UI layer sees it, in screen coordinates: integer units, origin at the top-left
// of the first screen, y growing downwards.
#pragma once

#include "GP/Rect.h"

namespace QV::UIA {

struct Display {
    GP::Rect frame;
    GP::Rect visibleFrame;  // the frame without menu bar, Dock or panels
    bool hiDPI = false;     // more than one pixel per unit
    bool valid = false;
};

}  // namespace QV::UIA
