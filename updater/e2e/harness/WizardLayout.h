// Where the wizard's controls lie in its window, as the skin's stylesheet places them. The window
// holds the menu bar above the 627 x 335 content; every rectangle here is in content coordinates.
// The in-process end-to-end test compares these with the live widget tree, so a change of the skin
// that moves a control fails there first.
#pragma once

#include "Image.h"

namespace QV::E2E::WizardLayout {

constexpr int kContentWidth = 627;
constexpr int kContentHeight = 335;

constexpr tRect kTitlePanel{0, 0, 627, 44};
constexpr tRect kAboutButton{543, 9, 72, 26};
constexpr tRect kFirmwarePanel{12, 56, 603, 125};
constexpr tRect kInfoPanel{12, 191, 603, 88};
constexpr tRect kInfoIcon{32, 219, 32, 32};
constexpr tRect kButtonPanel{12, 289, 603, 34};
constexpr tRect kActionButton{503, 289, 112, 34};
constexpr tRect kQuitButton{381, 289, 112, 34};

// The content's place in a grab of the whole top-level window: its bottom 627 x 335.
inline tRect contentIn(const Image& window)
{
    return {0, window.height() - kContentHeight, kContentWidth, kContentHeight};
}

inline int centreX(const tRect& rect) { return rect.x + rect.width / 2; }
inline int centreY(const tRect& rect) { return rect.y + rect.height / 2; }

}  // namespace QV::E2E::WizardLayout
