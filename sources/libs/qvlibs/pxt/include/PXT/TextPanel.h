// The common base of the widgets that show one text on a stylesheet panel (labels, buttons).
#pragma once

#include "PXT/Canvas.h"
#include "PXT/PanelDrawer.h"
#include "PXT/Widget.h"

#include <string>

namespace QV::PXT {

class TextPanel : public Widget {
public:
    const std::string& getText() const { return m_text; }
    // Stores a changed text and repaints; the size follows when auto-resize is on.
    void setText(const std::string& text);
    void autoResize();
    int getWidthForText(const std::string& text) const;
    int getHeightForText(const std::string& text) const;
    eTextRotation getTextRotation() const { return m_textRotation; }
    // Owners choose how a text too long for the panel is cropped on the drawer's cropper.
    PanelDrawer& getDrawer() { return m_drawer; }
    const PanelDrawer& getDrawer() const { return m_drawer; }

    void onStyleSheetChanged() override;

private:
    std::string m_text;
    bool m_autoResize = false;
    PanelDrawer m_drawer;
    eTextRotation m_textRotation = eRotationNone;
};

}  // namespace QV::PXT
