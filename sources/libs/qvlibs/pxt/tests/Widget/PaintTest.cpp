// A small styled tree painted off screen through the pane: panels, borders, palettes, text and
// the clipping of every drawing to the dirty region.
#include "Support/PaneFixture.h"
#include "Support/PixelText.h"
#include "Support/TestWidgets.h"

#include "PXT/BackgroundDrawingCanvas.h"
#include "PXT/DrawingCache.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kWhite = 0xFFFFFFFF;

const char* const kSheet =
    "Panel { background-color: rgb(255, 0, 0); }\n"
    "Panel.box { background-color: rgb(0, 0, 255); background-border-color: rgb(0, 255, 0);\n"
    "            width: 40; height: 20; margin: 3; }\n"
    "Panel.box:down { background-color: rgb(255, 255, 255); }\n"
    "Panel.text { foreground-color: rgb(0, 0, 0); width: 80; height: 30;\n"
    "             horizontal-alignment: right; vertical-alignment: top; }\n"
    "Panel.pal { background-color: rgb(9, 9, 9); background-color-palette: 2; width: 10; height: 10; }\n"
    "Panel#root { palette2-color0: rgb(1, 2, 3); }\n"
    "Panel.odd { horizontal-alignment: right; vertical-alignment: middle; }\n";

class Painting : public PaneFixture {
protected:
    Painting() : PaneFixture(kSheet) {}

    // A panel of the style at `pos` in the root, sized by the sheet.
    std::shared_ptr<PanelWidget> add(const char* style, GP::Point pos)
    {
        auto widget = std::make_shared<PanelWidget>("Panel");
        widget->setStyle(style);
        m_root->insertChild(widget, "");
        widget->setPos(pos);
        return widget;
    }
};

TEST_F(Painting, PanelsFillAndOutlineTheirWidgets)
{
    auto box = add("box", GP::Point(10, 10));
    EXPECT_EQ(tick(), GP::Rect(0, 0, 100, 60));
    EXPECT_EQ(box->getSize(), GP::Point(40, 20));
    EXPECT_EQ(box->getAbsolutePos(), GP::Point(10, 10));
    struct {
        int x, y;
        std::uint32_t colour;
    } const cases[] = {
        {0, 0, kRed},      // the root's fill
        {99, 59, kRed},    //
        {10, 10, kGreen},  // the box's border, all four edges
        {49, 10, kGreen},  //
        {10, 29, kGreen},  //
        {49, 29, kGreen},  //
        {11, 11, kBlue},   // the box's fill inside the border
        {48, 28, kBlue},   //
        {50, 10, kRed},    // just beside the box
        {10, 30, kRed},    //
    };
    for (const auto& c : cases)
        EXPECT_EQ(pixel(c.x, c.y), hex(c.colour)) << c.x << "," << c.y;
}

TEST_F(Painting, OnlyTheDirtyRegionIsRepainted)
{
    auto box = add("box", GP::Point(10, 10));
    tick();
    m_canvas.clear(kWhite);
    const int rootPaints = m_root->m_paints;
    // An idle tick paints nothing.
    EXPECT_TRUE(tick().isEmpty());
    EXPECT_EQ(m_root->m_paints, rootPaints);
    // A pressed look: only the box's rectangle is cleared and repainted.
    m_pane.setDown(box.get());
    m_pane.setPressedWidget(box.get(), true);
    box->setInvalid();
    EXPECT_EQ(tick(), GP::Rect(10, 10, 50, 30));
    EXPECT_EQ(pixel(20, 20), hex(kWhite - 0));  // the down fill is white too: check the border
    EXPECT_EQ(pixel(10, 10), hex(kGreen));
    EXPECT_EQ(pixel(9, 9), hex(kWhite));    // outside the region: untouched
    EXPECT_EQ(pixel(50, 30), hex(kWhite));  //
    m_pane.setPressedWidget(nullptr, false);
    box->setInvalid();
    tick();
    EXPECT_EQ(pixel(20, 20), hex(kBlue));
    EXPECT_EQ(pixel(5, 5), hex(kWhite));
}

