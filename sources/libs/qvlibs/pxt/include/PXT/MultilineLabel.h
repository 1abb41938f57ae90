// A static text of several lines, word-wrapped to its width; its height may follow the lines.
#pragma once

#include "PXT/MultilineText.h"

#include <string>

namespace QV::PXT {

class MultilineLabel : public DETAIL::MultilineText {
public:
    static const std::string& getClassStatic();
    const std::string& getClass() const override { return getClassStatic(); }

    // Takes effect at the next line break update.
    void setAutoResize(bool autoResize) { m_autoResize = autoResize; }
    void updateLineBreaks() override;
    void autoResize();
    void onPaint(PaintContext& context) override;

private:
    bool m_autoResize = false;
};

}  // namespace QV::PXT
