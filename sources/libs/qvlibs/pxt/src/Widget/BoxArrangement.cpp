#include "Widget/BoxArrangement.h"

#include "PXT/Widget.h"

#include <memory>
#include <vector>

namespace QV::PXT::DETAIL {

namespace {

// Points and margins seen along the arrangement's axis (main) and across it (cross).
struct tAxes {
    bool horizontal;

    int main(const GP::Point& p) const { return horizontal ? p.x : p.y; }
    int cross(const GP::Point& p) const { return horizontal ? p.y : p.x; }
    int mainLead(const Margin& m) const { return horizontal ? m.left : m.top; }
    int mainTrail(const Margin& m) const { return horizontal ? m.right : m.bottom; }
    int crossLead(const Margin& m) const { return horizontal ? m.top : m.left; }
    int crossTrail(const Margin& m) const { return horizontal ? m.bottom : m.right; }
    GP::Point point(int main, int cross) const { return horizontal ? GP::Point(main, cross) : GP::Point(cross, main); }
};

}  // namespace

void arrangeInBox(Widget& parent, eWidgetAlignment direction, int spacing)
{
    bool horizontal = false;
    bool fromFarEnd = false;
    switch (direction) {
    case eArrangeLeftToRight: horizontal = true; break;
    case eArrangeRightToLeft: horizontal = fromFarEnd = true; break;
    case eArrangeTopToBottom: break;
    case eArrangeBottomToTop: fromFarEnd = true; break;
    default: return;
    }
    const tAxes axes{horizontal};
    const Margin& margin = parent.getMargin();
    const GP::Point content(parent.getSize().x - margin.left - margin.right,
                            parent.getSize().y - margin.top - margin.bottom);
    int edge = fromFarEnd ? axes.main(content) : 0;
    // A child's hooks may change the children: walk a copy.
    const std::vector<std::shared_ptr<Widget>> children = parent.getChildren();
    for (const std::shared_ptr<Widget>& child : children) {
        if (!child->isShown() || child->isNoAlign())
            continue;
        const Margin& outer = child->getOuterMargin();
        const int lead = axes.mainLead(outer);
        const int trail = axes.mainTrail(outer);
        const int at = fromFarEnd ? edge - axes.main(child->getSize()) - trail : edge + lead;
        child->setPos(axes.point(at, axes.crossLead(outer)));
        const int across = axes.cross(content) - axes.crossLead(outer) - axes.crossTrail(outer);
        if (horizontal)
            child->setArrangedHeight(across);
        else
            child->setArrangedWidth(across);
        // The stretch across may change the child's length (setArranged... are virtual): the next
        // edge from the near end takes the length it has now.
        edge = fromFarEnd ? at - lead - spacing : at + axes.main(child->getSize()) + trail + spacing;
    }
}

}  // namespace QV::PXT::DETAIL
