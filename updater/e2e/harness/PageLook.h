// What a wizard page looks like on the screen, read from the pixels of its content: the kind of the
// info panel (its colour compared with the skin's three panel pictures) and how many buttons the
// button row shows. The row is laid out from the right: ACTION (when shown) at the right end, QUIT
// left of it, or alone at the right end. A place shows a button when something other than the
// window's background covers it.
#pragma once

#include "Image.h"
#include "WizardLayout.h"

#include <string>

namespace QV::E2E {

enum class ePanelKind {
    eInfo,
    eOk,
    eError,
    eUnknown
};

const char* toString(ePanelKind kind);

// The skin's colours of the three info-panel pictures.
class SkinColours {
public:
    // Reads InfoPanelInfo.png, InfoPanelOk.png and InfoPanelError.png from the skin's picture
    // folder; `error` says what is missing when it returns false.
    bool load(const std::string& picturesFolder, std::string& error);

    // The kind whose picture's colour lies nearest to `colour`; eUnknown when none is near.
    ePanelKind classify(tRgb colour) const;

private:
    tRgb m_info;
    tRgb m_ok;
    tRgb m_error;
};

struct tPageLook {
    ePanelKind panel = ePanelKind::eUnknown;
    int buttons = -1;  // shown in the button row: 0, 1 (QUIT or FINISH) or 2 (ACTION and QUIT)

    bool operator==(const tPageLook& other) const { return panel == other.panel && buttons == other.buttons; }
};

std::string toString(const tPageLook& look);

// The look of a content picture (627 x 335, content coordinates). The layout is page 0's: its ACTION
// is the row's right end, its QUIT the place left of it.
tPageLook lookOf(const Image& content, const SkinColours& colours, const WizardLayout& layout);

// True when the info icon's place differs between the two pictures and nothing else of the info
// panel and the button row does: the wheel turned and repainted only itself.
bool onlyTheWheelMoved(const Image& before, const Image& after, const WizardLayout& layout);

}  // namespace QV::E2E
