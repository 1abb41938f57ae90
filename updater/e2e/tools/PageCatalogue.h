// The wizard's pages as the page render tool paints them with the program's skin, to name the page
// a window shows. Only the info panel is compared: its text tells every page apart (and, on the
// failure page, the error number), while the controller's fields differ between the tool's scripted
// controller and the simulated one.
#pragma once

#include "Image.h"
#include "WizardLayout.h"

#include <optional>
#include <string>
#include <vector>

namespace QV::E2E {

struct tNamedPage {
    int page = -1;         // 0..6, the wizard's states; -1 when no page of the catalogue is near
    int error = 0;         // on page 6: the error number it shows
    bool refused = false;  // on page 0: the controller is connected, but this user may not open it
};

// "no controller", "update available", ... for pages 0..6.
const char* pageTitle(int page);

class PageCatalogue {
public:
    // Paints pages 0..6 (page 6 with each error the wizard can show, page 0 also for a controller
    // this user may not open) with the render tool. Empty,
    // with `error` set, when that fails.
    static std::optional<PageCatalogue> fromRenderTool(const std::string& tool, const std::string& skinFolder,
                                                       const WizardLayout& layout, std::string& error);

    // Adds a painted page (a content picture of 627 x 335).
    void add(const tNamedPage& named, const Image& content);

    // The page whose info panel is nearest to the content's, when it is near enough.
    tNamedPage name(const Image& content) const;

    explicit PageCatalogue(tRect infoPanel) : m_infoPanel(infoPanel) {}

private:
    struct tEntry {
        tNamedPage named;
        Image panel;
    };
    tRect m_infoPanel;
    std::vector<tEntry> m_entries;
};

// Reads a PNG file; an empty picture when it cannot.
Image readPng(const std::string& path);

}  // namespace QV::E2E
