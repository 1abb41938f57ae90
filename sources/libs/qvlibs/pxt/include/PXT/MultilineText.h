// A UTF-8 text broken into lines that fit the widget's content width, for the multi-line text
// widgets.
#pragma once

#include "GP/Point.h"
#include "PXT/PanelDrawer.h"
#include "PXT/Widget.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace QV::PXT::DETAIL {

class MultilineText : public Widget {
public:
    struct LineColPosition {
        std::int64_t column = 0;  // code points from the line start; negative moves back
        std::uint64_t line = 0;
    };

    // Stores the text without invalid UTF-8 and without control bytes other than '\n'.
    virtual void setText(const std::string& text);
    // Breaks the text into lines for the current content width (in a pane only).
    virtual void updateLineBreaks();

    const std::string& getText() const { return m_text; }
    std::size_t getLineCount() const { return m_lineStarts.size() - 1; }
    // The bytes of one line, its trailing '\n' or break character included.
    std::string getLine(std::size_t line) const;
    // Byte offset in the text of a line and column.
    std::size_t toOffsetInText(const LineColPosition& position) const;
    GP::Point toPositionInPixel(const LineColPosition& position) const;
    int getLineSpacing() const { return m_lineSpacing; }

    void onAlign() override;
    void onStyleSheetChanged() override;

protected:
    const PanelDrawer& getDrawer() const { return m_drawer; }
    // One line's height in widget units, line spacing included.
    int getLineHeight() const;

private:
    PanelDrawer m_drawer;
    int m_lineSpacing = 0;
    std::string m_text;
    // Byte offsets, not iterators: a replaced text can never leave them pointing into freed memory.
    std::vector<std::size_t> m_lineStarts{0, 0};
    int m_wrapWidth = -1;
};

}  // namespace QV::PXT::DETAIL
