// The box arrangement behind Widget::arrangeChilds: a widget's shown, aligned children placed one
// after another along one axis, each stretched across the other axis to the content, outer margins
// kept around each and `spacing` between neighbours.
#pragma once

#include "PXT/Margin.h"

namespace QV::PXT {

class Widget;

namespace DETAIL {

// Positions are relative to the parent's content (inside its margin). Children are taken in order
// from the leading edge of the direction: the left for left-to-right, the right for right-to-left,
// and so on. An unknown direction places nothing.
void arrangeInBox(Widget& parent, eWidgetAlignment direction, int spacing);

}  // namespace DETAIL
}  // namespace QV::PXT
