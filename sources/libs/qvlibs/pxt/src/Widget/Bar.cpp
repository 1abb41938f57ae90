#include "PXT/Bar.h"

#include "Sheets/Algorithm.h"
#include "PXT/Selector.h"
#include "PXT/StyleSheetErrorsLogSource.h"

#include <algorithm>

namespace QV::PXT {

const std::string& Bar::getClassStatic()
{
    static const std::string name = "Bar";
    return name;
}

Bar& Bar::style(eWidgetAlignment alignment, const char* styleName)
{
    if (alignment != m_alignment) {
        m_alignment = alignment;
        setAlign();
    }
    m_styled = true;
    setInvalid();
    styleDefault(styleName);
    return *this;
}

Bar& Bar::styleBreadthMax()
{
    m_breadthFunction = [](Bar& bar) { bar.setBreadthMax(); };
    setAlign();
    return *this;
}

void Bar::setBreadthMax()
{
    const bool horizontal = isHorizontal();
    int largest = 0;
    for (const std::shared_ptr<Widget>& child : getChildren()) {
        if (!child->isShown())
            continue;
        const Margin& outer = child->getOuterMargin();
        const int breadth =
            horizontal ? child->getSize().y + outer.top + outer.bottom : child->getSize().x + outer.left + outer.right;
        largest = std::max(largest, breadth);
    }
    const Margin& margin = getMargin();
    if (horizontal)
        setSize(GP::Point(getSize().x, largest + margin.top + margin.bottom));
    else
        setSize(GP::Point(largest + margin.left + margin.right, getSize().y));
}

void Bar::onAlign()
{
    if (m_breadthFunction)
        m_breadthFunction(*this);
    arrangeChilds(m_alignment, m_spacing);
}

void Bar::onChildsAligned()
{
    // Children whose size changed while they were aligned count in the same pass.
    if (m_breadthFunction)
        m_breadthFunction(*this);
}

void Bar::onStyleSheetChanged()
{
    m_spacing = getStyleProperty<int>(eStyleSpacing, m_spacing);
    Widget::onStyleSheetChanged();
    if (!m_breadthFunction)
        return;
    const eStyleProperty breadth = isHorizontal() ? eStyleHeight : eStyleWidth;
    bool found = false;
    getStyleProperty<int>(breadth, 0, &found);
    if (!found)
        return;
    const tRuleRefs rules = Algorithm::collectPropertyRules(*this, styleName(breadth));
    std::string where;
    if (!rules.empty()) {
        const Selector& selector = rules.front().get().first;
        where = selector.getFile().string() + ":" + std::to_string(selector.getLine());
    }
    StyleSheetErrorsLogSource::log("Layout contradiction - " + styleName(breadth).string() + " of Bar " + getId() +
                                   " is given at line " + where +
                                   " of the stylesheet but also computed automatically by styleBreadthXXX!!!");
}

void Bar::onPaint(PaintContext& context)
{
    if (m_styled)
        m_drawer.drawPanelItem(*this, context);
}

}  // namespace QV::PXT
