// The toolkit's box container: a panel from the stylesheet that lines its children up along one
// axis with the stylesheet's spacing; its breadth may follow its largest child.
#pragma once

#include "PXT/Margin.h"
#include "PXT/PanelDrawer.h"
#include "PXT/Widget.h"

#include <functional>
#include <string>

namespace QV::PXT {

class Bar : public Widget {
public:
    Bar() = default;

    static const std::string& getClassStatic();
    const std::string& getClass() const override { return getClassStatic(); }
    std::optional<bool> getHorizontalOrientation() const override { return isHorizontal(); }

    Bar& style(eWidgetAlignment alignment, const char* styleName);
    Bar& styleBreadthMax();
    // The breadth (size across the axis) becomes that of the largest shown child plus the margins.
    void setBreadthMax();

    bool isHorizontal() const { return m_alignment == eArrangeLeftToRight || m_alignment == eArrangeRightToLeft; }
    eWidgetAlignment getAlignment() const { return m_alignment; }
    int getSpacing() const { return m_spacing; }

    void onAlign() override;
    void onChildsAligned() override;
    void onStyleSheetChanged() override;
    void onPaint(PaintContext& context) override;

private:
    eWidgetAlignment m_alignment = eArrangeTopToBottom;
    int m_spacing = 0;
    std::function<void(Bar&)> m_breadthFunction;
    bool m_styled = false;
    PanelDrawer m_drawer;
};

}  // namespace QV::PXT
