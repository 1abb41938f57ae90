#include "PXT/MultilineText.h"

#include "GP/StringUtil.h"
#include "UIA/Font.h"

#include <algorithm>
#include <cmath>

namespace QV::PXT::DETAIL {

namespace {

// Offsets of UTF-8 sequence starts: a lead byte and its continuation bytes move together, so a
// line is never broken inside a character (the text is valid UTF-8).

// The byte after the sequence that starts at `offset`.
std::size_t nextSequenceStart(const std::string& text, std::size_t offset)
{
    ++offset;
    while (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80)
        ++offset;
    return offset;
}

// The start of the sequence before `offset`.
std::size_t previousSequenceStart(const std::string& text, std::size_t offset)
{
    while (offset > 0) {
        --offset;
        if ((static_cast<unsigned char>(text[offset]) & 0xC0) != 0x80)
            break;
    }
    return offset;
}

}  // namespace

void MultilineText::setText(const std::string& text)
{
    if (text == m_text)
        return;
    std::string clean = GP::StringUtil::fromUTF_filter(text);
    clean.erase(std::remove_if(clean.begin(), clean.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\n'; }),
                clean.end());
    m_text = std::move(clean);
    // Outside a pane the text stays one unbroken line until the next align breaks it.
    m_lineStarts = {0, m_text.size()};
    m_wrapWidth = -1;
    updateLineBreaks();
}

void MultilineText::updateLineBreaks()
{
    if (!getPane())
        return;
    m_lineStarts.clear();
    m_lineStarts.push_back(0);
    const int available = getSize().x - getMargin().left - getMargin().right;
    const UIA::Font* font = m_drawer.getFont(*this);
    const float scale = getBackingScaleFactor();
    if (font)
        font->setBackingScaleFactor(scale);
    std::size_t lastBreak = 0;
    for (std::size_t p = 0; p < m_text.size();) {
        const std::size_t q = nextSequenceStart(m_text, p);
        const char c = m_text[p];
        if (c == '\n') {
            m_lineStarts.push_back(q);
            lastBreak = q;
        } else {
            const std::size_t lineStart = m_lineStarts.back();
            int width = 0;
            if (font && lineStart != q)
                width = static_cast<int>(std::lround(
                    font->getStringWidth(m_text.data() + lineStart, static_cast<int>(q - lineStart)) / scale));
            if (width > available) {
                if (lastBreak != lineStart) {
                    lastBreak = nextSequenceStart(m_text, lastBreak);
                    m_lineStarts.push_back(lastBreak);
                } else {
                    m_lineStarts.push_back(p);
                    lastBreak = p;
                }
            }
            if (c == '\t' || c == ' ' || c == '-')
                lastBreak = p;
        }
        p = q;
    }
    m_lineStarts.push_back(m_text.size());
    setInvalid();
}

std::string MultilineText::getLine(std::size_t line) const
{
    if (line >= getLineCount())
        return std::string();
    return m_text.substr(m_lineStarts[line], m_lineStarts[line + 1] - m_lineStarts[line]);
}

std::size_t MultilineText::toOffsetInText(const LineColPosition& position) const
{
    if (m_text.empty() || position.line >= m_lineStarts.size())
        return 0;
    std::size_t offset = m_lineStarts[position.line];
    for (std::int64_t i = 0; i < position.column && offset < m_text.size(); ++i)
        offset = nextSequenceStart(m_text, offset);
    for (std::int64_t i = 0; i > position.column && offset > 0; --i)
        offset = previousSequenceStart(m_text, offset);
    return offset;
}

int MultilineText::getLineHeight() const
{
    const UIA::Font* font = m_drawer.getFont(*this);
    if (!font)
        return m_lineSpacing;
    const float scale = getBackingScaleFactor();
    font->setBackingScaleFactor(scale);
    return static_cast<int>(std::lround(font->getCharHeight() / scale)) + m_lineSpacing;
}

GP::Point MultilineText::toPositionInPixel(const LineColPosition& position) const
{
    const int contentWidth = getSize().x - getMargin().left - getMargin().right;
    int x = getMargin().left + m_drawer.getHorizontalAlignmentOffset(*this, m_text.c_str(), contentWidth);
    const std::size_t line = std::min<std::size_t>(position.line, m_lineStarts.size() - 1);
    const std::size_t start = m_lineStarts[line];
    const std::size_t end = toOffsetInText(position);
    const UIA::Font* font = m_drawer.getFont(*this);
    if (font && end > start) {
        const float scale = getBackingScaleFactor();
        font->setBackingScaleFactor(scale);
        x += static_cast<int>(
            std::lround(font->getStringWidth(m_text.data() + start, static_cast<int>(end - start)) / scale));
    }
    return GP::Point(x, getMargin().top + static_cast<int>(line) * getLineHeight());
}

void MultilineText::onAlign()
{
    const int contentWidth = getSize().x - getMargin().left - getMargin().right;
    if (contentWidth != m_wrapWidth) {
        m_wrapWidth = contentWidth;
        updateLineBreaks();
    }
}

void MultilineText::onStyleSheetChanged()
{
    m_lineSpacing = getStyleProperty<int>(eStyleLineSpacing, 0);
    Widget::onStyleSheetChanged();
    updateLineBreaks();
    setInvalid();
}

}  // namespace QV::PXT::DETAIL
