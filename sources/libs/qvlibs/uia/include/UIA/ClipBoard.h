// The general clipboard, shared with the other programs of the desktop. Main thread only.
#pragma once

#include "UIA/ClipBoardFormat.h"

namespace QV::UIA {

class ClipBoard {
public:
    // Replaces the clipboard's content with the format's items (an empty list leaves it empty).
    static void setFormat(const ClipBoardFormat& format);
    // Reads the clipboard into the format; false when it holds no such data or cannot be opened.
    static bool getFormat(ClipBoardFormat& format);
};

}  // namespace QV::UIA
