// Where the wizard's controls lie in its window's content (627 x 335), as the skin places them:
// read from the page render tool's dump of the widget tree (qv_wizard_page_render --dump), which
// lays the wizard out with the same stylesheet and pictures as the program. The window holds the
// menu bar above the content.
#pragma once

#include "Image.h"
#include "Updater/WizardWidgetNames.h"

#include <map>
#include <optional>
#include <string>

namespace QV::E2E {

class WizardLayout {
public:
    static constexpr int kContentWidth = 627;
    static constexpr int kContentHeight = 335;

    // Runs the render tool on pages 0 and 3 of the skin folder and keeps the rectangle of every
    // widget shown on either (the first of an id). Empty, with `error` set, when it fails.
    static std::optional<WizardLayout> fromRenderTool(const std::string& tool, const std::string& skinFolder,
                                                      std::string& error);

    // Reads the dump's lines: "<indent><id> <class> (x0,y0)-(x1,y1)[ hidden]...".
    void addDump(const std::string& dump);

    // The rectangle of a widget by its id; an empty one when the layout has none.
    tRect rect(const std::string& id) const;
    bool has(const std::string& id) const { return m_rects.count(id) != 0; }

    tRect action() const { return rect(WizardNames::kActionButton); }
    tRect quit() const { return rect(WizardNames::kQuitButton); }
    tRect about() const { return rect(WizardNames::kAboutButton); }
    tRect infoPanel() const { return rect(WizardNames::kInfoPanel); }
    tRect wheel() const { return rect(WizardNames::kSpinningWheel); }

    // The content's place in a grab of the whole top-level window: its bottom 627 x 335.
    static tRect contentIn(const Image& window)
    {
        return {0, window.height() - kContentHeight, kContentWidth, kContentHeight};
    }

private:
    std::map<std::string, tRect> m_rects;
};

inline int centreX(const tRect& rect) { return rect.x + rect.width / 2; }
inline int centreY(const tRect& rect) { return rect.y + rect.height / 2; }

}  // namespace QV::E2E
