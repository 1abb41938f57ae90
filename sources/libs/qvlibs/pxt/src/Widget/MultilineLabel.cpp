#include "PXT/MultilineLabel.h"

#include "PXT/Canvas.h"

#include <algorithm>

namespace QV::PXT {

const std::string& MultilineLabel::getClassStatic()
{
    static const std::string name = "MultilineLabel";
    return name;
}

void MultilineLabel::updateLineBreaks()
{
    if (!getPane())
        return;
    MultilineText::updateLineBreaks();
    autoResize();
}

void MultilineLabel::autoResize()
{
    if (!m_autoResize)
        return;
    // The margins count too: without them the widget's clip would cut the last line.
    int height = static_cast<int>(getLineCount()) * getLineHeight() + getMargin().top + getMargin().bottom;
    if (getMaxSize().y > 0)
        height = std::min(height, getMaxSize().y);
    setSize(GP::Point(getSize().x, height));
}

void MultilineLabel::onPaint(PaintContext& context)
{
    getDrawer().drawPanelItem(*this, context);
    const Margin& margin = getMargin();
    const GP::Rect content(margin.left, margin.top, getSize().x - margin.right, getSize().y - margin.bottom);
    const int contentWidth = content.right - content.left;
    const int lineHeight = getLineHeight();
    for (std::size_t i = 0; i < getLineCount(); ++i) {
        const GP::Point pos = toPositionInPixel({0, i});
        const GP::Rect line(pos.x, pos.y, pos.x + contentWidth, pos.y + lineHeight);
        if (line.intersected(content).isEmpty())
            continue;
        getDrawer().drawTextItemInRect(*this, getLine(i), line, context, eTextAlignment(eAlignLeft | eAlignTop),
                                       eRotationNone);
    }
}

}  // namespace QV::PXT
