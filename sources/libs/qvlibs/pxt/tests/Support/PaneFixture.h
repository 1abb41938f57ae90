// A started toolkit with a 100 x 60 pane under a panel root, styled by the sheet given, and a canvas
// of the pane's size that tick() paints as the window's timer does: it collects the dirty region and
// paints only that. The helpers are public: the tests' tables of steps call them.
#pragma once

#include "Support/PixelText.h"
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/BackgroundDrawingCanvas.h"
#include "PXT/Pane.h"
#include "UIA/Picture.h"

#include <memory>
#include <string>

namespace QV::PXT::TEST {

class PaneFixture : public ToolkitFixture {
public:
    explicit PaneFixture(const char* sheet) : m_sheet(sheet) {}

    void SetUp() override
    {
        ToolkitFixture::SetUp();
        defaultSheet().createDirect(m_sheet);
        m_pane.setSize(GP::Point(100, 60));
        m_root = std::make_shared<PanelWidget>("Panel");
        m_pane.setRoot(m_root, "root");
        m_canvas.onSize(GP::Point(100, 60));
    }
    void TearDown() override
    {
        m_pane.setRoot(nullptr, "");
        m_root.reset();
        ToolkitFixture::TearDown();
    }

    // One tick's work: align, collect, paint only what was collected; the painted bounds.
    GP::Rect tick()
    {
        GP::Region region;
        m_pane.update(region);
        const GP::Rect bounds = region.getBounds();
        if (!region.isEmpty())
            m_pane.paint(m_canvas, region, Pane::ePaintAll);
        return bounds;
    }
    // The canvas's pixel, written as the failure messages show it.
    std::string pixel(int x, int y) const { return hex(m_canvas.getPicture()->getPixel(x, y)); }

    Pane m_pane;
    std::shared_ptr<PanelWidget> m_root;
    BackgroundDrawingCanvas m_canvas;

private:
    const char* m_sheet;
};

}  // namespace QV::PXT::TEST
