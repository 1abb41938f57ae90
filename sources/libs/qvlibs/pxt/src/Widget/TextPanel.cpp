#include "PXT/TextPanel.h"

#include "UIA/Font.h"

#include <algorithm>
#include <cmath>

namespace QV::PXT {

namespace {

int lineCount(const std::string& text)
{
    return text.empty() ? 1 : static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

}  // namespace

void TextPanel::setText(const std::string& text)
{
    if (text != m_text) {
        m_text = text;
        setInvalid();
    }
    autoResize();
}

void TextPanel::autoResize()
{
    if (!m_autoResize || !getPane())
        return;
    int width = getWidthForText(m_text);
    if (getMaxSize().x > 0)
        width = std::min(width, getMaxSize().x);
    setSize(GP::Point(width, getSize().y));
    int height = getHeightForText(m_text);
    if (getMaxSize().y > 0)
        height = std::min(height, getMaxSize().y);
    setSize(GP::Point(getSize().x, height));
}

int TextPanel::getWidthForText(const std::string& text) const
{
    const UIA::Font* font = getFontProperty();
    if (!font)
        return getMargin().left + getMargin().right;
    const float scale = getBackingScaleFactor();
    font->setBackingScaleFactor(scale);
    const float extent = m_textRotation == eRotationNone ? static_cast<float>(font->getStringWidthMultiline(text))
                                                         : static_cast<float>(lineCount(text) * font->getCharHeight());
    return getMargin().left + getMargin().right + static_cast<int>(std::lround(extent / scale));
}

int TextPanel::getHeightForText(const std::string& text) const
{
    const UIA::Font* font = getFontProperty();
    if (!font)
        return getMargin().top + getMargin().bottom;
    const float scale = getBackingScaleFactor();
    font->setBackingScaleFactor(scale);
    const float extent = m_textRotation == eRotationNone ? static_cast<float>(lineCount(text) * font->getCharHeight())
                                                         : static_cast<float>(font->getStringWidthMultiline(text));
    return getMargin().top + getMargin().bottom + static_cast<int>(std::lround(extent / scale));
}

void TextPanel::onStyleSheetChanged()
{
    Widget::onStyleSheetChanged();
    autoResize();
}

}  // namespace QV::PXT