TEST_F(Painting, AWidgetMovedAwayLeavesItsOldPlaceRepainted)
{
    auto box = add("box", GP::Point(10, 10));
    tick();
    m_canvas.clear(kWhite);
    box->setPos(GP::Point(50, 30));
    const GP::Rect painted = tick();
    EXPECT_TRUE(painted.contains(GP::Rect(10, 10, 90, 50)));
    EXPECT_EQ(pixel(20, 20), hex(kRed));
    EXPECT_EQ(pixel(60, 40), hex(kBlue));
}

TEST_F(Painting, APaletteColourComesFromTheRootWidget)
{
    auto pal = add("pal", GP::Point(0, 0));
    tick();
    EXPECT_EQ(pixel(5, 5), hex(0xFF010203));
    // Without the root's rule, the widget's own colour.
    defaultSheet().createDirect("Panel.pal { background-color: rgb(9, 9, 9); background-color-palette: 2; "
                                "width: 10; height: 10; }");
    m_root->removeFromCache();
    pal->setStyleSheetChanged();
    m_root->setInvalid();
    tick();
    EXPECT_EQ(pixel(5, 5), hex(0xFF090909));
}

TEST_F(Painting, TextGoesToTheInnerRectangleOnlyWhereTheRegionMeetsIt)
{
    // The canvas's own text pixels are tested with the canvas; here, what the drawer asks of it.
    struct tCall {
        std::string text;
        GP::Rect rect;
        GP::Point origin;
        eTextAlignment alignment;
        unsigned colour;
    };
    class RecordingCanvas : public BackgroundDrawingCanvas {
    public:
        void drawText(const std::string& text, const GP::Rect& rect, const UIA::Font& font, unsigned colour,
                      eTextAlignment alignment, eTextRotation rotation) override
        {
            m_calls.push_back({text, rect, getOrigin(), alignment, colour});
            BackgroundDrawingCanvas::drawText(text, rect, font, colour, alignment, rotation);
        }
        std::vector<tCall> m_calls;
    } canvas;
    canvas.onSize(GP::Point(100, 60));
    auto text = add("text", GP::Point(10, 10));
    text->setMargin(Margin{2, 3, 4, 5});
    text->m_text = "Hi";
    GP::Region region;
    m_pane.update(region);
    m_pane.paint(canvas, region, Pane::ePaintAll);
    ASSERT_EQ(canvas.m_calls.size(), 1u);
    EXPECT_EQ(canvas.m_calls[0].text, "Hi");
    EXPECT_EQ(canvas.m_calls[0].rect, GP::Rect(2, 3, 76, 25));
    EXPECT_EQ(canvas.m_calls[0].origin, GP::Point(10, 10));
    EXPECT_EQ(canvas.m_calls[0].alignment, eTextAlignment(0x101));
    EXPECT_EQ(hex(canvas.m_calls[0].colour), hex(0xFF000000));

    // A dirty region that misses the widget's inner rectangle: no text call.
    canvas.m_calls.clear();
    GP::Region corner;
    corner.addFast(GP::Rect(0, 0, 11, 11));
    m_pane.paint(canvas, corner, Pane::ePaintAll);
    EXPECT_TRUE(canvas.m_calls.empty());
    // One that meets it: one call per rectangle met.
    GP::Region two;
    two.addFast(GP::Rect(20, 15, 30, 20));
    two.addFast(GP::Rect(60, 30, 70, 34));
    m_pane.paint(canvas, two, Pane::ePaintAll);
    EXPECT_EQ(canvas.m_calls.size(), 2u);
}

TEST_F(Painting, AlignmentWordsFromTheSheet)
{
    auto text = add("text", GP::Point(0, 0));
    auto odd = add("odd", GP::Point(0, 0));
    auto plain = add("pal", GP::Point(0, 0));
    tick();
    StyleSheetManager& manager = *StyleSheetManager::get();
    EXPECT_EQ(manager.getDrawingCache(*text).getAlignment(), eTextAlignment(0x101));
    // An unknown vertical word is centred: nothing of the horizontal bits in the vertical part.
    EXPECT_EQ(manager.getDrawingCache(*odd).getAlignment(), eTextAlignment(0x1));
    EXPECT_EQ(manager.getDrawingCache(*plain).getAlignment(), eTextAlignment(0x1000));
}

}  // namespace
