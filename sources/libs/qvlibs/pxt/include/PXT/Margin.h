// Four distances inside (margin) or around (outer margin) a widget.
#pragma once

#include <cstdint>

namespace QV::PXT {

struct Margin {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const Margin& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Margin& o) const { return !(*this == o); }
};

// The directions of the box arrangement of children along one axis.
enum eWidgetAlignment : int {
    eArrangeLeftToRight = 1,
    eArrangeTopToBottom = 16,
    eArrangeBottomToTop = 256,
    eArrangeRightToLeft = 4096,
};

}  // namespace QV::PXT
