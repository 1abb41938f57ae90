// The text-input client of a widget that edits text. The toolkit installs it as its window's active
// text input (WindowBase::setActiveTextInput) while the widget edits; the window's view then asks it
// for the ranges and the on-screen place of the text when the system's text input composes
// characters. Main thread only.
#pragma once

#include "GP/Rect.h"

#include <cstdint>

namespace QV::UIA {

// A range of characters; location -1 with length 0 is "none".
struct TextRange {
    int32_t location = -1;
    int64_t length = 0;
};

class TextInputBase {
public:
    virtual ~TextInputBase() = default;

    virtual TextRange getSelectedRange() const = 0;
    virtual void selectAll() = 0;
    // The range's rectangle in screen coordinates, origin at the top-left of the first screen.
    virtual GP::Rect getRectForRange(const TextRange& range) const = 0;
    virtual void setMarkedRange(const TextRange& range) = 0;
    // The text being composed; length 0 when nothing is.
    virtual TextRange getMarkedRange() const = 0;
};

}  // namespace QV::UIA
