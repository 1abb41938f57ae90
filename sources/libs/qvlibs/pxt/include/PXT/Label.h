// A static one-line text on a stylesheet panel.
#pragma once

#include "PXT/TextPanel.h"

#include <string>

namespace QV::PXT {

class Label : public TextPanel {
public:
    static const std::string& getClassStatic();
    const std::string& getClass() const override { return getClassStatic(); }

    virtual Label& style(const std::string& text, const char* styleName);
    void onPaint(PaintContext& context) override;

private:
    bool m_styled = false;
};

}  // namespace QV::PXT
